#include <GL/glew.h>

#include "pedalyx/imaging/gl_handles.h"
#include "platform/gl_texture_gl.h"

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
  texture.reset(platform::createTexture(platform::TextureShape::Flat,
                                        platform::TextureSampling::Linear,
                                        platform::TextureEdges::Repeat));
}

void createMipmappedTarget(TextureHandle& texture, int width, int height) {
  texture.reset(platform::createTexture(platform::TextureShape::Flat,
                                        platform::TextureSampling::LinearMipmapped,
                                        platform::TextureEdges::Clamp));
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}
