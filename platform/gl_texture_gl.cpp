#include "platform/gl_texture_gl.h"

#include <GL/glew.h>

namespace platform {

unsigned int createTexture(TextureShape shape, TextureSampling sampling, TextureEdges edges) {
  const GLenum target = shape == TextureShape::Line ? GL_TEXTURE_1D : GL_TEXTURE_2D;
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(target, name);
  const GLint magnify = sampling == TextureSampling::Nearest ? GL_NEAREST : GL_LINEAR;
  const GLint minify =
      sampling == TextureSampling::LinearMipmapped ? GL_LINEAR_MIPMAP_LINEAR : magnify;
  glTexParameteri(target, GL_TEXTURE_MAG_FILTER, magnify);
  glTexParameteri(target, GL_TEXTURE_MIN_FILTER, minify);
  const GLint wrap = edges == TextureEdges::Repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
  glTexParameteri(target, GL_TEXTURE_WRAP_S, wrap);
  if (target == GL_TEXTURE_2D) glTexParameteri(target, GL_TEXTURE_WRAP_T, wrap);
  if (sampling == TextureSampling::LinearMipmapped)
    glTexParameteri(target, GL_GENERATE_MIPMAP, GL_TRUE);
  return name;
}

}  // namespace platform
