#include "cobblet/insole_view.h"

#include <GL/glew.h>
// glew.h must come before any other GL header.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "cobblet/controls.h"
#include "cobblet/insole_gl.h"
#include "cobblet/insole_output.h"
#include "platform/message_box_ui.h"
#include "platform/text_encoding.h"

namespace {

constexpr const char* kDefaultTemplate = "./255mm narrow 20220606 backmove 5mm.bmp";
constexpr const char* kPadShape = "./drop.png";
constexpr size_t kMaxPathLength = 1023;

cobblet::FittingInputs inputsFromControls() {
  cobblet::FittingInputs in;
  in.lengthSlider = lengthSlider->value();
  in.heightRatio = heightRatioSlider->value();
  in.heightFollowsLength = heightFollowsLengthCheck->value() != 0;
  in.slopeLimit = slopeLimitCheck->value() != 0;
  in.leftArchIndex = leftArchIndexInput->value();
  in.rightArchIndex = rightArchIndexInput->value();
  in.padOn = padCheck->value() != 0;
  in.hvAngle = hvAngleSlider->value();
  return in;
}

}  // namespace

GL_Display_Image::GL_Display_Image() : Fl_Gl_Window(30, 35, 150, 360) {
  mode(FL_RGB | FL_DOUBLE | FL_ALPHA);
  tooltip("F2: 顯示或隱藏控制項 (show or hide the controls)");
  loadPadShape();
  state.currentSide = cobblet::kLeft;
  loadTemplate(kDefaultTemplate, cobblet::kLeft);
  state.handoff.leftPending = false;
  state.handoff.rightPending = false;
}

GL_Display_Image::~GL_Display_Image() {
  Fl::remove_timeout(savePendingSideAfterDraw, this);
  if (renderer_ && context() != nullptr) {
    make_current();
    renderer_.reset();
  }
}

void GL_Display_Image::loadPadShape() {
  std::printf("Drop Image Read! \n");
  cobblet::InsoleBitmap shape;
  std::string reason;
  if (!shape.load(kPadShape, reason)) {
    std::fprintf(stderr, "The pad shape %s is not used: %s\n", kPadShape, reason.c_str());
    platform::postMessageBox(
        std::string("無法讀取鞋墊凸點圖形 ") + kPadShape + "：" + reason + "\n鞋墊將不含凸點。",
        cobblet::kCobbletCaption);
    return;
  }
  std::printf("DROP Image \n");
  std::printf("pitch %d\n", shape.pitch());
  std::printf("bpp %d\n", shape.bitsPerPixel());
  std::printf("width %d\n", shape.width());
  std::printf("height %d\n\n", shape.height());
  shape.sampleStamp(state.pad);
}

void GL_Display_Image::loadTemplate(const std::string& pathUtf8, int side) {
  const std::string path = platform::utf8ToSystemCodePage(pathUtf8.substr(0, kMaxPathLength));
  std::string reason;
  if (!templateBitmap.load(path, reason)) {
    std::printf("Unable to load texture: %s (%s)\n", path.c_str(), reason.c_str());
    platform::postMessageBox("無法讀取鞋墊模板 " + pathUtf8 + "：" + reason,
                             cobblet::kCobbletCaption);
    return;
  }
  std::printf("width %d", templateBitmap.width());
  std::printf("height %d", templateBitmap.height());
  std::printf("dpmX %d", templateBitmap.dotsPerMetreX());
  std::printf("pitch %d", templateBitmap.pitch());
  std::printf("bpp %d\n", templateBitmap.bitsPerPixel());
  cobblet::HeightPlane sampled{};
  templateBitmap.sample(sampled);
  cobblet::adoptTemplate(state, sampled, side);
  const double width = state.templateWidth, length = state.templateLength;
  widthSlider->value(width);
  widthSlider->bounds(0.5 * width, 1.5 * width);
  lengthSlider->value(length);
  lengthSlider->bounds(0.5 * length, 1.5 * length);
  redraw();
}

void GL_Display_Image::fit() {
  const cobblet::FittingResult result = cobblet::fitInsole(state, inputsFromControls(), *renderer_);
  if (result.heightsScaled) std::printf("min %f\n", result.lowestScaled);
  padWidthSlider->value(result.pad.width);
  padLengthSlider->value(result.pad.length);
  padHeightSlider->value(result.pad.height);
}

void GL_Display_Image::draw() {
  if (!valid()) {
    if (!glReady_) {
      glewExperimental = GL_TRUE;
      const GLenum error = glewInit();
      if (error != GLEW_OK) {
        std::fprintf(stderr, "Insole view: %s\n",
                     reinterpret_cast<const char*>(glewGetErrorString(error)));
      }
      renderer_ = cobblet::GlInsoleRenderer::create();
      glReady_ = true;
      if (!renderer_) {
        platform::postMessageBox("無法建立繪圖緩衝區，無法製作鞋墊。", cobblet::kCobbletCaption);
      }
    }
    glViewport(0, 0, pixel_w(), pixel_h());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w(), 0, h(), -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor4f(1, 1, 1, 1);
  if (!state.templateLoaded || !renderer_) return;

  if (state.dirty) fit();
  cobblet::OutlineBox box;
  state.landmarks =
      cobblet::findLandmarks(state.resultPlane, state.landmarkSide, state.landmarks, box);
  state.currentBox = box;
  renderer_->showPlane(state.resultPlane);

  glPointSize(2);
  glColor3f(1, 0, 0);
  glBegin(GL_POINTS);
  glVertex2f(state.pad.centreColumn, state.pad.centreRow);
  glEnd();
  glPointSize(1);
  glColor3f(1, 1, 1);

  // The fitted foot is saved just after this draw: a failed save asks the operator to read a
  // message, and no message box may run inside a draw. The plane is taken now, as fitted:
  // the hand-off's next foot may change the controls before the save runs.
  cobblet::HandoffFields& handoff = state.handoff;
  if ((handoff.leftPending || handoff.rightPending) && !pendingSave_) {
    const int side = handoff.leftPending ? cobblet::kLeft : cobblet::kRight;
    (side == cobblet::kLeft ? handoff.leftPending : handoff.rightPending) = false;
    pendingSave_ = PendingSave{side, state.resultPlane};
    Fl::add_timeout(0.0, savePendingSideAfterDraw, this);
  }
}

void GL_Display_Image::savePendingSideAfterDraw(void* view) {
  auto* self = static_cast<GL_Display_Image*>(view);
  self->savePendingSide();
  // Cleared only afterwards: while a failure message waits for "OK", the next foot waits too.
  self->pendingSave_.reset();
}

void GL_Display_Image::savePendingSide() {
  const PendingSave& save = *pendingSave_;
  cobblet::HandoffFields& handoff = state.handoff;
  std::string failed;
  if (!cobblet::saveInsoleForSide(templateBitmap, save.plane, handoff.recordName, save.side,
                                  &failed)) {
    handoffSaveFailed_ = true;
    // Shown now: the program may end right after the right foot.
    platform::showMessageBox("鞋墊未能儲存：" + failed, cobblet::kCobbletCaption);
  }
  if (!handoff.leftPending && !handoff.rightPending) {
    // Every foot the hand-off asked for is done: it is deleted, or kept when one failed.
    std::string log;
    cobblet::finishHandoff(handoff, !handoffSaveFailed_, log);
    std::fputs(log.c_str(), stdout);
    handoffSaveFailed_ = false;
  }
  // The right foot is the last one of a hand-off: the tool's work is done, unless another
  // hand-off waits, which the polling takes next.
  if (save.side == cobblet::kRight && !cobblet::handoffWaiting(".")) {
    std::fflush(stdout);
    std::exit(0);
  }
}

int GL_Display_Image::handle(int event) {
  switch (event) {
    case FL_PUSH:
      if (Fl::event_button() == FL_MIDDLE_MOUSE) {
        std::printf("middle mouse click \n");
      } else {
        pressX_ = Fl::event_x();
        pressY_ = Fl::event_y();
      }
      return 1;
    case FL_DRAG:
      // A right-button drag that began in the upper half changes the stretched width.
      if (Fl::event_state(FL_BUTTON3) && pressY_ < h() / 2) {
        if (Fl::event_x() < pressX_) state.targetWidth += 1;
        if (Fl::event_x() > pressX_) state.targetWidth -= 1;
      }
      return 1;
    case FL_RELEASE:
    case FL_MOUSEWHEEL:
      std::printf("mouse wheel %d \n", Fl::event_dy());
      return 1;
    case FL_MOVE:
      return 1;
    default:
      return Fl_Gl_Window::handle(event);
  }
}
