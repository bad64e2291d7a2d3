// The settings window "Edit": calibration buttons, language choice, the filter sliders and the
// shop and station names, and the central database's state.
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>

#include "pedalyx/shell/callbacks.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "pedalyx/station/window_layout.h"

namespace {

Fl_Button* makeSettingsButton(int x, int y, int w, const char* label, Fl_Callback* callback) {
  auto* button = new Fl_Button(x, y, w, 32, label);
  button->callback(callback);
  return button;
}

Fl_Value_Slider* makeSettingsSlider(int y, const char* label, double low, double high,
                                    double initial, Fl_Callback* callback) {
  auto* slider = new Fl_Value_Slider(85, y, 200, 32, label);
  slider->type(FL_HOR_SLIDER);
  slider->bounds(low, high);
  slider->value(initial);
  slider->textsize(14);
  slider->align(FL_ALIGN_LEFT);
  slider->callback(callback);
  return slider;
}

}  // namespace

void buildSettingsWindow() {
  static Fl_Menu_Item languageItems[] = {
      {"繁體中文", 0, traditionalLanguageCallback, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
      {"简体中文", 0, simplifiedLanguageCallback, nullptr, 0, FL_NORMAL_LABEL, 0, 14, 0},
      {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}};
  settingsWindow = new Fl_Double_Window(kSettingsWindowWidth, kSettingsWindowHeight, "Edit");
  auto* calibration = new Fl_Group(20, 20, 270, 145);
  calibration->box(FL_THIN_DOWN_BOX);
  cameraViewButton = makeSettingsButton(30, 33, 80, "校正視窗", cameraViewButtonCallback);
  makeSettingsButton(30, 73, 80, "儲存校正點", savePointsCallback);
  makeSettingsButton(30, 111, 80, "載入校正點", loadPointsCallback);
  makeSettingsButton(135, 110, 150, "載入校正點(從文件夾)", loadPointsFileCallback);
  calibration->end();
  languageChoice = new Fl_Choice(50, 522, 135, 30, "語言");
  languageChoice->down_box(FL_DOWN_BOX);
  languageChoice->menu(languageItems);
  noiseFilterSlider = makeSettingsSlider(180, "雜訊過濾", 0, 15, 5, filterSliderCallback);
  noiseFilterSlider->step(1);
  toneDensitySlider = makeSettingsSlider(215, "色調濃度", 1, 10, 6, filterSliderCallback);
  toneDensitySlider->step(0.1);
  // Creation order left, right, middle left, middle right, bottom, top: "bottom" sits below
  // "top" on screen, and the settings files keep this order.
  static const struct {
    int y;
    const char* label;
    double low, high, initial;
  } kBlocks[6] = {{275, "左邊", 0, 0.1, 0.05},        {311, "右邊", 0.9, 1, 0.95},
                  {347, "中間左邊", 0.25, 0.5, 0.33}, {383, "中間右邊", 0.5, 0.75, 0.65},
                  {454, "下面", 0, 0.1, 0.05},        {419, "上面", 0.9, 1, 0.95}};
  for (int i = 0; i < 6; ++i) {
    const auto& block = kBlocks[i];
    blockSliders[i] = makeSettingsSlider(block.y, block.label, block.low, block.high, block.initial,
                                         blockSliderCallback);
  }
  addStationIdentityInputs(566);
  // Filled once a second while a central database is configured (examination keeping).
  centralSettingsBox = new Fl_Box(10, 642, 313, 100);
  centralSettingsBox->box(FL_THIN_DOWN_BOX);
  centralSettingsBox->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP |
                            FL_ALIGN_CLIP);
  centralSettingsBox->labelsize(12);
  settingsWindow->end();
}
