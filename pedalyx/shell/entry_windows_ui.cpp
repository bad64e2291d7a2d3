// The personal-data windows: remarks and the data-entry form that precedes the report.
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Output.H>

#include "pedalyx/shell/callbacks.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "pedalyx/station/window_layout.h"

namespace {

Fl_Input* makeEntryInput(int x, int y, int w, int h, const char* label) {
  auto* input = new Fl_Input(x, y, w, h, label);
  input->labelsize(16);
  input->textsize(16);
  return input;
}

}  // namespace

void buildRemarksWindow() {
  remarksWindow = new Fl_Double_Window(kRemarksWindowWidth, kRemarksWindowHeight, "備註");
  remarksInput = new Fl_Multiline_Input(85, 95, 800, 200, "multi-input");
  remarksInput->textsize(34);
  remarksWindow->end();
}

void buildDataEntryWindow() {
  static Fl_Menu_Item genderItems[] = {{"男", 0, nullptr, nullptr, 0, FL_NORMAL_LABEL, 0, 16, 0},
                                       {"女", 0, nullptr, nullptr, 0, FL_NORMAL_LABEL, 0, 16, 0},
                                       {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}};
  dataEntryWindow = new Fl_Double_Window(kDataEntryWindowWidth, kDataEntryWindowHeight, "資料輸入");
  okButton = new Fl_Button(185, 300, 110, 80, "確定");
  okButton->labelsize(32);
  okButton->callback(okButtonCallback);
  auto* heading = new Fl_Output(315, 21, 30, 24, "個人報表資料輸入");
  heading->box(FL_NO_BOX);
  heading->labelsize(28);
  heading->labelcolor(FL_RED);
  entryGenderChoice = new Fl_Choice(85, 226, 76, 34, "性别");
  entryGenderChoice->down_box(FL_DOWN_BOX);
  entryGenderChoice->labelsize(16);
  entryGenderChoice->textsize(16);
  entryGenderChoice->menu(genderItems);
  entryGenderChoice->value(0);
  auto* keyboardButton = new Fl_Button(350, 115, 97, 46, "開啟小鍵盤");
  keyboardButton->labelsize(16);
  keyboardButton->callback(keyboardButtonCallback);
  birthYearInput = makeEntryInput(85, 181, 90, 34, "出生年");
  birthMonthInput = makeEntryInput(230, 182, 90, 33, "出生月");
  phoneInput = makeEntryInput(85, 81, 235, 34, "*電話");
  phoneInput->labelcolor(FL_RED);
  emailInput = makeEntryInput(85, 126, 235, 34, "E-mail");
  dataEntryWindow->end();
}
