#include "pedalyx/report/calibration_view.h"

#include <FL/Fl.H>
#include <FL/gl.h>

#include <cstdio>

#include "pedalyx/capture/camera_frame_source.h"
#include "pedalyx/imaging/calibration_grid.h"
#include "pedalyx/imaging/calibration_overlay_gl.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/station/handles.h"

namespace {

constexpr int kViewWidth = 640;
constexpr int kViewHeight = 480;

// Shown until the camera has delivered its first frame.
const unsigned char kBlackFrame[kCameraFrameBytes] = {};

}  // namespace

GL_Display_webcam1::GL_Display_webcam1()
    : Fl_Gl_Window(0, 0, kViewWidth, kViewHeight, "校正視窗"),
      viewWidth_(kViewWidth),
      viewHeight_(kViewHeight) {
  std::printf("w %d   h %d \n", viewWidth_, viewHeight_);
}

GL_Display_webcam1::~GL_Display_webcam1() {
  if (context() != nullptr) {
    make_current();
    texture_.reset();
  } else {
    texture_.release();
  }
}

CalibrationGrid* GL_Display_webcam1::editedGrid() const {
  if (pressureView == nullptr) return nullptr;
  return mouse_.activeGrid == 0 ? pressureView->gridLeft.get() : pressureView->gridRight.get();
}

void GL_Display_webcam1::drawFrame() {
  int frameWidth = kCameraWidth;
  int frameHeight = kCameraHeight;
  const unsigned char* frame = kBlackFrame;
  if (pressureView != nullptr && pressureView->frameData != nullptr) {
    frame = pressureView->frameData;
    if (pressureView->frameSource != nullptr && pressureView->frameSource->width > 0) {
      frameWidth = pressureView->frameSource->width;
      frameHeight = pressureView->frameSource->height;
    }
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (!texture_) {
    createPictureTexture(texture_);
  }
  glColor3f(1.0f, 1.0f, 1.0f);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_.get());
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, frameWidth, frameHeight, 0, GL_BGR, GL_UNSIGNED_BYTE,
               frame);
  // The camera's first row is t = 0 and belongs at the top edge.
  glBegin(GL_QUADS);
  glTexCoord2f(0, 1);
  glVertex2i(0, 0);
  glTexCoord2f(1, 1);
  glVertex2i(viewWidth_, 0);
  glTexCoord2f(1, 0);
  glVertex2i(viewWidth_, viewHeight_);
  glTexCoord2f(0, 0);
  glVertex2i(0, viewHeight_);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

void GL_Display_webcam1::drawGridSelector() {
  if (mouse_.activeGrid == 0) {
    glColor3f(0.0f, 0.0f, 1.0f);
  } else {
    glColor3f(0.0f, 1.0f, 0.0f);
  }
  glRecti(0, 0, kGridSelectorSize, kGridSelectorSize);
  glColor3f(1.0f, 1.0f, 1.0f);
}

void GL_Display_webcam1::draw() {
  if (!valid()) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    // Reset as well, so that a second invalidation does not stack a second projection.
    glLoadIdentity();
    glClearColor(0.0f, 0.5f, 0.5f, 1.0f);
    glViewport(0, 0, viewWidth_, viewHeight_);
    glOrtho(0, viewWidth_, 0, viewHeight_, -1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Textures are shared between the toolkit's GL windows and outlive a hidden window's
    // context: a new context deletes the old one (an unknown name is ignored).
    if (!context_valid()) texture_.reset();
  }
  drawFrame();
  if (pressureView != nullptr) {
    glColor3f(0.0f, 0.0f, 1.0f);
    drawCalibrationOverlay(*pressureView->gridLeft);
    glColor3f(0.0f, 1.0f, 0.0f);
    drawCalibrationOverlay(*pressureView->gridRight);
  }
  drawGridSelector();
}

int GL_Display_webcam1::handle(int event) {
  const int x = Fl::event_x();
  const int y = Fl::event_y();
  switch (event) {
    case FL_PUSH:
      if (Fl::event_button() == FL_LEFT_MOUSE) {
        if (pressCalibrationMouse(mouse_, x, y, h())) redraw();
      } else if (Fl::event_button() == FL_MIDDLE_MOUSE) {
        std::printf("middle mouse click \n");
        std::fflush(stdout);
      } else if (Fl::event_button() == FL_RIGHT_MOUSE) {
        if (CalibrationGrid* grid = editedGrid()) pickCalibrationPoint(*grid, x, y);
        redraw();
      }
      return 1;
    case FL_DRAG:
      if (Fl::event_state(FL_BUTTON1)) {
        CalibrationGrid* grid = editedGrid();
        if (grid != nullptr) {
          if (dragCalibrationMouse(mouse_, *grid, x, y)) redraw();
        } else {
          mouse_.lastX = x;
          mouse_.lastY = y;
        }
      }
      return 1;
    case FL_MOVE:
      return 1;
    case FL_MOUSEWHEEL:
      std::printf("mouse wheel %d \n", Fl::event_dy());
      std::fflush(stdout);
      return 1;
    default:
      return Fl_Gl_Window::handle(event);
  }
}
