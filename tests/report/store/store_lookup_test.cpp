// The history's look-up: by the ID or phone exactly as typed, newest first, with each file's
// state, from a reader of its own while the station writes; hostile texts stored exactly.
#include <atomic>
#include <thread>

#include "pedalyx/report/examination_reader.h"
#include "platform/text_encoding.h"
#include "store_fixture.h"

namespace report {
namespace {

ExaminationRecord recordOf(const std::string& id, const std::string& phone, int64_t when) {
  ExaminationRecord record;
  record.customer.id = id;
  record.customer.phone = phone;
  record.takenAt = when;
  record.figures.push_back(
      {"size", "length", "left", static_cast<double>(when % 1000), "", "mm", ""});
  return record;
}

std::vector<int64_t> timesOf(const std::vector<ExaminationRecord>& records) {
  std::vector<int64_t> times;
  for (const ExaminationRecord& r : records) times.push_back(r.takenAt);
  return times;
}

TEST_F(StoreFolder, ACustomerIsFoundByTheExactIdOrPhoneNewestFirst) {
  auto store = openStore();
  ASSERT_TRUE(store);
  // Two IDs that the Big5 database stores alike ("??"), and the phone typed as ID.
  const std::string emoji = "😀😀", questions = "??";
  ASSERT_EQ(platform::utf8ToBig5(emoji), platform::utf8ToBig5(questions));
  for (const ExaminationRecord& r :
       {recordOf(emoji, "", 1000), recordOf(questions, "", 2000), recordOf(emoji, "0987", 3000),
        recordOf("", "0987", 4000), recordOf("0987", "", 5000), recordOf("", "", 6000)}) {
    ASSERT_TRUE(store->create(r).written);
  }
  std::string error;
  auto reader = ExaminationReader::open(folder, error);
  ASSERT_TRUE(reader) << error;
  std::vector<ExaminationRecord> found;
  ASSERT_TRUE(reader->findCustomer(emoji, "", found, error)) << error;
  EXPECT_EQ(timesOf(found), (std::vector<int64_t>{3000, 1000}));
  ASSERT_TRUE(reader->findCustomer(questions, "", found, error));
  EXPECT_EQ(timesOf(found), (std::vector<int64_t>{2000}));
  ASSERT_TRUE(reader->findCustomer("", "0987", found, error));
  EXPECT_EQ(timesOf(found), (std::vector<int64_t>{5000, 4000, 3000}));
  ASSERT_EQ(found[0].figures.size(), 1u);
  EXPECT_EQ(found[0].figures[0].value, 0);
  ASSERT_TRUE(reader->findCustomer("", "", found, error));
  EXPECT_TRUE(found.empty()) << "records without an ID or phone belong to nobody";
}

TEST_F(StoreFolder, FilesAreShownIntactMissingOrChanged) {
  auto store = openStore();
  ASSERT_TRUE(store);
  const std::string name = writeReportFiles("0987", {2026, 12, 7, 9, 5, 0}, 30);
  const StoreWrite write =
      store->create(recordOfPart(partOfExport(exportFiguresOf("0987", name, 0))));
  ASSERT_TRUE(write.written && write.missingFiles.empty()) << write.error;
  writeReportFiles("0987", {2026, 12, 7, 9, 5, 0}, 31);  // the same PDF, another picture
  std::string error;
  auto reader = ExaminationReader::open(folder, error);
  std::vector<ExaminationRecord> found;
  ASSERT_TRUE(reader && reader->findCustomer("", "0987", found, error));
  ASSERT_EQ(found.size(), 1u);
  auto states = [&] {
    checkFiles(folder, found);
    std::map<std::string, FileState> byRole;
    for (const ExaminationFile& f : found[0].files) byRole[f.role] = f.state;
    return byRole;
  };
  EXPECT_EQ(states()["report_pdf"], FileState::kIntact);
  EXPECT_EQ(states()["pressure_png"], FileState::kChanged);
  std::filesystem::remove(platform::joinPath(folder, pngPath(name)));
  EXPECT_EQ(states()["pressure_png"], FileState::kMissing);
}

TEST_F(StoreFolder, TheReaderLooksUpOnItsOwnThreadWhileTheStationWrites) {
  auto store = openStore();
  ASSERT_TRUE(store);
  ASSERT_TRUE(store->create(recordOf("A123", "", 1)).written);
  std::atomic<bool> writing{true};
  std::atomic<int> lookups{0}, failures{0};
  std::thread history([&] {
    std::string error;
    auto reader = ExaminationReader::open(folder, error);
    std::vector<ExaminationRecord> found;
    while (reader && writing) {
      if (!reader->findCustomer("A123", "", found, error) || found.empty()) ++failures;
      ++lookups;
    }
    if (!reader) ++failures;
  });
  for (int k = 2; k < 60; ++k) EXPECT_TRUE(store->create(recordOf("A123", "", k)).written);
  writing = false;
  history.join();
  EXPECT_EQ(failures, 0);
  EXPECT_GT(lookups, 0);
}

TEST_F(StoreFolder, HostileTextsAreStoredAndFoundExactly) {
  auto store = openStore();
  ASSERT_TRUE(store);
  const std::vector<std::string> texts = {
      "O'Brien \"Bob\"; DROP TABLE examinations; --",
      "line one\nline two\r\nthree,four",
      std::string(10000, 'x') + "尾",
      "👣 足底 🦶 简体 ��",
      std::string("nul\0inside", 10),
  };
  for (const std::string& text : texts) {
    ExaminationRecord record = recordOf(text, text, 1);
    record.shop = text;
    record.customer.email = text;
    record.figures.push_back({"report", "remarks", "", std::nullopt, text, "", "typed"});
    const StoreWrite write = store->create(record);
    ASSERT_TRUE(write.written) << write.error;
    std::string error;
    auto reader = ExaminationReader::open(folder, error);
    std::vector<ExaminationRecord> found;
    ASSERT_TRUE(reader && reader->findCustomer(text, "", found, error)) << error;
    ASSERT_EQ(found.size(), 1u) << text.substr(0, 40);
    EXPECT_EQ(found[0].customer.id, text);
    EXPECT_EQ(found[0].customer.phone, text);
    EXPECT_EQ(found[0].shop, text);
    EXPECT_EQ(found[0].customer.email, text);
    ASSERT_NE(findFigure(found[0], "report", "remarks"), nullptr);
    EXPECT_EQ(findFigure(found[0], "report", "remarks")->text, text);
  }
  EXPECT_EQ(store->connection().queryText("SELECT count(*) FROM examinations").value_or(""), "5");
}

}  // namespace
}  // namespace report
