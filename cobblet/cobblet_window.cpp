#include "cobblet/cobblet_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>

#include <cstdint>
#include <cstdio>

#include "cobblet/cobblet_callbacks.h"
#include "cobblet/controls.h"
#include "cobblet/handoff_reader.h"
#include "cobblet/insole_view.h"
#include "cobblet/wedges.h"
#include "platform/chinese_fonts_ui.h"

Fl_Double_Window* cobbletWindow = nullptr;
Fl_Button* readLeftButton = nullptr;
Fl_Button* readRightButton = nullptr;
Fl_Button* saveButton = nullptr;
Fl_Button* restoreButton = nullptr;
Fl_Value_Slider* widthSlider = nullptr;
Fl_Check_Button* slopeLimitCheck = nullptr;
Fl_Value_Slider* lengthSlider = nullptr;
Fl_Value_Slider* heightRatioSlider = nullptr;
Fl_Button* innerArchButton = nullptr;
Fl_Button* outerArchButton = nullptr;
Fl_Button* innerHeelButton = nullptr;
Fl_Button* outerHeelButton = nullptr;
Fl_Button* wholeHeelButton = nullptr;
Fl_Value_Input* innerArchInput = nullptr;
Fl_Value_Input* outerArchInput = nullptr;
Fl_Value_Input* innerHeelInput = nullptr;
Fl_Value_Input* outerHeelInput = nullptr;
Fl_Value_Input* wholeHeelInput = nullptr;
Fl_Value_Input* leftArchIndexInput = nullptr;
Fl_Value_Input* rightArchIndexInput = nullptr;
Fl_Value_Slider* padWidthSlider = nullptr;
Fl_Value_Slider* padLengthSlider = nullptr;
Fl_Value_Slider* padHeightSlider = nullptr;
Fl_Check_Button* padCheck = nullptr;
Fl_Check_Button* heightFollowsLengthCheck = nullptr;
Fl_Check_Button* widthFollowsLengthCheck = nullptr;
Fl_Value_Slider* hvAngleSlider = nullptr;
GL_Display_Image* insoleView = nullptr;

namespace {

// The main window; F2 shows or hides the controls right of the insole view.
class CobbletWindow : public Fl_Double_Window {
 public:
  CobbletWindow() : Fl_Double_Window(kCobbletWidth, kCobbletHeight, "Cobblet") {}
  int handle(int event) override {
    if ((event == FL_SHORTCUT || event == FL_KEYBOARD) && Fl::event_key() == FL_F + 2) {
      toggleControlsShown();
      return 1;
    }
    return Fl_Double_Window::handle(event);
  }
};

Fl_Button* makeButton(int x, int y, int w, int h, const char* label, Fl_Callback* callback,
                      void* data = nullptr) {
  auto* button = new Fl_Button(x, y, w, h, label);
  button->callback(callback, data);
  return button;
}

Fl_Button* makeReadButton(int x, int y, const char* label, Fl_Color colour, Fl_Callback* callback) {
  Fl_Button* button = makeButton(x, y, 83, 35, label, callback);
  button->box(FL_PLASTIC_UP_BOX);
  button->color(colour);
  return button;
}

Fl_Value_Slider* makeSlider(int x, int y, int w, int h, const char* label, double minimum,
                            double maximum, double step, double value, Fl_Callback* callback) {
  auto* slider = new Fl_Value_Slider(x, y, w, h, label);
  slider->type(FL_HOR_SLIDER);
  slider->textsize(14);
  slider->align(FL_ALIGN_LEFT);
  slider->bounds(minimum, maximum);
  slider->step(step);
  slider->value(value);
  if (callback != nullptr) slider->callback(callback);
  return slider;
}

Fl_Check_Button* makeCheck(int x, int y, int w, int h, const char* label, bool on,
                           Fl_Callback* callback) {
  auto* check = new Fl_Check_Button(x, y, w, h, label);
  check->down_box(FL_DOWN_BOX);
  check->value(on ? 1 : 0);
  if (callback != nullptr) check->callback(callback);
  return check;
}

Fl_Value_Input* makeInput(int x, int y, int w, int h, const char* label, double maximum,
                          double step, double value, Fl_Callback* callback = nullptr) {
  auto* input = new Fl_Value_Input(x, y, w, h, label);
  input->bounds(0, maximum);
  input->step(step);
  input->value(value);
  if (callback != nullptr) input->callback(callback);
  return input;
}

void makeCaption(int x, int y, int w, int h, const char* label) {
  auto* caption = new Fl_Box(FL_NO_BOX, x, y, w, h, label);
  caption->align(FL_ALIGN_LEFT);
}

void* wedge(cobblet::WedgeButton button) {
  return reinterpret_cast<void*>(static_cast<intptr_t>(button));
}

}  // namespace

Fl_Double_Window* buildCobbletWindow() {
  platform::useChineseCapableFonts();
  cobbletWindow = new CobbletWindow;
  readLeftButton = makeReadButton(205, 37, "讀取(左足)", FL_GREEN, readLeftCallback);
  readRightButton = makeReadButton(205, 74, "讀取(右足)", FL_GREEN, readRightCallback);
  saveButton = makeReadButton(289, 37, "儲存", FL_RED, saveCallback);
  restoreButton = makeReadButton(373, 37, "還原", FL_BLUE, restoreCallback);
  widthSlider = makeSlider(372, 114, 190, 29, "寬度(mm)", 0, 150, 1, 0, widthSliderCallback);
  makeCaption(439, 146, 16, 18, "50%");
  makeCaption(504, 140, 15, 30, "100%");
  makeCaption(559, 146, 20, 18, "150%");
  slopeLimitCheck = makeCheck(477, 192, 80, 25, "30度限制", false, slopeLimitCallback);
  slopeLimitCheck->value(cobblet::loadSlopeLimitSetting(".") ? 1 : 0);
  lengthSlider = makeSlider(374, 85, 191, 28, "長度(mm)", 0, 150, 1, 0, lengthSliderCallback);
  heightRatioSlider =
      makeSlider(372, 162, 184, 25, "高度(比例)", 0.1, 2.0, 0, 1, markDirtyCallback);
  innerArchButton = makeButton(274, 231, 79, 29, "內 足弓", wedgeCallback,
                               wedge(cobblet::WedgeButton::kInnerArch));
  outerArchButton = makeButton(574, 231, 79, 29, "外 足弓", wedgeCallback,
                               wedge(cobblet::WedgeButton::kOuterArch));
  innerHeelButton = makeButton(284, 466, 79, 29, "內 足跟", wedgeCallback,
                               wedge(cobblet::WedgeButton::kInnerHeel));
  outerHeelButton = makeButton(579, 461, 79, 29, "外 足跟", wedgeCallback,
                               wedge(cobblet::WedgeButton::kOuterHeel));
  wholeHeelButton = makeButton(404, 606, 79, 29, "全足跟", wedgeCallback,
                               wedge(cobblet::WedgeButton::kWholeHeel));
  innerArchInput = makeInput(319, 283, 55, 27, "內足弓", 50, 0.2, 3);
  outerArchInput = makeInput(619, 283, 55, 27, "外足弓", 50, 0.2, 3);
  innerHeelInput = makeInput(329, 513, 55, 27, "內足跟", 50, 0.2, 3);
  outerHeelInput = makeInput(624, 503, 55, 27, "外足跟", 50, 0.2, 3);
  wholeHeelInput = makeInput(539, 608, 55, 27, "全足跟", 50, 0.2, 3);
  leftArchIndexInput =
      makeInput(862, 338, 57, 24, "左足弓指標", 1, 0.01, 0.27, leftArchIndexCallback);
  rightArchIndexInput =
      makeInput(862, 368, 57, 24, "右足弓指標", 1, 0.01, 0.27, rightArchIndexCallback);
  padWidthSlider = makeSlider(857, 463, 105, 20, "蹠骨寬", 0, 100, 1, 7, markDirtyCallback);
  padLengthSlider = makeSlider(857, 482, 105, 20, "蹠骨長", 0, 240, 1, 17, markDirtyCallback);
  padHeightSlider = makeSlider(857, 502, 105, 20, "蹠骨墊高(mm)", 0, 9, 0.2, 5, markDirtyCallback);
  padCheck = makeCheck(857, 435, 90, 19, "蹠骨墊片", true, markDirtyCallback);
  padCheck->labelsize(16);
  padCheck->labelcolor(FL_RED);
  heightFollowsLengthCheck = makeCheck(585, 84, 162, 30, "根據長度比例變動高度", true, nullptr);
  widthFollowsLengthCheck = makeCheck(584, 117, 162, 30, "根據長度比例變動寬度", true, nullptr);
  hvAngleSlider = makeSlider(847, 93, 190, 29, "HV Angle", 0, 90, 0.1, 15, nullptr);
  insoleView = new GL_Display_Image;
  insoleView->end();
  cobbletWindow->end();
  std::printf("F2 shows or hides the controls\n");
  return cobbletWindow;
}

void toggleControlsShown() {
  const bool wide = cobbletWindow->w() > kCobbletWidth;
  const int w = wide ? kCobbletWidth : kCobbletWideWidth;
  const int h = wide ? kCobbletHeight : kCobbletWideHeight;
  // The window has no resizable child; only this key changes its size.
  cobbletWindow->size_range(w, h, w, h);
  cobbletWindow->size(w, h);
}
