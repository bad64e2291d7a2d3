// A customer's data given out and erased: the erased customer's rows leave both tables and
// every other row stays byte for byte (the tables then equal those of a station that never saw
// the customer), their files go, other customers' stay, and the log says how much, not who.
#include "../gait_results_fixture.h"
#include "pedalyx/report/csv_table.h"
#include "pedalyx/report/customer_data_export.h"
#include "pedalyx/report/customer_erasure.h"
#include "pedalyx/report/database_rows.h"
#include "pedalyx/report/examination_reader.h"
#include "pedalyx/report/gait_parts.h"
#include "pedalyx/report/gait_store.h"
#include "store_fixture.h"

namespace report {
namespace {

constexpr int64_t kFirst = 1780000000;

struct Customer {
  std::string id, phone;
};

class Erasure : public StoreFolder {
 protected:
  void SetUp() override {
    StoreFolder::SetUp();
    char pattern[] = "/tmp/examination-reference-XXXXXX";
    reference = mkdtemp(pattern);
  }
  void TearDown() override {
    std::filesystem::remove_all(reference);
    StoreFolder::TearDown();
  }

  // A walking recording whose second contact the operator then dropped: its rows are rewritten
  // in place, and the record links the rows as they are now.
  void walk(ExaminationSession* session, const std::string& station, const Customer& c,
            int64_t when) {
    GaitResults results = twoContacts();
    results.contacts[1].dropped = false;
    const unsigned char colours[768] = {};
    const std::string name = gaitRecordName(c.id, platform::localTime(when + 180));
    const GaitSaveOutcome saved = saveGaitRecording(station, name, c.id, results, colours);
    if (session) session->add(partOfWalking(name, c.id, results, {}, saved, station), when);
    results.contacts[1].dropped = true;
    results.summary = summariseGait(results.contacts, results.figures);
    const GaitSaveOutcome corrected =
        rewriteGaitRecording(station, name, c.id, results, saved.rows);
    if (session) session->add(partOfWalking(name, c.id, results, {}, corrected, station), when);
  }

  // One visit as the station writes it: export, save with bitmaps, an eyes-open recording and
  // a walking recording.
  // `alsoInReference` writes the same rows into the reference station as well.
  void visit(ExaminationSession& session, const Customer& c, int64_t when, bool alsoInReference) {
    const std::string name = writeReportFiles(c.phone, platform::localTime(when), 20);
    session.add(partOfExport(exportFiguresOf(c.phone, name, 1)), when);
    const MeasurementRecord m = measurementOf(c.id, when % 5);
    std::vector<unsigned char> balance(kPictureWidth * kPictureHeight * 3, when % 251);
    const BalancePictures pictures{balance.data(), balance.data(), balance.data()};
    const uint32_t stamp = saveStamp(when + 60);
    session.add(partOfSave(m, stamp, saveMeasurement(folder, m, pictures, stamp), folder), when);
    const std::string sway = swayRecordName(c.id, platform::localTime(when + 120));
    const SwayRecording open = swayRecordingOf(SwayCondition::EyesOpen, 1 + when % 3, 31);
    const SwaySaveOutcome out =
        saveSwayRecording(folder, sway, c.id, SwayCondition::EyesOpen, open, open);
    session.add(partOfSway(sway, c.id, SwayCondition::EyesOpen, open, open, out, folder), when);
    walk(&session, folder, c, when);
    ExaminationRecord record;
    ASSERT_TRUE(writing->read(session.openRecordId(), record));
    EXPECT_EQ(record.rows.size(), 1u + 1u + 2u) << "the rows of a corrected recording, once";
    session.nextCustomer();
    if (alsoInReference) {
      saveMeasurement(reference, m, {}, stamp);
      saveSwayRecording(reference, sway, c.id, SwayCondition::EyesOpen, open, open);
      walk(nullptr, reference, c, when);
    }
  }
  // A row saved while the store could not be written: no record holds it.
  void rowWithoutRecord(const std::string& id, int64_t when, bool alsoInReference) {
    saveMeasurement(folder, measurementOf(id, 3), {}, saveStamp(when));
    if (alsoInReference) saveMeasurement(reference, measurementOf(id, 3), {}, saveStamp(when));
  }
  std::string table(const std::string& station, const std::string& name) {
    return platform::readWholeFile(platform::joinPath(station, name)).value_or("missing");
  }

  std::string reference;
  ExaminationStore* writing = nullptr;  // the store the session writes
};

TEST_F(Erasure, TheCustomerLeavesEveryTableAndFolderAndNoOtherRowChanges) {
  auto store = openStore();
  ASSERT_TRUE(store);
  ExaminationSession session(store.get(), "", {"shop", "station"});
  writing = store.get();
  const Customer a{"A123", "0987"}, b{"B,\"456\"", "0911"};
  visit(session, a, kFirst, false);
  visit(session, b, kFirst + 600, true);
  rowWithoutRecord("A123", kFirst + 900, false);
  // Two customers whose IDs Big5 cannot hold: both rows read "?1".
  rowWithoutRecord("😀1", kFirst + 1000, true);
  rowWithoutRecord("🦶1", kFirst + 1100, true);
  visit(session, a, kFirst + 86400, false);
  visit(session, b, kFirst + 86400 + 600, true);

  ErasurePlan plan;
  std::string error;
  ASSERT_TRUE(planErasure(*store, a.id, a.phone, plan, error)) << error;
  EXPECT_EQ(plan.recordIds.size(), 2u);
  // Two saves, the row without record, two sway recordings, two walking recordings of two.
  EXPECT_EQ(plan.rowCount(), 2 + 1 + 2 + 4);
  EXPECT_EQ(plan.files.size(), 2u * (2 + 3 + 1 + 4));
  EXPECT_NE(describeErasurePlan(plan).find("將刪除 2 筆檢查記錄、9 列表格資料、20 個檔案"),
            std::string::npos)
      << describeErasurePlan(plan);
  ErasurePlan lost;
  ASSERT_TRUE(planErasure(*store, "😀1", "", lost, error));
  EXPECT_EQ(lost.rowCount(), 0) << "a row another customer's ID may have made is not theirs";
  EXPECT_EQ(lost.undecidedRows, 2);

  const ErasureResult result = eraseCustomer(*store, plan);
  ASSERT_TRUE(result.done) << result.error;
  EXPECT_EQ(result.rows, 9);
  EXPECT_EQ(result.files, 20);
  EXPECT_EQ(table(folder, kDatabaseFile), table(reference, kDatabaseFile));
  EXPECT_EQ(table(folder, kSwayTableName), table(reference, kSwayTableName));
  EXPECT_EQ(table(folder, kGaitTableName), table(reference, kGaitTableName));
  for (const std::string& file : plan.files)
    EXPECT_FALSE(platform::fileExists(platform::joinPath(folder, file))) << file;

  std::vector<ExaminationRecord> left;
  auto reader = ExaminationReader::open(folder, error);
  ASSERT_TRUE(reader && reader->findCustomer(a.id, a.phone, left, error));
  EXPECT_TRUE(left.empty());
  ASSERT_TRUE(reader->findCustomer(b.id, b.phone, left, error));
  ASSERT_EQ(left.size(), 2u);
  checkFiles(folder, left);
  for (const ExaminationRecord& r : left) {
    for (const ExaminationFile& f : r.files) EXPECT_EQ(f.state, FileState::kIntact) << f.path;
  }
  EXPECT_EQ(store->pendingErasures().size(), 2u);
  const std::string log = table(folder, kErasureLogFile);
  EXPECT_NE(log.find("erased 2 records, 9 table rows, 20 files\n"), std::string::npos) << log;
  EXPECT_EQ(log.find(a.id), std::string::npos);
  EXPECT_EQ(log.find(a.phone), std::string::npos);

  // The other customer's data handed out: JSON, CSV and copies of every file.
  const CustomerDataExport out = exportCustomerData(*store, b.id, b.phone, folder, kFirst);
  ASSERT_TRUE(out.written) << out.error;
  EXPECT_EQ(out.records, 2);
  EXPECT_EQ(out.files, 20);
  SqlStatement* json =
      store->connection().statement("SELECT json_valid(?1), json_array_length(?1)");
  ASSERT_TRUE(json->bind(1, table(out.folder, "records.json")).step());
  EXPECT_EQ(json->integer(0), 1);
  EXPECT_EQ(json->integer(1), 2);
  json->reset();
  EXPECT_NE(table(out.folder, "records.csv").find("\"B,\"\"456\"\"\""), std::string::npos);
  for (const ExaminationFile& f : left[0].files)
    EXPECT_EQ(table(out.folder, "files/" + f.path), table(folder, f.path)) << f.path;
}

TEST_F(Erasure, AStoreNamingFilesOutsideTheFolderNeitherReadsNorDeletesThem) {
  auto store = openStore();
  ASSERT_TRUE(store);
  const std::string outside = folder + "-victim.txt";
  ASSERT_TRUE(platform::writeFileAtomic(outside, "not the station's"));
  ExaminationRecord crafted;
  crafted.customer.id = "A123";
  for (const std::string& path : {"../" + std::filesystem::path(outside).filename().string(),
                                  outside, std::string("PDF_INSOLES/../../x")}) {
    ExaminationFile file = fileToKeep(path, "report_pdf");
    file.sha256 = "0";
    crafted.files.push_back(file);
  }
  std::vector<ExaminationRecord> records{crafted};
  std::string error;
  ASSERT_TRUE(store->createAll(records, error)) << error;
  ErasurePlan plan;
  ASSERT_TRUE(planErasure(*store, "A123", "", plan, error));
  EXPECT_TRUE(plan.files.empty());
  EXPECT_TRUE(eraseCustomer(*store, plan).done);
  EXPECT_TRUE(platform::fileExists(outside));
  checkFiles(folder, records);
  for (const ExaminationFile& f : records[0].files) EXPECT_EQ(f.state, FileState::kMissing);
  std::filesystem::remove(outside);
}

TEST(CsvTable, RowsOfAWindowsFileLeaveWithTheirLineEndAndNothingElse) {
  const std::string database = "H,\r\n1,a,\r\n2,\"b\r\nc\",\r\n3,d,";
  const std::string sway = "H\r\n1,a\r\n2,b\r\n3,c\r\n";
  int removed = 0;
  EXPECT_EQ(tableWithout(database, RowLayout::kLineFeedFirst, {rowChecksum("3,d,")}, removed),
            "H,\r\n1,a,\r\n2,\"b\r\nc\",");
  EXPECT_EQ(tableWithout(database, RowLayout::kLineFeedFirst, {rowChecksum("1,a,")}, removed),
            "H,\r\n2,\"b\r\nc\",\r\n3,d,");
  EXPECT_EQ(tableWithout(sway, RowLayout::kLineFeedLast, {rowChecksum("2,b")}, removed),
            "H\r\n1,a\r\n3,c\r\n");
  EXPECT_EQ(removed, 1);
}

}  // namespace
}  // namespace report
