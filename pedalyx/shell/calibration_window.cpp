#include "pedalyx/shell/calibration_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Value_Input.H>

#include <cstdio>

#include "pedalyx/imaging/pressure_calibration_file.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/calibration_view.h"
#include "pedalyx/shell/load_calibration_ui.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/shell/station_widgets_ui.h"
#include "pedalyx/station/handles.h"
#include "pedalyx/station/window_layout.h"
#include "platform/message_box_ui.h"

namespace {

constexpr double kFollowPeriod = 0.1;
const char* const kCaption = "壓力校正";

template <class... Args>
std::string formatted(const char* format, Args... args) {
  char text[320];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

void followTimer(void* data) {
  static_cast<CalibrationWindow*>(data)->followPicture();
  Fl::repeat_timeout(kFollowPeriod, followTimer, data);
}

void recordCallback(Fl_Widget*, void* data) { static_cast<CalibrationWindow*>(data)->recordLoad(); }
void removeLastCallback(Fl_Widget*, void* data) {
  static_cast<CalibrationWindow*>(data)->removeLastLoad();
}
void clearCallback(Fl_Widget*, void* data) { static_cast<CalibrationWindow*>(data)->clearLoads(); }

Fl_Value_Input* makeLoadInput(int y, const char* label, double maximum) {
  Fl_Value_Input* input = makeValueInput(770, y, 90, 30, label, 0.01, maximum);
  input->labelsize(16);
  input->textsize(16);
  return input;
}

Fl_Button* makeButton(int x, int y, int w, int h, const char* label, Fl_Callback* callback,
                      void* data) {
  auto* button = new Fl_Button(x, y, w, h, label);
  button->labelsize(16);
  button->callback(callback, data);
  return button;
}

std::string percentText(const std::optional<CalibrationResidual>& r) {
  return r ? formatted("%+.2f %%", r->residualPercent()) : std::string("-");
}

}  // namespace

CalibrationWindow::CalibrationWindow()
    : Fl_Double_Window(kCalibrationWindowWidth, kCalibrationWindowHeight, "校正視窗") {
  calibrationCameraView = styleView(new GL_Display_webcam1(), FL_FLAT_BOX);
  calibrationCameraView->label("校正視窗");
  auto* title = new Fl_Box(650, 4, 350, 26, "壓力校正（砝碼）");
  title->labelsize(18);
  title->labelfont(FL_BOLD);
  title->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
  padPicture = new PadPictureBox(665, 32);
  auto* hint = new Fl_Box(650, 368, 355, 22, "拖曳框出砝碼墊（右鍵：自動取受壓範圍）");
  hint->labelsize(14);
  hint->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
  massInput = makeLoadInput(394, "質量 (kg)", CalibrationLimits::kMaxMassKg);
  padAreaInput = makeLoadInput(428, "墊面積 (cm²)", CalibrationLimits::kMaxPadAreaCm2);
  recordButton = makeButton(875, 394, 120, 64, "記錄", recordCallback, this);
  recordButton->labelsize(20);
  removeLastButton = makeButton(665, 464, 160, 30, "刪除最後一筆", removeLastCallback, this);
  clearButton = makeButton(835, 464, 160, 30, "清除，重新開始", clearCallback, this);
  plot = new CalibrationPlotBox(8, 500, 380, 204, session_);
  loadList = new Fl_Browser(396, 500, 606, 160);
  loadList->textsize(14);
  status = new Fl_Box(396, 662, 606, 44);
  status->box(FL_THIN_DOWN_BOX);
  status->labelsize(14);
  status->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_WRAP);
  end();
  Fl::add_timeout(kFollowPeriod, followTimer, this);
}

CalibrationWindow::~CalibrationWindow() { Fl::remove_timeout(followTimer, this); }

void CalibrationWindow::show() {
  if (!started_ && pressureView != nullptr) {
    started_ = true;
    session_ = LoadCalibrationSession(
        pressureView->pressureCalibration ? &*pressureView->pressureCalibration : nullptr);
    if (session_.calibration())
      say(formatted("使用中的校正：%zu 筆負重（pressure_calibration.txt）",
                    session_.records().size()));
    else
      say("尚未校正：放上砝碼，輸入質量與墊面積，按「記錄」；至少三種負重");
    showLoads();
  }
  Fl_Double_Window::show();
}

void CalibrationWindow::followPicture() {
  if (!shown() || pressureView == nullptr || pressureView->frameCycles == picturesShown_) return;
  picturesShown_ = pressureView->frameCycles;
  padPicture->redraw();
}

void CalibrationWindow::recordLoad() {
  if (pressureView == nullptr) return;
  const LoadCalibrationSession::Step step =
      session_.record(pressureView->levelImage, padPicture->region(), massInput->value(),
                      padAreaInput->value(), pressureView->filterValues().gen);
  showLoads();
  if (!step.recorded) {
    refuse("這筆負重未記錄：" + step.message);
    return;
  }
  if (step.fitted) {
    adoptCurve();
  } else if (!step.fitRefusal.empty()) {
    refuse("已記錄，但無法建立校正曲線：" + step.fitRefusal);
  } else {
    const int missing = CalibrationLimits::kMinLoads - static_cast<int>(session_.records().size());
    say(formatted("已記錄 %s；再記錄 %d 種負重即可建立曲線", step.message.c_str(), missing));
  }
}

void CalibrationWindow::removeLastLoad() {
  session_.removeLast();
  showLoads();
  if (session_.calibration())
    adoptCurve();
  else if (!session_.fitRefusal().empty())
    say("已刪除最後一筆；無法建立校正曲線：" + session_.fitRefusal(), true);
  else
    say("已刪除最後一筆");
}

void CalibrationWindow::clearLoads() {
  session_.clear();
  showLoads();
  const bool inUse = pressureView != nullptr && pressureView->pressureCalibration.has_value();
  say(inUse ? "已清除所有負重；測站仍使用原有的校正，直到新的曲線建立" : "已清除所有負重");
}

void CalibrationWindow::adoptCurve() {
  const PressureCalibration& calibration = *session_.calibration();
  if (!savePressureCalibration(kPressureCalibrationFile, calibration)) {
    refuse(std::string("校正曲線無法寫入 ") + kPressureCalibrationFile +
           "：測站繼續使用原有的校正");
    return;
  }
  if (pressureView != nullptr) pressureView->pressureCalibration = calibration;
  say(formatted("已建立校正曲線（%zu 個點，%zu 筆負重），存於 %s，測站即刻使用",
                calibration.curve.points.size(), calibration.records.size(),
                kPressureCalibrationFile));
}

void CalibrationWindow::refuse(const std::string& why) {
  say(why, true);
  // Shown once the callback has returned, like every message of the station's views.
  platform::postMessageBox(why, kCaption);
}

void CalibrationWindow::say(const std::string& text, bool problem) {
  statusText_ = text;
  status->label(statusText_.c_str());
  status->labelcolor(problem ? FL_RED : FL_BLACK);
  status->redraw();
}

void CalibrationWindow::showLoads() {
  loadList->clear();
  int n = 0;
  for (const LoadRow& row : session_.rows()) {
    loadList->add(formatted("%d. %.2f kg / %.2f cm² = %.2f kPa，平均等級 %.1f，殘差 %s，留一 %s",
                            ++n, row.record.massKg, row.record.padAreaCm2, row.pressureKpa,
                            row.meanLevel, percentText(row.residual).c_str(),
                            percentText(row.leftOut).c_str())
                      .c_str());
  }
  plot->redraw();
}

void buildCalibrationWindow() { calibrationWindow = new CalibrationWindow(); }
