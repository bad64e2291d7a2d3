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
