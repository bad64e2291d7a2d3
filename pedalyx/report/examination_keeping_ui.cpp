// The examination store for the windows: opened at start, its import followed with a timer,
// and every write's failure told to the operator with a message after the current callback.
#include <FL/Fl.H>
#include <FL/Fl_Choice.H>

#include <cstdio>
#include <string>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/station_examinations.h"
#include "pedalyx/station/handles.h"
#include "platform/clock.h"
#include "platform/message_box_ui.h"

namespace {

constexpr double kImportPollSeconds = 0.2;

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

}  // namespace

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
}

void addToExamination(const report::ExaminationPart& part) {
  tellFailure(report::describeStoreFailure(
      report::stationExaminations().add(part, platform::epochSeconds()), simplified()));
}

void closeExamination() {
  tellFailure(
      report::describeStoreFailure(report::stationExaminations().nextCustomer(), simplified()));
}

bool examinationImportRunning() { return report::stationExaminations().importing(); }
