// The examination store in a station built in this process on the simulated plate: an
// examination exported and saved is one record that the history window shows with its figures
// and picture; "匯出" and "刪除" in that window hand the customer's data out and erase it with
// a line in the log; on a full disk nothing changes and the operator is told.
#include <gtest/gtest.h>
// The toolkit's X11 headers define macros that clash with the test framework: include after.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Value_Input.H>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/examination_reader.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/station/handles.h"
#include "platform/files.h"
#include "report/in_process_station.h"

namespace fs = std::filesystem;
using namespace in_process_station;

namespace {

constexpr const char* kPhone = "0911222333";
constexpr const char* kId = "C-77 顧客";

std::string line(Fl_Browser* list, int number) {
  const char* text = list->text(number);
  return text != nullptr ? text : "";
}

std::string lineStarting(Fl_Browser* list, const std::string& start) {
  for (int n = 1; n <= list->size(); ++n) {
    if (line(list, n).rfind(start, 0) == 0) return line(list, n);
  }
  return "";
}

int filesIn(const char* folder) {
  if (!fs::exists(folder)) return 0;
  return static_cast<int>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// "歷史" of the analysis window, then its answer with every file checked.
void openHistory() {
  historyButton->do_callback();
  ASSERT_TRUE(pumpUntil(
      [] {
        const std::string status = historyStatus->label() ? historyStatus->label() : "";
        return status.find("次檢查") != std::string::npos &&
               status.find("檢查檔案中") == std::string::npos;
      },
      20))
      << historyStatus->label();
}

// The customer's examination as the operator makes it: the held picture, both axes, the sizes
// typed, the report exported; then the ID typed and "Save".
void examine(bool filesWritten = true) {
  takePictureButton->do_callback();  // hold
  pump(0.3);
  clickAxes(0.9, 0.1);
  pump(0.5);
  leftLengthInput->value(243);
  leftWidthInput->value(94);
  rightLengthInput->value(245);
  rightWidthInput->value(95);
  phoneInput->value(kPhone);
  confirm();
  if (filesWritten) {
    ASSERT_TRUE(
        pumpUntil([] { return filesIn("PDF_INSOLES") > 0 && filesIn("FOOT_PRESSURE") > 0; }, 20))
        << lastMessage();
  } else {
    pump(3.0);  // the report view's capture and export, which fail
  }
  idInput->value(kId);
  databaseSaveButton->do_callback();
  pump(0.3);
}

class StationStore : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    enterScratchStation("store_station", "exit 0");
    ASSERT_TRUE(openStationUntilCustomerStands(60)) << "the simulated customer never stood";
    ASSERT_TRUE(pumpUntil([] { return !examinationImportRunning(); }, 30));
  }
  void TearDown() override {
    if (historyWindow != nullptr) historyWindow->hide();
    reportView->hide();
    if (!pressureView->live) takePictureButton->do_callback();  // the next customer
  }
};

TEST_F(StationStore, AnExportedAndSavedExaminationIsShownFromTheStoreWithItsFigures) {
  // The shop's name typed in the settings window, as the records carry it from then on.
  shopNameInput->value("台北一店");
  shopNameInput->do_callback();
  EXPECT_EQ(
      platform::readWholeFile("station_identity.txt").value_or("").rfind("shop 台北一店\n", 0), 0u);
  examine();
  const double leftArch = leftArchInput->value();
  const std::string leftType = leftFootTypeOutput->value();
  ASSERT_GT(leftArch, 0);
  ASSERT_FALSE(leftType.empty());

  openHistory();
  EXPECT_STREQ(historyStatus->label(), "1 次檢查");
  const std::string visit = line(historyVisitList, 1);
  char arch[32];
  std::snprintf(arch, sizeof arch, "足弓 %.2f %s", leftArch, leftType.c_str());
  EXPECT_NE(visit.find(" 左 243/94mm " + std::string(arch)), std::string::npos) << visit;
  EXPECT_NE(visit.find(" 右 245/95mm "), std::string::npos) << visit;
  EXPECT_NE(visit.find("  台北一店"), std::string::npos) << visit;
  EXPECT_EQ(visit.find("檔案"), std::string::npos) << "every file is intact: " << visit;
  // Figures of the export and of the save in the one record, and its picture.
  std::snprintf(arch, sizeof arch, "%.2f", leftArch);
  EXPECT_EQ(lineStarting(historyDifferenceList, "@.足弓指標 左"),
            "@.足弓指標 左\t@." + std::string(arch) + "\t@." + arch + "\t@.0.00");
  EXPECT_NE(lineStarting(historyDifferenceList, "@.足長 左\t@.243 mm"), "");
  EXPECT_NE(lineStarting(historyDifferenceList, "@.左下 左\t@."), "") << "the six zones";
  EXPECT_EQ(lineStarting(historyDifferenceList, "@.平衡圖\t"), "@.平衡圖\t@.完好\t@.完好\t@.");
  EXPECT_NE(historyPictureBoxes[1]->image(), nullptr) << "the pressure picture of the record";

  // The record stays open until the next customer: only then may the centre take it.
  std::string error;
  auto reader = report::ExaminationReader::open(".", error);
  ASSERT_TRUE(reader) << error;
  std::vector<report::ExaminationRecord> records;
  ASSERT_TRUE(reader->findCustomer(kId, kPhone, records, error));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(records[0].open);
  EXPECT_EQ(records[0].customer.id, kId);
  EXPECT_EQ(records[0].customer.phone, kPhone);
  EXPECT_EQ(records[0].shop, "台北一店");
  takePictureButton->do_callback();  // back to live: the next customer
  ASSERT_TRUE(reader->findCustomer(kId, kPhone, records, error));
  EXPECT_FALSE(records[0].open);
}

TEST_F(StationStore, HistoryButtonsExportAndEraseTheCustomerAndTheLogSaysHowMuch) {
  idInput->value(kId);
  phoneInput->value("");
  openHistory();
  ASSERT_TRUE(historyExportButton->active());
  size_t before = messages().size();
  historyExportButton->do_callback();
  ASSERT_TRUE(pumpUntil([&] { return messages().size() > before; }, 10));
  EXPECT_NE(messages().find("客戶資料|已匯出 1 筆檢查記錄與 ", before), std::string::npos)
      << messages();
  ASSERT_EQ(filesIn("CUSTOMER_EXPORT"), 1);
  const fs::path exported = fs::directory_iterator("CUSTOMER_EXPORT")->path();
  EXPECT_NE(platform::readWholeFile((exported / "records.json").string()).value_or("").find(kId),
            std::string::npos);

  historyEraseButton->do_callback();
  ASSERT_TRUE(pumpUntil([] { return erasureWindow != nullptr && erasureWindow->shown(); }, 10));
  const std::string plan = line(erasureList, 1);
  EXPECT_EQ(plan.rfind("@.將刪除 1 筆檢查記錄、1 列表格資料、", 0), 0u) << plan;
  EXPECT_NE(lineStarting(erasureList, "@.Database_2080.csv 第 2 行"), "");
  if (const char* keep = std::getenv("ERASURE_SHOT")) {
    pump(1.0);
    std::system(("import -window root '" + std::string(keep) + "'").c_str());
  }
  before = messages().size();
  erasureConfirmButton->do_callback();
  ASSERT_TRUE(pumpUntil([&] { return messages().size() > before; }, 10));
  EXPECT_NE(messages().find("客戶資料|已刪除 1 筆檢查記錄、1 列表格資料、", before),
            std::string::npos)
      << messages();
  EXPECT_EQ(filesIn("PDF_INSOLES") + filesIn("FOOT_PRESSURE") + filesIn("PressureImage"), 0);
  // The log says when and how much, and nothing of who.
  const std::string log = platform::readWholeFile("erasure_log.txt").value_or("");
  EXPECT_NE(log.find(" erased 1 records, 1 table rows, "), std::string::npos) << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
  EXPECT_EQ(log.find("C-77"), std::string::npos);
  EXPECT_EQ(log.find(kPhone), std::string::npos);
  // The window looks the customer up again and finds nothing.
  ASSERT_TRUE(pumpUntil([] { return line(historyVisitList, 1) != "搜尋中…"; }, 10));
  EXPECT_EQ(line(historyVisitList, 1), "找不到這位客戶的檢測記錄");
}

// Every file of the working directory with its bytes, but the message log the test reads.
std::map<std::string, std::string> snapshot() {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(".")) {
    if (entry.is_regular_file() && entry.path().filename() != "messages.log")
      files[entry.path().string()] = platform::readWholeFile(entry.path().string()).value_or("");
  }
  return files;
}

TEST_F(StationStore, OnAFullDiskNothingChangesAndTheOperatorIsToldTheRecordIsNotKept) {
  pump(1.0);
  const auto before = snapshot();
  platform::failWritesForTesting(ENOSPC);
  examine(false);
  pump(0.5);
  const auto after = snapshot();
  platform::failWritesForTesting(0);
  for (const auto& [path, bytes] : after) {
    const auto found = before.find(path);
    EXPECT_TRUE(found != before.end() && found->second == bytes) << path << " changed";
  }
  EXPECT_EQ(after.size(), before.size());
  EXPECT_NE(messages().find("檢查記錄|檢查記錄未能存入 examinations.sqlite：the examination "
                            "store was not written: No space left on device"),
            std::string::npos)
      << messages();
}

}  // namespace
