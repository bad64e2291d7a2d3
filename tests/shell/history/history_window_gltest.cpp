// The history window opened by "歷史" as the operator sees it, read from the examination store
// that the old files were imported into: the customer's visits newest first with the rows the
// import could not read, a file missing or changed shown as such, the latest two visits
// compared, every visit choosable also when two fall in one minute.
#include <gtest/gtest.h>
// The toolkit's X11 header defines macros that clash with the test framework: include it after.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pedalyx/report/examination_import.h"
#include "pedalyx/report/measurement_database.h"
#include "pedalyx/report/report_export.h"
#include "pedalyx/report/report_layout.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/station/handles.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace {

std::string line(Fl_Browser* list, int number) {
  const char* text = list->text(number);
  return text != nullptr ? text : "";
}

// The line of the list that starts with `start`, or "".
std::string lineStarting(Fl_Browser* list, const std::string& start) {
  for (int n = 1; n <= list->size(); ++n) {
    if (line(list, n).rfind(start, 0) == 0) return line(list, n);
  }
  return "";
}

bool pumpUntil(const std::function<bool()>& done, double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done() && std::chrono::steady_clock::now() < end) Fl::wait(0.02);
  return done();
}

// The data-entry fields "歷史" reads, in a window of their own.
void typeCustomer(const char* id, const char* phone) {
  static Fl_Double_Window* dataWindow = nullptr;
  if (dataWindow == nullptr) {
    dataWindow = new Fl_Double_Window(300, 100);
    idInput = new Fl_Input(50, 10, 200, 30, "ID");
    phoneInput = new Fl_Input(50, 50, 200, 30, "電話");
    dataWindow->end();
  }
  idInput->value(id);
  phoneInput->value(phone);
}

// "歷史", then the answer with every file checked.
void openHistory() {
  historyButtonCallback(nullptr, nullptr);
  // The look-up runs beside the window: it says so before anything is read.
  EXPECT_EQ(line(historyVisitList, 1), "搜尋中…");
  ASSERT_TRUE(pumpUntil(
      [] {
        return historyStatus->label() != nullptr &&
               std::string(historyStatus->label()).find("次檢查") != std::string::npos &&
               std::string(historyStatus->label()).find("檢查檔案中") == std::string::npos;
      },
      20))
      << historyStatus->label();
}

// "YYYY-MM-DD hh:mm" of calendar seconds on this clock.
std::string minuteOf(int64_t seconds) {
  const platform::LocalTime t = platform::localTime(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute);
  return text;
}

// Runs the test in a temporary station folder of its own.
class HistoryWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
    ASSERT_EQ(chdir(scratch_.path().c_str()), 0);
    platform::makeDirectory("PDF_INSOLES");
    platform::makeDirectory("FOOT_PRESSURE");
  }
  void TearDown() override {
    if (historyWindow != nullptr) historyWindow->hide();
    ASSERT_EQ(chdir(previous_), 0);
  }
  // The station's start with the old files: the store is made and they are imported.
  static void importOldFiles() {
    std::string error;
    auto store = report::ExaminationStore::open(".", error);
    ASSERT_TRUE(store) << error;
    const report::ImportReport imported = report::importOnce(*store, {"台北一店", "1"}, nullptr);
    ASSERT_TRUE(imported.written) << imported.error;
  }
  ScratchFolder scratch_{"history-window"};
  char previous_[4096] = {};
};

TEST_F(HistoryWindow, ListsTheStoredVisitsWithUnreadableRowsAndChangedFilesAndComparesTwo) {
  const uint32_t first = 1780000000;
  const double lengths[3] = {249, 251, 252};
  std::string newestPdf;
  for (int visit = 0; visit < 3; ++visit) {
    const uint32_t stamp = first + visit * 40 * 24 * 3600;
    MeasurementRecord record;
    record.id = "0987";  // the phone typed as ID: the import joins row and report by it
    record.footLength[0] = lengths[visit];
    saveMeasurement(".", record, BalancePictures{}, stamp);
    static const std::vector<uint8_t> page(report::kPageWidth * report::kPageHeight * 3, 255);
    const std::string name = report::reportName("0987", platform::localTime(stamp + 60));
    newestPdf = report::pdfPath(name);
    ASSERT_TRUE(report::writePdf(page.data(), newestPdf, [](const std::string&) {}));
    if (visit == 0) {
      ASSERT_TRUE(platform::appendWhole("Database_2080.csv", "\n1780000100,0987,"));
    }
  }
  importOldFiles();
  // After the import the newest report was changed and the oldest one deleted.
  ASSERT_TRUE(platform::appendWhole(newestPdf, "%% changed\n"));
  ASSERT_TRUE(platform::removeFile(
      report::pdfPath(report::reportName("0987", platform::localTime(first + 60)))));

  typeCustomer("", "0987");
  openHistory();
  ASSERT_NE(historyWindow, nullptr);
  EXPECT_TRUE(historyWindow->shown());
  EXPECT_STREQ(historyWindow->label(), "歷史  ID   電話 0987");
  EXPECT_STREQ(historyStatus->label(), "3 次檢查");
  ASSERT_EQ(historyVisitList->size(), 4);
  const std::string newest = line(historyVisitList, 1), oldest = line(historyVisitList, 3);
  EXPECT_NE(newest.find(" 左 252/-mm"), std::string::npos) << newest;
  EXPECT_NE(newest.find("1 個檔案已變更"), std::string::npos) << newest;
  EXPECT_NE(oldest.find(" 左 249/-mm"), std::string::npos) << oldest;
  EXPECT_NE(oldest.find("1 個檔案遺失"), std::string::npos) << oldest;
  EXPECT_EQ(line(historyVisitList, 4),
            "@C1@.Database_2080.csv 第 3 行無法讀取 (有 2 欄, 應為 51 欄)");

  // The latest visit against the one before: every figure, with the change where both hold it.
  EXPECT_EQ(historyLaterChoice->value(), 0);
  EXPECT_EQ(historyEarlierChoice->value(), 1);
  EXPECT_EQ(lineStarting(historyDifferenceList, "@.足長 左"),
            "@.足長 左\t@.251 mm\t@.252 mm\t@.+1");
  EXPECT_EQ(lineStarting(historyDifferenceList, "@.報表 PDF"), "@.報表 PDF\t@.完好\t@.已變更\t@.");
  historyEarlierChoice->value(2);
  historyEarlierChoice->do_callback();
  EXPECT_EQ(lineStarting(historyDifferenceList, "@.足長 左"),
            "@.足長 左\t@.249 mm\t@.252 mm\t@.+3");
  EXPECT_EQ(lineStarting(historyDifferenceList, "@.報表 PDF"), "@.報表 PDF\t@.遺失\t@.已變更\t@.");
  EXPECT_NE(std::string(historyPictureBoxes[0]->label()).find("無壓力圖"), std::string::npos)
      << "the reports have no picture";
  if (const char* keep = std::getenv("HISTORY_SHOT")) {
    system(("import -window root '" + std::string(keep) + "'").c_str());
  }
}

// Twelve visits, the last two saved 20 s apart in one minute: the choices once joined their
// equal dates into one entry, so a choice showed the visit after it and the oldest could not be
// chosen.
TEST_F(HistoryWindow, EveryVisitIsChoosableAndShowsItselfAlsoTwoInOneMinute) {
  const uint32_t first = 1780000000 - 1780000000 % 60;  // a whole minute
  std::vector<uint32_t> stamps;
  for (int visit = 0; visit < 11; ++visit) stamps.push_back(first + visit * 7 * 24 * 3600);
  stamps.push_back(stamps.back() + 20);
  for (size_t visit = 0; visit < stamps.size(); ++visit) {
    MeasurementRecord record;
    record.id = "B7";
    record.footLength[0] = 240 + visit;
    saveMeasurement(".", record, BalancePictures{}, stamps[visit]);
  }
  importOldFiles();

  typeCustomer("B7", "");
  openHistory();
  ASSERT_EQ(historyVisitList->size(), 12);
  ASSERT_EQ(historyEarlierChoice->size() - 1, 12) << "one entry per visit";
  ASSERT_EQ(historyLaterChoice->size() - 1, 12);
  const std::string sameMinute = minuteOf(stamps.back());
  EXPECT_STREQ(historyLaterChoice->text(0), (sameMinute + " (2)").c_str());
  EXPECT_STREQ(historyLaterChoice->text(1), (sameMinute + " (1)").c_str());
  for (int entry = 0; entry < 12; ++entry) {
    ASSERT_TRUE(historyEarlierChoice->value(entry)) << entry;
    historyEarlierChoice->do_callback();
    // Newest first: entry k is the visit saved with length 251 - k, compared with the newest.
    const int length = 251 - entry;
    EXPECT_EQ(lineStarting(historyDifferenceList, "@.足長 左"),
              "@.足長 左\t@." + std::to_string(length) + " mm\t@.251 mm\t@." +
                  (length == 251 ? "0" : "+" + std::to_string(251 - length)))
        << entry;
    EXPECT_EQ(line(historyVisitList, entry + 1)
                  .rfind("@." + std::string(historyEarlierChoice->text()) + "  左 " +
                             std::to_string(length) + "/",
                         0),
              0u)
        << line(historyVisitList, entry + 1);
  }
}

}  // namespace
