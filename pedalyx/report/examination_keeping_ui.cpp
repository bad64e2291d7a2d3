// The examination store for the windows: opened at start, its import followed with a timer,
// and every write's failure told to the operator with a message after the current callback.
// With a central database configured, a sender sends the closed records to it in the
// background and a timer shows its state in the main and settings windows.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/central_sender.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/station_examinations.h"
#include "pedalyx/report/store_outbox.h"
#include "pedalyx/station/handles.h"
#include "platform/clock.h"
#include "platform/message_box_ui.h"

namespace {

constexpr double kImportPollSeconds = 0.2;
constexpr double kCentralStatusSeconds = 1.0;

// The sender's outbox is its own connection to the store; both live until the station closes.
std::unique_ptr<report::StoreOutbox> centralOutbox;
std::unique_ptr<CentralSender> centralSender;
std::string centralDescription;

bool simplified() { return languageChoice != nullptr && languageChoice->value() == 1; }

void printLine(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fflush(stdout);
}

void tellFailure(const std::string& failure) {
  if (failure.empty()) return;
  platform::postMessageBox(failure, simplified() ? "检查记录" : "檢查記錄");
}

void followImport(void*) {
  report::ImportReport finished;
  std::vector<report::StoreWrite> failures;
  if (!report::stationExaminations().finishImport(finished, failures)) {
    if (report::stationExaminations().importing())
      Fl::repeat_timeout(kImportPollSeconds, followImport);
    return;
  }
  printLine(report::describeImport(finished));
  std::string text;
  for (const report::StoreWrite& write : failures)
    text += report::describeStoreFailure(write, simplified());
  tellFailure(text);
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

// The sender's line in the chosen character form.
std::string inChosenForm(std::string text) {
  if (!simplified()) return text;
  replaceAll(text, "資料庫", "数据库");
  replaceAll(text, "待傳", "待传");
  replaceAll(text, "筆", "笔");
  replaceAll(text, "無法連線", "无法连接");
  replaceAll(text, "待刪除", "待删除");
  replaceAll(text, "位客戶", "位客户");
  return text;
}

std::string settingsText(const CentralSendState& state) {
  const bool s = simplified();
  std::string text = (s ? "中央数据库：" : "中央資料庫：") + centralDescription + "\n";
  text += state.connected ? (s ? "已连接" : "已連線") : (s ? "未连接" : "未連線");
  text += "；" + std::string(s ? "待传 " : "待傳 ") + std::to_string(std::max(0, state.pending));
  text += (s ? "，已传 " : "，已傳 ") + std::to_string(state.sent);
  text += (s ? "，被拒 " : "，被拒 ") + std::to_string(state.refused) + "\n";
  // libpq's messages run on with hints; their first line says what failed.
  if (!state.lastError.empty())
    text +=
        (s ? "错误：" : "錯誤：") + state.lastError.substr(0, state.lastError.find('\n')) + "\n";
  if (!state.lastRefusal.empty()) text += (s ? "拒收原因：" : "拒收原因：") + state.lastRefusal;
  return text;
}

// Copies the label only when it changed, so that an idle station does not redraw.
void showText(Fl_Widget* widget, const std::string& text, const std::string& tip) {
  if (widget == nullptr) return;
  if (widget->label() == nullptr || text != widget->label()) {
    widget->copy_label(text.c_str());
    widget->redraw();
  }
  if (widget->tooltip() == nullptr || tip != widget->tooltip())
    widget->copy_tooltip(tip.empty() ? nullptr : tip.c_str());
}

void showCentralState(void*) {
  if (!centralSender) return;
  const CentralSendState state = centralSender->state();
  // A refused record is kept; the line says why, so the operator can tell the centre's staff.
  std::string tip = state.lastError;
  if (!state.lastRefusal.empty())
    tip += (tip.empty() ? "" : "\n") + std::string(simplified() ? "拒收：" : "拒收：") +
           state.lastRefusal;
  if (centralStatusBox != nullptr) {
    showText(centralStatusBox, inChosenForm(centralStatusText(state)), tip);
    centralStatusBox->labelcolor(state.connected || state.lastError.empty() ? FL_DARK_GREEN
                                                                            : FL_DARK_RED);
    centralStatusBox->show();
  }
  if (settingsWindow != nullptr && settingsWindow->visible())
    showText(centralSettingsBox, settingsText(state), "");
  Fl::repeat_timeout(kCentralStatusSeconds, showCentralState);
}

void startCentralSending(const std::string& folder) {
  CentralConfig config = readCentralConfig(folder);
  if (!config.configured()) return;
  // An invalid file was said on standard error; the line shows it as unreachable.
  centralDescription =
      config.status == CentralConfig::Status::Ready ? config.describe() : config.problem;
  centralOutbox = std::make_unique<report::StoreOutbox>(folder);
  centralSender = std::make_unique<CentralSender>(std::move(config), *centralOutbox);
  Fl::add_timeout(0.0, showCentralState);
}

}  // namespace

bool centralDatabaseConfigured() { return centralSender != nullptr; }

void wakeCentralSender() {
  if (centralSender) centralSender->wake();
}

void stopExaminationKeeping() {
  Fl::remove_timeout(showCentralState);
  centralSender.reset();  // ends within about a tenth of a second, even mid-send
  centralOutbox.reset();
}

void startExaminationKeeping() {
  const std::string folder = pressureView != nullptr && !pressureView->startDirectory.empty()
                                 ? pressureView->startDirectory
                                 : ".";
  report::StationExaminations& examinations = report::stationExaminations();
  examinations.start(folder, pressureView != nullptr ? pressureView->colourTable : nullptr,
                     platform::epochSeconds(), printLine);
  if (examinations.importing()) Fl::add_timeout(kImportPollSeconds, followImport);
  if (examinations.store() == nullptr) {
    report::StoreWrite notOpen;
    notOpen.error = examinations.storeError();
    tellFailure(report::describeStoreFailure(notOpen, simplified()));
  }
  startCentralSending(folder);
}

void addToExamination(const report::ExaminationPart& part) {
  tellFailure(report::describeStoreFailure(
      report::stationExaminations().add(part, platform::epochSeconds()), simplified()));
  wakeCentralSender();
}

void closeExamination() {
  tellFailure(
      report::describeStoreFailure(report::stationExaminations().nextCustomer(), simplified()));
  wakeCentralSender();
}

bool examinationImportRunning() { return report::stationExaminations().importing(); }
