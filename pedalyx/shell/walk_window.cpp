#include "pedalyx/shell/walk_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Value_Slider.H>

#include <cmath>
#include <cstdio>

#include "pedalyx/imaging/gait_pressure_ui.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/gait_parts.h"
#include "pedalyx/report/gait_store.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/shell/walk_pictures_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/clock.h"

namespace {

constexpr int kWindowWidth = 1270;
constexpr int kWindowHeight = 780;
constexpr double kFollowPeriod = 0.1;
// The list's columns: number, foot, start, contact time, angle, notes.
const int kListColumns[] = {42, 36, 72, 80, 84, 0};

using State = GaitRecorder::State;

// The text in the form the language choice asks for.
const char* form(bool simplified, const char* traditional, const char* simplifiedText) {
  return simplified ? simplifiedText : traditional;
}

void followTimer(void* data) {
  static_cast<WalkWindow*>(data)->followRecorder();
  Fl::repeat_timeout(kFollowPeriod, followTimer, data);
}

WalkWindow& windowOf(Fl_Widget* widget) { return *static_cast<WalkWindow*>(widget->window()); }

void startCallback(Fl_Widget* w, void*) { windowOf(w).startRecording(); }
void stopCallback(Fl_Widget* w, void*) { windowOf(w).stopRecording(); }
void listCallback(Fl_Widget* w, void*) {
  windowOf(w).chooseContact(static_cast<Fl_Hold_Browser*>(w)->value() - 1);
}
void dropCallback(Fl_Widget* w, void*) {
  windowOf(w).dropChosen(static_cast<Fl_Check_Button*>(w)->value() != 0);
}
void swapCallback(Fl_Widget* w, void*) {
  windowOf(w).swapChosen(static_cast<Fl_Check_Button*>(w)->value() != 0);
}

std::string typedId() { return idInput != nullptr && idInput->value() ? idInput->value() : ""; }

const unsigned char* colourTable() {
  return pressureView != nullptr ? pressureView->colourTable : nullptr;
}

// Every column of a list line begins with `format`, then "@." so that no text reads as one.
std::string listEntry(const std::string& line, const std::string& format) {
  std::string entry = format + "@.";
  for (char c : line) entry += c == '\t' ? "\t" + format + "@." : std::string(1, c);
  return entry;
}

}  // namespace

WalkWindow::WalkWindow(GaitRecorder& recorder, std::string startDirectory)
    : Fl_Double_Window(kWindowWidth, kWindowHeight),
      recorder_(recorder),
      startDirectory_(std::move(startDirectory)) {
  walkWindow = this;
  walkSecondsSlider = new Fl_Value_Slider(140, 12, 200, 32);
  walkSecondsSlider->type(FL_HOR_SLIDER);
  walkSecondsSlider->bounds(GaitRecorder::kShortestSeconds, GaitRecorder::kLongestSeconds);
  walkSecondsSlider->step(1);
  walkSecondsSlider->value(GaitRecorder::kDefaultSeconds);
  walkSecondsSlider->labelsize(16);
  walkSecondsSlider->textsize(16);
  walkSecondsSlider->align(FL_ALIGN_LEFT);
  walkStartButton = new Fl_Button(360, 10, 100, 36);
  walkStartButton->labelsize(18);
  walkStartButton->callback(startCallback);
  walkStopButton = new Fl_Button(470, 10, 100, 36);
  walkStopButton->labelsize(18);
  walkStopButton->callback(stopCallback);
  progress = new Fl_Progress(590, 14, 300, 28);
  progress->minimum(0);
  progress->maximum(1);
  progress->selection_color(FL_DARK_GREEN);
  progress->labelsize(16);
  status = new Fl_Box(20, 50, 1230, 26);
  counts = new Fl_Box(20, 76, 1230, 26);
  for (Fl_Box* line : {status, counts}) {
    line->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
    line->labelsize(17);
  }
  listHeading_ = new Fl_Browser(20, 110, 420, 24);
  listHeading_->has_scrollbar(0);
  listHeading_->box(FL_FLAT_BOX);
  listHeading_->textsize(15);
  listHeading_->column_widths(kListColumns);
  listHeading_->clear_visible_focus();
  contactList = new Fl_Hold_Browser(20, 134, 420, 396);
  contactList->textsize(15);
  contactList->column_widths(kListColumns);
  contactList->callback(listCallback);
  contactList->has_scrollbar(Fl_Browser_::VERTICAL);
  walkDropCheck = new Fl_Check_Button(20, 536, 190, 28);
  walkSwapCheck = new Fl_Check_Button(220, 536, 210, 28);
  walkDropCheck->callback(dropCallback);
  walkSwapCheck->callback(swapCallback);
  for (Fl_Check_Button* check : {walkDropCheck, walkSwapCheck}) {
    check->labelsize(16);
    check->down_box(FL_DOWN_BOX);
  }
  contactTable = new GaitTableBox(20, 572, 420, 190, {6, 110, 240}, 14);
  contactPicture = new GaitPictureBox(460, 110, 250, 460);
  legend = new LegendBox(722, 120, 130, 170);
  contactPhases = new PhaseBarBox(460, 588, 380, 80);
  figureTable = new GaitTableBox(860, 110, 400, 668, {6, 132, 234, 336}, 14);
  end();
  Fl::add_timeout(kFollowPeriod, followTimer, this);
}

WalkWindow::~WalkWindow() { Fl::remove_timeout(followTimer, this); }

bool WalkWindow::simplified() const {
  return languageChoice != nullptr && languageChoice->value() == 1;
}

void WalkWindow::setStatus(StatusLine line) {
  status_ = line;
  showStatus();
}

void WalkWindow::showStatus() {
  const bool s = simplified();
  std::string text;
  switch (status_) {
    case StatusLine::Hint:
      text = form(s, "選擇記錄時間，按「開始」，請客戶在板上來回走（每足至少 3 步）",
                  "选择记录时间，按「开始」，请客户在板上来回走（每足至少 3 步）");
      break;
    case StatusLine::PictureHeld:
      text = form(s, "請先按「取圖」回到即時畫面", "请先按「取图」回到即时画面");
      break;
    case StatusLine::NoCamera:
      text = form(s, "無法開始記錄：攝影機沒有畫面", "无法开始记录：摄影机没有画面");
      break;
    case StatusLine::Recording:
      text = form(s, "記錄中：請客戶以平常的步伐在板上來回走",
                  "记录中：请客户以平常的步伐在板上来回走");
      break;
    case StatusLine::Done: {
      const size_t contacts = recorder_.results().contacts.size();
      char line[256];
      if (contacts == 0)
        std::snprintf(
            line, sizeof line, "%s",
            form(s, "沒有找到任何一步：請客戶走過壓力板", "没有找到任何一步：请客户走过压力板"));
      else
        std::snprintf(line, sizeof line,
                      form(s, "記錄完成：%zu 步。請檢查每一步，剔除不正常的步（例如絆到）",
                           "记录完成：%zu 步。请检查每一步，剔除不正常的步（例如绊到）"),
                      contacts);
      text = line;
      break;
    }
  }
  if (filesFailed_) text += form(s, "（記錄檔無法寫入）", "（记录档无法写入）");
  statusText_ = text;
  status->label(statusText_.c_str());
}

void WalkWindow::startRecording() {
  // A held picture means the operator is measuring a standing customer.
  if (pressureView == nullptr || !pressureView->live || pressureView->frameSource == nullptr) {
    setStatus(StatusLine::PictureHeld);
    return;
  }
  if (!recorder_.start(*pressureView->frameSource, walkSecondsSlider->value())) {
    setStatus(StatusLine::NoCamera);
    return;
  }
  recordName_ = gaitRecordName(typedId(), platform::localTime(platform::epochSeconds()));
  writtenRows_.clear();
  filesFailed_ = false;
  examinationPart_ = report::ExaminationPart{};
  chosen_ = -1;
  setStatus(StatusLine::Recording);
  followRecorder();
}

void WalkWindow::stopRecording() {
  recorder_.stop();
  followRecorder();
}

void WalkWindow::followRecorder() {
  const State state = recorder_.state();
  const bool s = simplified();
  if (state == State::Done && shownState_ != State::Done) recordingDone();
  if (state == State::Idle && shownState_ != State::Idle) {
    // The next customer: nothing of this recording stays in the window.
    recordName_.clear();
    writtenRows_.clear();
    examinationPart_ = report::ExaminationPart{};
    chosen_ = -1;
    filesFailed_ = false;
    status_ = StatusLine::Hint;
  }
  const bool recording = state == State::Recording;
  const double planned = recorder_.plannedSeconds() > 0 ? recorder_.plannedSeconds() : 1;
  const double elapsed = recording ? recorder_.elapsedSeconds() : 0;
  progress->value(static_cast<float>(std::fmin(1.0, elapsed / planned)));
  if (recording)
    std::snprintf(countdown_, sizeof countdown_, form(s, "剩餘 %.0f 秒", "剩余 %.0f 秒"),
                  std::ceil(planned - elapsed));
  else if (state == State::Analysing)
    std::snprintf(countdown_, sizeof countdown_, "%s", form(s, "分析中…", "分析中…"));
  else
    countdown_[0] = '\0';
  progress->label(countdown_);
  const bool busy = recording || state == State::Analysing;
  Fl_Widget* const idleControls[2] = {walkStartButton, walkSecondsSlider};
  for (Fl_Widget* control : idleControls) busy ? control->deactivate() : control->activate();
  recording ? walkStopButton->activate() : walkStopButton->deactivate();

  std::string countLine;
  if (busy) {
    countLine = contactCountText(recorder_.contactsSoFar(FootSide::Left),
                                 recorder_.contactsSoFar(FootSide::Right), s);
  } else if (state == State::Done) {
    const std::array<int, 2> counted = countedContacts(recorder_.results());
    countLine = contactCountText(counted[0], counted[1], s);
  }
  if (countLine != countsText_) {
    countsText_ = countLine;
    counts->label(countsText_.c_str());
  }
  if (state != shownState_ || recorder_.revision() != shownRevision_ || s != shownSimplified_) {
    shownState_ = state;
    shownRevision_ = recorder_.revision();
    shownSimplified_ = s;
    showStatus();
    showResults();
  }
}

void WalkWindow::recordingDone() {
  const GaitResults& r = recorder_.results();
  const std::string id = typedId();
  // A recording started elsewhere than by "開始" is named when it ends.
  if (recordName_.empty())
    recordName_ = gaitRecordName(id, platform::localTime(platform::epochSeconds()));
  const GaitSaveOutcome saved =
      saveGaitRecording(startDirectory_, recordName_, id, r, colourTable());
  writtenRows_ = saved.rowsWritten ? saved.rows : std::vector<std::string>{};
  filesFailed_ = (!saved.rowsWritten && !r.contacts.empty()) || !saved.failedFiles.empty();
  examinationPart_ =
      report::partOfWalking(recordName_, id, r, stationGaitPressures(), saved, startDirectory_);
  if (!r.contacts.empty()) addToExamination(examinationPart_);
  status_ = StatusLine::Done;
  chosen_ = r.contacts.empty() ? -1 : 0;
}

void WalkWindow::saveCorrection() {
  const GaitResults& r = recorder_.results();
  const std::string id = typedId();
  const GaitSaveOutcome saved =
      rewriteGaitRecording(startDirectory_, recordName_, id, r, writtenRows_);
  if (saved.rowsWritten) writtenRows_ = saved.rows;
  filesFailed_ = filesFailed_ || !saved.rowsWritten || !saved.failedFiles.empty();
  examinationPart_ =
      report::partOfWalking(recordName_, id, r, stationGaitPressures(), saved, startDirectory_);
  addToExamination(examinationPart_);
}

void WalkWindow::chooseContact(int contact) {
  const int count =
      recorder_.state() == State::Done ? static_cast<int>(recorder_.results().contacts.size()) : 0;
  chosen_ = contact >= 0 && contact < count ? contact : -1;
  showChosen();
}

void WalkWindow::dropChosen(bool dropped) {
  if (recorder_.state() != State::Done || chosen_ < 0) return;
  recorder_.setDropped(static_cast<size_t>(chosen_), dropped);
  saveCorrection();
  followRecorder();
}

void WalkWindow::swapChosen(bool swapped) {
  if (recorder_.state() != State::Done || chosen_ < 0) return;
  recorder_.setSideSwapped(static_cast<size_t>(chosen_), swapped);
  saveCorrection();
  followRecorder();
}

void WalkWindow::showResults() {
  const bool s = simplified();
  listHeading_->clear();
  listHeading_->add(listEntry(contactListHeading(s), "@b").c_str());
  contactList->clear();
  const bool done = recorder_.state() == State::Done;
  const GaitResults& r = recorder_.results();
  if (done) {
    for (size_t i = 0; i < r.contacts.size(); ++i) {
      const GaitContact& c = r.contacts[i];
      // Dropped contacts in grey, those the means cannot take in dark red.
      const std::string format = c.dropped                              ? "@C39"
                                 : !c.complete() || !r.figures[i].valid ? "@C72"
                                                                        : "";
      contactList->add(listEntry(contactListLine(r, i, s), format).c_str());
    }
    if (chosen_ >= 0) contactList->select(chosen_ + 1);
    figureTable->show(gaitFigureTable(r.summary, stationGaitPressures(), s));
  } else {
    chosen_ = -1;
    figureTable->show({}, recorder_.state() == State::Idle ? ""
                                                           : form(s, "記錄結束後顯示每足的平均值",
                                                                  "记录结束后显示每足的平均值"));
  }
  showChosen();
}

void WalkWindow::showChosen() {
  const bool s = simplified();
  const bool done = recorder_.state() == State::Done && chosen_ >= 0;
  const GaitPressures& pressures = stationGaitPressures();
  legend->show(levelLegend(colourTable(), pressures.scale, s),
               pressures.hasPressures() ? form(s, "色階 (kPa)", "色阶 (kPa)")
                                        : form(s, "色階（壓力級）", "色阶（压力级）"));
  if (!done) {
    contactPicture->show({},
                         form(s, "選擇一步以顯示它的峰值壓力圖", "选择一步以显示它的峰值压力图"));
    contactPhases->show({});
    contactTable->show({});
    walkDropCheck->value(0);
    walkSwapCheck->value(0);
    walkDropCheck->deactivate();
    walkSwapCheck->deactivate();
    return;
  }
  const GaitResults& r = recorder_.results();
  const auto i = static_cast<size_t>(chosen_);
  contactPicture->show(::contactPicture(r, i, colourTable()), "");
  contactPhases->show(r.figures[i].valid ? phaseBar(r.figures[i].phases.share, s)
                                         : std::vector<PhaseSegment>{});
  contactTable->show(i < pressures.contacts.size() ? contactKpaTable(pressures.contacts[i], s)
                                                   : std::vector<GaitTableRow>{},
                     form(s, "沒有壓力單位：在分析視窗輸入體重或校正壓力板後顯示 kPa",
                          "没有压力单位：在分析窗口输入体重或校正压力板后显示 kPa"));
  walkDropCheck->value(r.contacts[i].dropped);
  walkSwapCheck->value(r.contacts[i].sideSwapped);
  walkDropCheck->activate();
  walkSwapCheck->activate();
}

void buildWalkWindow() { new WalkWindow(pressureView->gaitRecorder, pressureView->startDirectory); }
