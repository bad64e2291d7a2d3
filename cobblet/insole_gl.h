// The graphics-card side of the fitting: stretching the template and rendering the pad into an
// off-screen frame buffer and reading them back, and showing a plane in the view.
#pragma once
#include <GL/glew.h>

#include <memory>
#include <utility>

#include "cobblet/insole_fitting.h"

namespace cobblet {

// Owns one GL object name; deleted with the handle (the owning view's context must be current).
template <void (*Delete)(GLuint)>
class GlHandle {
 public:
  GlHandle() = default;
  explicit GlHandle(GLuint name) : name_(name) {}
  ~GlHandle() { reset(); }
  GlHandle(GlHandle&& other) noexcept : name_(std::exchange(other.name_, 0)) {}
  GlHandle& operator=(GlHandle&& other) noexcept {
    if (this != &other) {
      reset();
      name_ = std::exchange(other.name_, 0);
    }
    return *this;
  }
  GlHandle(const GlHandle&) = delete;
  GlHandle& operator=(const GlHandle&) = delete;
  GLuint get() const { return name_; }
  void reset() {
    if (name_ != 0) Delete(name_);
    name_ = 0;
  }

 private:
  GLuint name_ = 0;
};

void deleteTexture(GLuint name);
void deleteFramebuffer(GLuint name);
void deleteRenderbuffer(GLuint name);
using GlTexture = GlHandle<deleteTexture>;
using GlFramebuffer = GlHandle<deleteFramebuffer>;
using GlRenderbuffer = GlHandle<deleteRenderbuffer>;

class GlInsoleRenderer : public InsoleRenderer {
 public:
  // Needs a current GL context with frame buffer objects. Null, after printing why, when the
  // off-screen frame buffer cannot be made.
  static std::unique_ptr<GlInsoleRenderer> create();

  void stretch(const InsoleState& state, HeightPlane& work) override;
  void renderPad(PadStamp& pad, double padWidth, double padLength, double angleDegrees) override;
  // Draws the plane into the current frame buffer on the quad (0, 0)-(150, 360).
  void showPlane(const HeightPlane& plane);

 private:
  GlInsoleRenderer() = default;
  void bindOffscreen();
  void unbindOffscreen();
  void upload(const uint8_t* pixels, int width, int height);
  void drawTexturedQuad(float x0, float y0, float x1, float y1);

  GlTexture texture_;
  GlFramebuffer framebuffer_;
  GlRenderbuffer colour_;
  GLint savedViewport_[4] = {0, 0, 0, 0};
};

}  // namespace cobblet
