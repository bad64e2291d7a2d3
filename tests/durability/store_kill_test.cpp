// The examination store shown durable, not claimed: the examination writes (export, then the
// "Save" row, then the store) are killed with SIGKILL at random moments. After every kill the
// store opens cleanly, every record is whole (one round's figures, all of them), every row a
// record names is in "Database_2080.csv", and the only row or record without its partner is
// the one being written when the kill came: the newest.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "pedalyx/report/csv_table.h"
#include "pedalyx/report/database_rows.h"
#include "pedalyx/report/examination_reader.h"
#include "pedalyx/report/examination_store.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace report {
namespace {

// What one look after a kill found.
struct Findings {
  std::map<std::string, std::string> rowsWithoutRecord;  // checksum: the row's ID
  std::map<std::string, std::string> recordsWithoutRow;  // UUID: the customer's ID
  std::string lastRow, newestRecord;
  int records = 0;
};

class StoreDurability : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/store-durability-XXXXXX";
    folder_ = mkdtemp(pattern);
  }
  void TearDown() override { fs::remove_all(folder_); }

  Findings look() {
    Findings found;
    std::string error;
    auto store = ExaminationStore::open(folder_, error);
    EXPECT_TRUE(store) << error;
    if (!store) return found;
    SqlConnection& sql = store->connection();
    EXPECT_EQ(sql.queryText("PRAGMA integrity_check").value_or(""), "ok");
    EXPECT_FALSE(sql.queryText("PRAGMA foreign_key_check").has_value()) << "an orphaned row";

    std::set<std::string> linked;
    SqlStatement* ids = sql.statement("SELECT record_id FROM examinations ORDER BY rowid");
    std::vector<std::string> recordIds;
    while (ids->step()) recordIds.push_back(ids->text(0));
    for (const std::string& id : recordIds) {
      ExaminationRecord record;
      EXPECT_TRUE(store->read(id, record));
      expectWhole(record);
      for (const TableRowLink& row : record.rows) linked.insert(row.sha256);
      if (record.rows.empty()) found.recordsWithoutRow[id] = record.customer.id;
    }
    found.records = static_cast<int>(recordIds.size());
    if (!recordIds.empty()) found.newestRecord = recordIds.back();

    const std::string table =
        platform::readWholeFile(platform::joinPath(folder_, kDatabaseFile)).value_or("");
    for (const DatabaseRow& row : readDatabaseRows(table)) EXPECT_TRUE(row.readable) << row.text;
    std::set<std::string> inTable;
    for (const TableRow& row : splitTable(table, RowLayout::kLineFeedFirst).rows) {
      const std::string content = rowContent(table, row, RowLayout::kLineFeedFirst);
      found.lastRow = rowChecksum(content);
      inTable.insert(found.lastRow);
      const auto fields = splitFields(content);
      if (linked.count(found.lastRow) == 0)
        found.rowsWithoutRecord[found.lastRow] = fields && fields->size() > 1 ? (*fields)[1] : "";
    }
    for (const std::string& row : linked)
      EXPECT_EQ(inTable.count(row), 1u) << "a record names a row the table does not hold";
    return found;
  }

  // One round's record: the export's figures, and the save's with its row and bitmaps, or
  // the export's alone; every number the round's.
  void expectWhole(const ExaminationRecord& record) {
    const std::string prefix = "customer ";
    ASSERT_EQ(record.customer.id.rfind(prefix, 0), 0u) << record.customer.id;
    const double k = std::atof(record.customer.id.c_str() + prefix.size());
    const bool saved = !record.rows.empty();
    EXPECT_EQ(record.figures.size(), saved ? kExportFigures + kSaveFigures : kExportFigures)
        << record.customer.id;
    EXPECT_EQ(record.files.size(), saved ? 3u : 0u) << record.customer.id;
    EXPECT_EQ(record.rows.size(), saved ? 1u : 0u);
    for (const ExaminationFigure& f : record.figures) {
      if (f.value && f.group != "cases" && f.name != "left_share") {
        EXPECT_EQ(*f.value, k) << f.group << " " << f.name;
      }
    }
  }

  // The figures the loop's export and save make (sizes, arch, shares, zones, levels; balance,
  // analysis, cases).
  static constexpr size_t kExportFigures = 2 * (2 + 2 + 3 + 6) + 15;
  static constexpr size_t kSaveFigures = 3 + 6 + 1 + 2 * (4 + 6) + 18;

  std::string folder_;
};

TEST_F(StoreDurability, KilledAtRandomMomentsTheStoreAndTheTableStayInStep) {
  const int kills = std::getenv("PEDALYX_KILLS") ? std::atoi(std::getenv("PEDALYX_KILLS")) : 200;
  std::mt19937 random(20261208);
  // Milliseconds after the writing began; one round takes about 10 to 40.
  std::uniform_int_distribution<int> moment(0, 120);
  Findings before;
  int betweenRowAndStore = 0, beforeSave = 0;
  for (int kill = 0; kill < kills; ++kill) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
      dup2(ready[1], STDOUT_FILENO);
      execl(TOOLS_DIR "/store_loop", "store_loop", folder_.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    ASSERT_GT(child, 0);
    close(ready[1]);
    char line[8];
    ASSERT_GT(read(ready[0], line, sizeof line), 0) << "the store loop did not start";
    close(ready[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the store loop ended by itself, status " << status;

    const Findings now = look();
    if (HasFailure()) return;
    // At most one new row without its record, and it is the last row of the table; at most
    // one new record without its row, the newest; when both, they are the same customer's
    // (killed while the save completed the record).
    std::vector<std::string> newRows, newRecords;
    for (const auto& [row, id] : now.rowsWithoutRecord) {
      if (before.rowsWithoutRecord.count(row) != 0) continue;
      newRows.push_back(id);
      EXPECT_EQ(row, now.lastRow) << "kill " << kill << ": an older row lost its record";
    }
    for (const auto& [record, id] : now.recordsWithoutRow) {
      if (before.recordsWithoutRow.count(record) != 0) continue;
      newRecords.push_back(id);
      EXPECT_EQ(record, now.newestRecord) << "kill " << kill << ": an older record lost its row";
    }
    EXPECT_LE(newRows.size(), 1u) << "kill " << kill;
    EXPECT_LE(newRecords.size(), 1u) << "kill " << kill;
    if (newRows.size() == 1 && newRecords.size() == 1) {
      EXPECT_EQ(newRows[0], newRecords[0]);
    }
    betweenRowAndStore += static_cast<int>(newRows.size());
    if (newRows.empty()) beforeSave += static_cast<int>(newRecords.size());
    before = now;
    if (HasFailure()) return;
  }
  EXPECT_GT(before.records, kills) << "the loop wrote too little to be killed while writing";
  EXPECT_GT(betweenRowAndStore, 0) << "no kill landed between a row and its record";
  std::printf(
      "%d kills, %d records; %d kills between a row and its record, %d between the "
      "export and the save\n",
      kills, before.records, betweenRowAndStore, beforeSave);
}

}  // namespace
}  // namespace report
