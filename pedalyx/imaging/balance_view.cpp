#include "pedalyx/imaging/balance_view.h"

#include <FL/Fl.H>
#include <FL/gl.h>

#include <cstdio>

#include "pedalyx/imaging/canvas_geometry.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/station/handles.h"

namespace {

constexpr int kViewWidth = kCanvasWidth;
constexpr int kViewHeight = kCanvasHeight;

// Shown until the pressure view exists (it always does in the running station).
const unsigned char kBlackPicture[kCanvasPixels * 3] = {};

const unsigned char* pictureOf(BalanceSlot slot) {
  if (pressureView == nullptr) return kBlackPicture;
  switch (slot) {
    case BalanceSlot::kLow:
      return pressureView->balanceImage2080;
    case BalanceSlot::kEven:
      return pressureView->balanceImage5050;
    case BalanceSlot::kHigh:
      return pressureView->balanceImage8020;
    case BalanceSlot::kNone:
      break;
  }
  return kBlackPicture;
}

}  // namespace

BalanceView::BalanceView(int x, int y, BalanceSlot picture)
    : Fl_Gl_Window(x, y, kViewWidth, kViewHeight),
      picture_(picture),
      viewWidth_(kViewWidth),
      viewHeight_(kViewHeight) {
  std::printf("w %d   h %d \n", viewWidth_, viewHeight_);
}

BalanceView::~BalanceView() {
  if (context() != nullptr) {
    make_current();
    texture_.reset();
  } else {
    texture_.release();
  }
}

void BalanceView::draw() {
  if (!valid()) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.0f, 0.5f, 0.5f, 1.0f);
    glViewport(0, 0, viewWidth_, viewHeight_);
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, viewWidth_, 0, viewHeight_, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Textures are shared between the toolkit's GL windows and outlive a hidden window's
    // context: a new context deletes the old one (an unknown name is ignored).
    if (!context_valid()) texture_.reset();
    if (!texture_) {
      createPictureTexture(texture_);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kCanvasWidth, kCanvasHeight, 0, GL_RGB,
                   GL_UNSIGNED_BYTE, nullptr);
    }
  }
  glColor3f(1.0f, 1.0f, 1.0f);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_.get());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kCanvasWidth, kCanvasHeight, 0, GL_RGB, GL_UNSIGNED_BYTE,
               pictureOf(picture_));
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2i(0, 0);
  glTexCoord2f(1, 0);
  glVertex2i(viewWidth_, 0);
  glTexCoord2f(1, 1);
  glVertex2i(viewWidth_, viewHeight_);
  glTexCoord2f(0, 1);
  glVertex2i(0, viewHeight_);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

int BalanceView::handle(int event) {
  switch (event) {
    case FL_PUSH:
      switch (Fl::event_button()) {
        case FL_LEFT_MOUSE:
          std::printf("left mouse click \n");
          break;
        case FL_MIDDLE_MOUSE:
          std::printf("middle mouse click \n");
          break;
        case FL_RIGHT_MOUSE:
          std::printf("right mouse click \n");
          break;
      }
      std::fflush(stdout);
      return 1;
    case FL_MOVE:
      return 1;
    case FL_DRAG:
      std::printf("mouse position [ %d, %d ] \n", Fl::event_x(), Fl::event_y());
      std::fflush(stdout);
      return 1;
    case FL_MOUSEWHEEL:
      std::printf("mouse wheel %d \n", Fl::event_dy());
      std::fflush(stdout);
      return 1;
    default:
      return Fl_Gl_Window::handle(event);
  }
}
