// One examination through the session as the station makes it (export, "Save", sway eyes open,
// eyes closed, eyes open again): one record, read back with every figure exactly, its files
// with their checksums, its CSV rows; what the outbox offers; a store that cannot be written.
#include <set>

#include "pedalyx/report/csv_table.h"
#include "pedalyx/report/database_rows.h"
#include "platform/sha256.h"
#include "store_fixture.h"

namespace report {
namespace {

using FigureKey = std::tuple<std::string, std::string, std::string>;

std::map<FigureKey, ExaminationFigure> byKey(const std::vector<ExaminationFigure>& figures) {
  std::map<FigureKey, ExaminationFigure> map;
  for (const ExaminationFigure& f : figures) map[{f.group, f.name, f.side}] = f;
  return map;
}

// Every figure of the part is in the record with the same value, text, unit and origin.
void expectFiguresKept(const ExaminationPart& part, const ExaminationRecord& record) {
  const auto stored = byKey(record.figures);
  for (const auto& [key, figure] : byKey(part.figures)) {
    const auto found = stored.find(key);
    ASSERT_NE(found, stored.end()) << std::get<0>(key) << "/" << std::get<1>(key);
    EXPECT_EQ(found->second.value, figure.value) << std::get<1>(key);
    EXPECT_EQ(found->second.text, figure.text) << std::get<1>(key);
    EXPECT_EQ(found->second.unit, figure.unit) << std::get<1>(key);
    EXPECT_EQ(found->second.origin, figure.origin) << std::get<1>(key);
  }
}

TEST_F(StoreFolder, OneExaminationIsOneRecordWithEveryFigureFileAndRow) {
  auto store = openStore();
  ASSERT_TRUE(store);
  ExaminationSession session(store.get(), "", {"台北一店", "station 2"});
  const int64_t now = 1780000000;

  const std::string name = writeReportFiles("0987", platform::localTime(now), 40);
  const ExaminationPart exported = partOfExport(exportFiguresOf("0987", name, 0.5));
  // The insole tool writes its bitmap after the export: the next part takes it.
  ASSERT_TRUE(platform::writeFileAtomic(
      platform::joinPath(folder, "PDF_INSOLES/" + name + "_iLeft.bmp"), "BM"));
  const StoreWrite first = session.add(exported, now);
  ASSERT_TRUE(first.written) << first.error;

  const MeasurementRecord measurement = measurementOf("A123", 0.25);
  const uint32_t stamp = saveStamp(now + 60);
  std::vector<unsigned char> balance(kPictureWidth * kPictureHeight * 3, 9);
  const SaveOutcome saved =
      saveMeasurement(folder, measurement, {balance.data(), balance.data(), balance.data()}, stamp);
  ASSERT_EQ(saved.writtenBitmaps.size(), 3u);
  const ExaminationPart save = partOfSave(measurement, stamp, saved, folder);
  EXPECT_EQ(session.add(save, now + 60).recordId, first.recordId);

  const std::string swayName = swayRecordName("A123", platform::localTime(now + 120));
  const SwayRecording open = swayRecordingOf(SwayCondition::EyesOpen, 1, 40);
  const SwayRecording closed = swayRecordingOf(SwayCondition::EyesClosed, 3, 31);
  std::vector<ExaminationPart> sways;
  for (const auto& [condition, recording] :
       {std::pair{SwayCondition::EyesOpen, swayRecordingOf(SwayCondition::EyesOpen, 5, 60)},
        std::pair{SwayCondition::EyesClosed, closed}, std::pair{SwayCondition::EyesOpen, open}}) {
    const SwaySaveOutcome out =
        saveSwayRecording(folder, swayName, "A123", condition, recording, open);
    sways.push_back(partOfSway(swayName, "A123", condition, recording, open, out, folder));
    EXPECT_EQ(session.add(sways.back(), now + 120).recordId, first.recordId);
  }

  ExaminationRecord record;
  ASSERT_TRUE(store->read(first.recordId, record));
  EXPECT_EQ(record.shop, "台北一店");
  EXPECT_EQ(record.customer.phone, "0987");  // from the export
  EXPECT_EQ(record.customer.id, "A123");     // from the save
  EXPECT_EQ(record.customer.weight, measurement.weight);
  EXPECT_EQ(record.reportName, name);
  EXPECT_EQ(record.revision, 5);
  expectFiguresKept(exported, record);
  expectFiguresKept(save, record);
  expectFiguresKept(sways[1], record);
  // Eyes open was recorded again: the first recording's figures are gone, not mixed in.
  expectFiguresKept(sways[2], record);
  size_t figureCount = 0;
  std::set<FigureKey> keys;
  for (const ExaminationPart* part :
       std::vector<const ExaminationPart*>{&exported, &save, &sways[1], &sways[2]})
    for (const ExaminationFigure& f : part->figures) keys.insert({f.group, f.name, f.side});
  figureCount = keys.size();
  EXPECT_EQ(record.figures.size(), figureCount);
  ASSERT_NE(findFigure(record, "sway_romberg", "path_length", "both"), nullptr);
  ASSERT_NE(findFigure(record, "pressure", "forefoot_right_peak", "left"), nullptr);
  EXPECT_EQ(findFigure(record, "pressure", "heel_left_peak", "right"), nullptr);

  // Files: PDF, PNG, three bitmaps, the insole bitmap, one trace per condition; each checksum
  // is the file's.
  EXPECT_EQ(record.files.size(), 8u);
  for (const ExaminationFile& file : record.files) {
    const auto checksum = platform::sha256OfFile(platform::joinPath(folder, file.path));
    ASSERT_TRUE(checksum) << file.path;
    EXPECT_EQ(file.sha256, checksum->sha256) << file.path;
  }
  // Rows: the database row and three sway rows, each the checksum of a row in its file.
  ASSERT_EQ(record.rows.size(), 4u);
  std::set<std::string> fileRows;
  for (const auto& [table, layout] : {std::pair{kDatabaseFile, RowLayout::kLineFeedFirst},
                                      std::pair{kSwayTableName, RowLayout::kLineFeedLast}}) {
    const std::string bytes = *platform::readWholeFile(platform::joinPath(folder, table));
    for (const TableRow& row : splitTable(bytes, layout).rows)
      fileRows.insert(rowChecksum(rowContent(bytes, row, layout)));
  }
  for (const TableRowLink& row : record.rows) EXPECT_EQ(fileRows.count(row.sha256), 1u) << row.key;

  // The JSON document holds the same, as SQLite's own JSON reader sees it.
  const std::string json = store->recordJson(first.recordId);
  SqlStatement* check = store->connection().statement(
      "SELECT json_valid(?1), json_extract(?1, '$.customer.id'), json_array_length(?1, "
      "'$.figures')");
  ASSERT_TRUE(check && check->bind(1, json).step());
  EXPECT_EQ(check->integer(0), 1);
  EXPECT_EQ(check->text(1), "A123");
  EXPECT_EQ(check->integer(2), static_cast<int64_t>(figureCount));
  check->reset();

  // Another customer's ID opens a record of its own.
  ExaminationPart other = save;
  other.customer.id = "B456";
  EXPECT_NE(session.add(other, now + 300).recordId, first.recordId);
}

// The central database keeps the first version it receives, so the outbox offers a record only
// once it is closed: by the next customer, by a part of another customer, by the visit's hour
// passing, or at the next start for what an ended run left open. A closed record takes no part.
TEST_F(StoreFolder, OnlyClosedRecordsReachTheOutboxAndAClosedRecordNeverChanges) {
  auto store = openStore();
  ASSERT_TRUE(store);
  ExaminationSession session(store.get(), "", {"shop", "station"});
  const int64_t now = 1780000000;
  const ExaminationPart a = partOfExport(exportFiguresOf("0911", "", 1));
  const StoreWrite first = session.add(a, now);
  ASSERT_TRUE(first.written) << first.error;
  EXPECT_TRUE(store->pendingRecords(10).empty()) << "an open record was offered";
  EXPECT_EQ(store->outboxCounts().open, 1);

  // Another customer's part closes the first record and opens the second.
  const StoreWrite second = session.add(partOfExport(exportFiguresOf("0922", "", 2)), now + 60);
  std::vector<OutboxItem> pending = store->pendingRecords(10);
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0].recordId, first.recordId);
  const StoreWrite late = store->complete(first.recordId, a);
  EXPECT_FALSE(late.written);
  EXPECT_TRUE(late.recordClosed);

  // The same customer after the visit's hour: the second is closed, a third opened.
  const StoreWrite third = session.add(partOfExport(exportFiguresOf("0922", "", 3)), now + 3700);
  EXPECT_NE(third.recordId, second.recordId);
  EXPECT_EQ(store->pendingRecords(10).size(), 2u);
  std::string error;
  EXPECT_EQ(store->closeOpenRecords(platform::epochSeconds() - 3600, error), 0)
      << "a record closed before its hour";
  // The next start closes what this run left open.
  EXPECT_EQ(store->closeOpenRecords(0, error), 1) << error;
  ExaminationRecord record;
  ASSERT_TRUE(store->read(third.recordId, record));
  EXPECT_FALSE(record.open);

  EXPECT_TRUE(store->markSent(first.recordId, 1, error)) << error;
  EXPECT_TRUE(store->markRefused(second.recordId, 1, "violates check \"x\"", error));
  pending = store->pendingRecords(10);
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0].recordId, third.recordId);
  ASSERT_TRUE(store->read(second.recordId, record));
  EXPECT_EQ(record.outbox, OutboxState::kRefused);
  EXPECT_EQ(record.outboxReason, "violates check \"x\"");
  const OutboxCounts counts = store->outboxCounts();
  EXPECT_EQ(counts.sent, 1);
  EXPECT_EQ(counts.refused, 1);
  EXPECT_EQ(counts.pending, 1);
  EXPECT_EQ(counts.open, 0);
}

TEST_F(StoreFolder, AStoreThatCannotBeWrittenLeavesTheRowWrittenAndTellsTheOperator) {
  auto store = openStore();
  ASSERT_TRUE(store);
  // Every write of the store fails, as on a read-only or broken disk.
  ASSERT_TRUE(store->connection().execute("PRAGMA query_only = ON"));
  ExaminationSession session(store.get(), "", {});
  const MeasurementRecord measurement = measurementOf("A123", 0);
  const SaveOutcome saved = saveMeasurement(folder, measurement, {}, 1780000000);
  const StoreWrite write = session.add(partOfSave(measurement, 1780000000, saved, folder), 0);
  EXPECT_TRUE(saved.rowWritten);
  EXPECT_FALSE(write.written);
  EXPECT_NE(describeStoreFailure(write).find("examinations.sqlite"), std::string::npos)
      << describeStoreFailure(write);
  const auto rows =
      readDatabaseRows(*platform::readWholeFile(platform::joinPath(folder, kDatabaseFile)));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].id, "A123");

  // Without a store at all the message names why it could not be opened.
  ExaminationSession without(nullptr, "disk full", {});
  EXPECT_NE(describeStoreFailure(without.add(partOfSave(measurement, 1, saved, folder), 0))
                .find("disk full"),
            std::string::npos);
}

}  // namespace
}  // namespace report
