#include <GL/glew.h>

#include "pedalyx/imaging/gl_handles.h"

template <>
void GlHandle<GlObjectKind::Texture>::reset(unsigned int name) {
  if (name_ != 0) glDeleteTextures(1, &name_);
  name_ = name;
}

template <>
void GlHandle<GlObjectKind::Framebuffer>::reset(unsigned int name) {
  if (name_ != 0 && glDeleteFramebuffers != nullptr) glDeleteFramebuffers(1, &name_);
  name_ = name;
}

template <>
void GlHandle<GlObjectKind::Renderbuffer>::reset(unsigned int name) {
  if (name_ != 0 && glDeleteRenderbuffers != nullptr) glDeleteRenderbuffers(1, &name_);
  name_ = name;
}

template <>
void GlHandle<GlObjectKind::Shader>::reset(unsigned int name) {
  if (name_ != 0 && glDeleteShader != nullptr) glDeleteShader(name_);
  name_ = name;
}

template <>
void GlHandle<GlObjectKind::Program>::reset(unsigned int name) {
  if (name_ != 0 && glDeleteProgram != nullptr) glDeleteProgram(name_);
  name_ = name;
}

void createPictureTexture(TextureHandle& texture) {
  GLuint name = 0;
  glGenTextures(1, &name);
  texture.reset(name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void createMipmappedTarget(TextureHandle& texture, int width, int height) {
  GLuint name = 0;
  glGenTextures(1, &name);
  texture.reset(name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}
