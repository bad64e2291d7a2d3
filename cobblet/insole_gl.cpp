#include "cobblet/insole_gl.h"

#include <cmath>
#include <cstdio>

#include "cobblet/pad_readback.h"
#include "platform/gl_texture_gl.h"

namespace cobblet {

void deleteTexture(GLuint name) { glDeleteTextures(1, &name); }
void deleteFramebuffer(GLuint name) { glDeleteFramebuffers(1, &name); }
void deleteRenderbuffer(GLuint name) { glDeleteRenderbuffers(1, &name); }

std::unique_ptr<GlInsoleRenderer> GlInsoleRenderer::create() {
  if (glGenFramebuffers == nullptr || glGenRenderbuffers == nullptr) {
    std::fprintf(stderr, "Insole view: no frame buffer objects in this OpenGL\n");
    return nullptr;
  }
  std::unique_ptr<GlInsoleRenderer> renderer(new GlInsoleRenderer);
  // Planes are shown pixel for pixel.
  renderer->texture_ = GlTexture(platform::createTexture(platform::TextureShape::Flat,
                                                         platform::TextureSampling::Nearest,
                                                         platform::TextureEdges::Repeat));
  glBindTexture(GL_TEXTURE_2D, 0);
  GLuint name = 0;
  glGenRenderbuffers(1, &name);
  renderer->colour_ = GlRenderbuffer(name);
  glBindRenderbuffer(GL_RENDERBUFFER, name);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kPlaneStride, kPlaneRows);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  glGenFramebuffers(1, &name);
  renderer->framebuffer_ = GlFramebuffer(name);
  glBindFramebuffer(GL_FRAMEBUFFER, name);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                            renderer->colour_.get());
  const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (status != GL_FRAMEBUFFER_COMPLETE) {
    std::fprintf(stderr, "Insole view: off-screen frame buffer incomplete (0x%x)\n", status);
    return nullptr;
  }
  return renderer;
}

void GlInsoleRenderer::bindOffscreen() {
  glGetIntegerv(GL_VIEWPORT, savedViewport_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.get());
  glViewport(0, 0, kPlaneStride, kPlaneRows);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, kPlaneStride, 0, kPlaneRows, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glColor4f(1, 1, 1, 1);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
}

void GlInsoleRenderer::unbindOffscreen() {
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(savedViewport_[0], savedViewport_[1], savedViewport_[2], savedViewport_[3]);
}

void GlInsoleRenderer::upload(const uint8_t* pixels, int width, int height) {
  glBindTexture(GL_TEXTURE_2D, texture_.get());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, width, height, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE,
               pixels);
}

void GlInsoleRenderer::drawTexturedQuad(float x0, float y0, float x1, float y1) {
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(x0, y0);
  glTexCoord2f(1, 0);
  glVertex2f(x1, y0);
  glTexCoord2f(1, 1);
  glVertex2f(x1, y1);
  glTexCoord2f(0, 1);
  glVertex2f(x0, y1);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

void GlInsoleRenderer::stretch(const InsoleState& state, HeightPlane& work) {
  bindOffscreen();
  float offsetX = 0, offsetY = 0;
  stretchOffset(state, offsetX, offsetY);
  glTranslatef(offsetX, offsetY, 0);
  upload(state.templatePlane.data(), kPlaneStride, kPlaneRows);
  drawTexturedQuad(0, 0, std::ceil(state.targetWidth) + 1, std::floor(state.targetHeight + 0.5f));
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, kPlaneStride, kPlaneRows, GL_BLUE, GL_UNSIGNED_BYTE, work.data());
  unbindOffscreen();
  for (int row = 0; row < kPlaneRows; ++row) {
    pixelAt(work, row, 150) = 0;
    pixelAt(work, row, 151) = 0;
  }
}

void GlInsoleRenderer::renderPad(PadStamp& pad, double padWidth, double padLength,
                                 double angleDegrees) {
  const PadWindow window = padWindowFor(padWidth, padLength);
  pad.readBack.fill(0);
  pad.readBackStride = window.stride;
  bindOffscreen();
  glTranslatef(static_cast<float>(padWidth * 0.5), static_cast<float>(padLength), 0);
  glRotatef(static_cast<float>(angleDegrees), 0, 0, 1);
  glTranslatef(static_cast<float>(-padWidth * 0.5), static_cast<float>(-padLength), 0);
  upload(pad.stamp.data(), kStampSize, kStampSize);
  drawTexturedQuad(10, 10, static_cast<int>(padWidth + 10), static_cast<int>(padLength + 10));
  if (window.width > 0 && window.height > 0) {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, window.width, window.height, GL_RED, GL_UNSIGNED_BYTE, pad.readBack.data());
  }
  unbindOffscreen();
}

void GlInsoleRenderer::showPlane(const HeightPlane& plane) {
  glColor4f(1, 1, 1, 1);
  upload(plane.data(), kPlaneStride, kPlaneRows);
  drawTexturedQuad(0, 0, kPlaneColumns, kPlaneRows);
}

}  // namespace cobblet
