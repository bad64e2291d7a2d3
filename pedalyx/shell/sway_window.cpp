#include "pedalyx/shell/sway_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Slider.H>

#include <cmath>
#include <cstdio>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/examination_parts.h"
#include "pedalyx/report/sway_store.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/shell/sway_plot_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/clock.h"

namespace {

constexpr int kSwayWindowWidth = 1100;
constexpr int kSwayWindowHeight = 760;
constexpr double kFollowPeriod = 0.1;

void followTimer(void* data) {
  static_cast<SwayWindow*>(data)->followRecorder();
  Fl::repeat_timeout(kFollowPeriod, followTimer, data);
}

void startCallback(Fl_Widget*, void* data) { static_cast<SwayWindow*>(data)->startRecording(); }

Fl_Round_Button* makeConditionButton(int x, const char* label) {
  auto* button = new Fl_Round_Button(x, 12, 80, 30, label);
  button->type(FL_RADIO_BUTTON);
  button->labelsize(18);
  return button;
}

}  // namespace

SwayWindow::SwayWindow(SwayRecorder& recorder, std::string startDirectory)
    : Fl_Double_Window(kSwayWindowWidth, kSwayWindowHeight, "重心搖擺"),
      recorder_(recorder),
      startDirectory_(std::move(startDirectory)) {
  secondsSlider = new Fl_Value_Slider(130, 12, 200, 30, "記錄時間(秒)");
  secondsSlider->type(FL_HOR_SLIDER);
  secondsSlider->bounds(SwayRecorder::kShortestSeconds, SwayRecorder::kLongestSeconds);
  secondsSlider->step(1);
  secondsSlider->value(SwayRecorder::kDefaultSeconds);
  secondsSlider->labelsize(16);
  secondsSlider->textsize(16);
  secondsSlider->align(FL_ALIGN_LEFT);
  eyesOpenButton = makeConditionButton(350, "睜眼");
  eyesClosedButton = makeConditionButton(430, "閉眼");
  eyesOpenButton->setonly();
  startButton = new Fl_Button(520, 10, 100, 34, "開始");
  startButton->labelsize(18);
  startButton->callback(startCallback, this);
  progress = new Fl_Progress(640, 14, 300, 26);
  progress->minimum(0);
  progress->maximum(1);
  progress->selection_color(FL_DARK_GREEN);
  progress->labelsize(16);
  status = new Fl_Box(20, 50, 1060, 28);
  status->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
  status->labelsize(18);
  const SwayRecording& open = recorder.result(SwayCondition::EyesOpen);
  const SwayRecording& closed = recorder.result(SwayCondition::EyesClosed);
  using Box = SwayPictureBox;
  pictures_[0] = new Box(20, 110, 300, 314, "睜眼", open, Box::PlateTrace);
  pictures_[1] = new Box(330, 110, 200, 314, "", open, Box::Stabilogram);
  pictures_[2] = new Box(570, 110, 300, 314, "閉眼", closed, Box::PlateTrace);
  pictures_[3] = new Box(880, 110, 200, 314, "", closed, Box::Stabilogram);
  table_ = new SwayTableBox(20, 440, 1060, 250, recorder);
  end();
  Fl::add_timeout(kFollowPeriod, followTimer, this);
}

SwayWindow::~SwayWindow() { Fl::remove_timeout(followTimer, this); }

void SwayWindow::startRecording() {
  // A held picture gives no new frames: the recording would end before its first sample.
  if (pressureView != nullptr && !pressureView->live) {
    statusText_ = "請先按「取圖」回到即時畫面";
    status->label(statusText_.c_str());
    return;
  }
  const SwayRecording& open = recorder_.result(SwayCondition::EyesOpen);
  const SwayRecording& closed = recorder_.result(SwayCondition::EyesClosed);
  if (recordName_.empty() || (!open.recorded() && !closed.recorded())) {
    const std::string id = idInput != nullptr && idInput->value() ? idInput->value() : "";
    recordName_ = swayRecordName(id, platform::localTime(platform::epochSeconds()));
  }
  const SwayCondition condition =
      eyesClosedButton->value() ? SwayCondition::EyesClosed : SwayCondition::EyesOpen;
  recorder_.start(condition, secondsSlider->value());
  statusText_ = condition == SwayCondition::EyesClosed ? "記錄中：請閉上眼睛，保持站立不動"
                                                       : "記錄中：請睜開眼睛，保持站立不動";
  status->label(statusText_.c_str());
  followRecorder();
}

void SwayWindow::followRecorder() {
  const bool recording = recorder_.isRecording();
  if (wasRecording_ && !recording) recordingEnded();
  wasRecording_ = recording;
  const SwayRecording& current = recorder_.result(recorder_.condition());
  const double planned = current.plannedSeconds > 0 ? current.plannedSeconds : 1;
  const double elapsed = recording ? recorder_.elapsedSeconds() : 0;
  progress->value(static_cast<float>(std::fmin(1.0, elapsed / planned)));
  if (recording)
    std::snprintf(countdown_, sizeof countdown_, "剩餘 %.0f 秒", std::ceil(planned - elapsed));
  else
    countdown_[0] = '\0';
  progress->label(countdown_);
  startButton->deactivate();
  if (!recording) startButton->activate();
  if (recording || recorder_.revision() != shownRevision_) {
    shownRevision_ = recorder_.revision();
    const bool cleared = recorder_.result(SwayCondition::EyesOpen).stop == SwayStop::NotEnded &&
                         recorder_.result(SwayCondition::EyesClosed).stop == SwayStop::NotEnded;
    if (!recording && cleared) {
      statusText_.clear();
      status->label("");
      eyesOpenButton->setonly();
    }
    redraw();
  }
}

void SwayWindow::recordingEnded() {
  const SwayCondition condition = recorder_.condition();
  const SwayRecording& r = recorder_.result(condition);
  const std::string message = swayStopMessage(r.stop);
  statusText_ = message.empty() ? "記錄完成" : message;
  if (r.recorded()) {
    const std::string id = idInput != nullptr && idInput->value() ? idInput->value() : "";
    SwaySaveOutcome saved = saveSwayRecording(startDirectory_, recordName_, id, condition, r,
                                              recorder_.result(SwayCondition::EyesOpen));
    if (!saved.rowWritten || !saved.traceWritten) statusText_ += "（記錄檔無法寫入）";
    addToExamination(report::partOfSway(recordName_, id, condition, r,
                                        recorder_.result(SwayCondition::EyesOpen), saved,
                                        startDirectory_));
    // Eyes closed follows eyes open.
    if (condition == SwayCondition::EyesOpen && r.stop == SwayStop::Completed)
      eyesClosedButton->setonly();
  }
  status->label(statusText_.c_str());
}

void buildSwayWindow() {
  swayWindow = new SwayWindow(pressureView->swayRecorder, pressureView->startDirectory);
}
