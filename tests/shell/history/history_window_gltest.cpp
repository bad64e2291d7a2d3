// The history window opened by "歷史" as the operator sees it: the customer's visits newest
// first, the damaged database row in the list, the latest two visits compared.
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
#include <cstdlib>
#include <string>

#include "pedalyx/report/customer_history.h"
#include "pedalyx/report/history_text.h"
#include "pedalyx/report/measurement_database.h"
#include "pedalyx/report/report_export.h"
#include "pedalyx/report/report_layout.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/station/handles.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace {

void pump(double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) Fl::wait(0.02);
}

std::string line(Fl_Browser* list, int number) {
  const char* text = list->text(number);
  return text != nullptr ? text : "";
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
  ScratchFolder scratch_{"history-window"};
  char previous_[4096] = {};
};

TEST_F(HistoryWindow, ListsTheVisitsAndComparesTheChosenTwo) {
  const uint32_t first = 1780000000;
  const double lengths[3] = {249, 251, 252};
  for (int visit = 0; visit < 3; ++visit) {
    const uint32_t stamp = first + visit * 40 * 24 * 3600;
    MeasurementRecord record;
    record.id = "A123";
    record.footLength[0] = lengths[visit];
    saveMeasurement(".", record, BalancePictures{}, stamp);
    static const std::vector<uint8_t> page(report::kPageWidth * report::kPageHeight * 3, 255);
    const std::string name = report::reportName("0987", platform::localTime(stamp + 60));
    ASSERT_TRUE(report::writePdf(page.data(), report::pdfPath(name), [](const std::string&) {}));
    if (visit == 0) {
      ASSERT_TRUE(platform::appendWhole("Database_2080.csv", "\n1780000100,A123,"));
    }
  }

  typeCustomer("A123", "0987");
  historyButtonCallback(nullptr, nullptr);
  pump(0.5);
  ASSERT_NE(historyWindow, nullptr);
  EXPECT_TRUE(historyWindow->shown());
  EXPECT_STREQ(historyWindow->label(), "歷史  ID A123  電話 0987");
  ASSERT_EQ(historyVisitList->size(), 4);
  const std::string newest = line(historyVisitList, 1), oldest = line(historyVisitList, 3);
  EXPECT_NE(newest.find(" 左 252/-mm"), std::string::npos) << newest;
  EXPECT_NE(oldest.find(" 左 249/-mm"), std::string::npos) << oldest;
  EXPECT_EQ(line(historyVisitList, 4),
            "@C1@.第 3 行無法讀取 (有 2 欄, 應為 51 欄): 1780000100,A123,")
      << line(historyVisitList, 4);

  // The latest visit against the one before: one line per figure both rows hold.
  EXPECT_EQ(historyLaterChoice->value(), 0);
  EXPECT_EQ(historyEarlierChoice->value(), 1);
  EXPECT_EQ(line(historyDifferenceList, 2), "@.足長 左\t@.251\t@.252\t@.+1");
  historyEarlierChoice->value(2);
  historyEarlierChoice->do_callback();
  EXPECT_EQ(line(historyDifferenceList, 2), "@.足長 左\t@.249\t@.252\t@.+3");
  EXPECT_STREQ(historyPictureBoxes[0]->label(), "無壓力圖") << "the reports have no picture";
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

  typeCustomer("B7", "");
  historyButtonCallback(nullptr, nullptr);
  pump(0.3);
  ASSERT_EQ(historyVisitList->size(), 12);
  ASSERT_EQ(historyEarlierChoice->size() - 1, 12) << "one entry per visit";
  ASSERT_EQ(historyLaterChoice->size() - 1, 12);
  const std::string sameMinute = report::visitDate(report::localMinuteOf(stamps.back()));
  EXPECT_STREQ(historyLaterChoice->text(0), (sameMinute + " (2)").c_str());
  EXPECT_STREQ(historyLaterChoice->text(1), (sameMinute + " (1)").c_str());
  for (int entry = 0; entry < 12; ++entry) {
    ASSERT_TRUE(historyEarlierChoice->value(entry)) << entry;
    historyEarlierChoice->do_callback();
    // Newest first: entry k is the visit saved with length 251 - k, compared with the newest.
    const int length = 251 - entry;
    EXPECT_EQ(line(historyDifferenceList, 2), "@.足長 左\t@." + std::to_string(length) +
                                                  "\t@.251\t@.+" + std::to_string(251 - length))
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
