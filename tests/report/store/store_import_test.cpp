// The old files of a station become records once: rows and reports joined as the history joins
// them, sway recordings with their visit, damaged rows listed with line and reason, and a
// second import adds nothing.
#include "pedalyx/imaging/colour_table.h"
#include "pedalyx/report/database_rows.h"
#include "pedalyx/report/examination_import.h"
#include "pedalyx/report/examination_reader.h"
#include "store_fixture.h"

namespace report {
namespace {

constexpr int64_t kDay = 24 * 3600;
constexpr int64_t kFirst = 1780000000;

class OldStation : public StoreFolder {
 protected:
  void save(const std::string& id, int64_t when, const BalancePictures& pictures = {}) {
    ASSERT_TRUE(
        saveMeasurement(folder, measurementOf(id, when % 7), pictures, saveStamp(when)).rowWritten);
  }
  void damage(const std::string& table, const std::string& bytes) {
    ASSERT_TRUE(platform::appendWhole(platform::joinPath(folder, table), bytes));
  }
  std::vector<ExaminationRecord> lookUp(const std::string& id, const std::string& phone) {
    std::string error;
    std::vector<ExaminationRecord> found;
    auto reader = ExaminationReader::open(folder, error);
    EXPECT_TRUE(reader && reader->findCustomer(id, phone, found, error)) << error;
    return found;
  }
};

TEST_F(OldStation, OldFilesBecomeRecordsOnceWithDamagedRowsListed) {
  std::vector<unsigned char> balance(kPictureWidth * kPictureHeight * 3, 5);
  save("0987", kFirst, {balance.data(), balance.data(), balance.data()});  // line 2
  const std::string visitReport = writeReportFiles("0987", platform::localTime(kFirst + 120), 50);
  const std::string swayName = swayRecordName("0987", platform::localTime(kFirst + 300));
  const SwayRecording open = swayRecordingOf(SwayCondition::EyesOpen, 2, 31);
  saveSwayRecording(folder, swayName, "0987", SwayCondition::EyesOpen, open, open);
  saveSwayRecording(folder, swayName, "0987", SwayCondition::EyesClosed, open, open);
  damage(kDatabaseFile, "\n1780007200,A123,");  // line 3: cut short
  // Two quotes that never close would pair up across the row between them.
  damage(kDatabaseFile, "\n1780007300,\"never closed,");  // line 4
  save("王,小明", kFirst + 10 * kDay);                    // line 5: quoted, still a row
  damage(kDatabaseFile, "\n1780007400,\"also open,");     // line 6
  save("", kFirst + 30 * kDay);                           // line 7: saved without an ID
  writeReportFiles("0911", platform::localTime(kFirst + 30 * kDay + 300), 60);
  save("A123", kFirst + 60 * kDay);                                       // line 8: no report
  writeReportFiles("0987", platform::localTime(kFirst + 90 * kDay), 70);  // no row
  damage(kSwayTableName, "0987_x,0987,\n");                               // line 4 of Sway.csv

  auto store = openStore();
  ASSERT_TRUE(store);
  unsigned char colours[kColourTableBytes];
  ASSERT_TRUE(loadColourTableFile(STATION_DIR "/lut_ancestor.txt", colours));
  const ImportReport first = importOnce(*store, {"", "s1"}, colours);
  ASSERT_TRUE(first.written) << first.error;
  EXPECT_EQ(first.records, 5);
  ASSERT_EQ(first.problems.size(), 4u) << describeImport(first);
  EXPECT_EQ(first.problems[0].line, 3);
  EXPECT_EQ(first.problems[0].reason, "expected 51 fields, found 2");
  EXPECT_EQ(first.problems[1].line, 4);
  EXPECT_EQ(first.problems[2].line, 6);
  EXPECT_EQ(first.problems[3].source, kSwayTableName);
  EXPECT_EQ(first.problems[3].line, 4);
  EXPECT_EQ(store->connection().queryText("SELECT count(*) FROM import_problems").value_or(""),
            "4");

  // The visit: its row, report files, bitmaps and both recordings in one record.
  const std::vector<ExaminationRecord> customer = lookUp("0987", "0987");
  ASSERT_EQ(customer.size(), 2u);
  EXPECT_EQ(customer[1].reportName, visitReport);
  EXPECT_EQ(customer[1].origin, "import");
  EXPECT_EQ(customer[1].rows.size(), 3u);
  EXPECT_EQ(customer[1].files.size(), 2u + 3u + 2u);  // PDF, PNG, bitmaps, traces
  ASSERT_NE(findFigure(customer[1], "analysis", "foot_length", "left"), nullptr);
  EXPECT_EQ(findFigure(customer[1], "analysis", "foot_length", "left")->value, 240 + kFirst % 7);
  EXPECT_NE(findFigure(customer[1], "shares", "half", "left"), nullptr) << "from the picture";
  EXPECT_NE(findFigure(customer[1], "sway_eyes_closed", "path_length", "both"), nullptr);
  EXPECT_TRUE(customer[0].rows.empty()) << "the later report had no row";
  // The row saved without an ID joined the report exported five minutes later.
  const std::vector<ExaminationRecord> withoutId = lookUp("", "0911");
  ASSERT_EQ(withoutId.size(), 1u);
  EXPECT_EQ(withoutId[0].rows.size(), 1u);
  EXPECT_EQ(lookUp("王,小明", "").size(), 1u);
  EXPECT_EQ(lookUp("A123", "").size(), 1u);

  const ImportReport again = importOldFiles(*store, {"", "s1"}, colours);
  EXPECT_TRUE(again.written);
  EXPECT_EQ(again.records, 0);
  EXPECT_EQ(again.alreadyHeld, 5);
  EXPECT_FALSE(importOnce(*store, {"", "s1"}, colours).ran);
  EXPECT_EQ(store->connection().queryText("SELECT count(*) FROM examinations").value_or(""), "5");
}

// The import runs while the station examines the next customer: what the station writes after
// its start comes in through its own parts, so the import taking it too would double the visit.
TEST_F(OldStation, WhatTheRunningStationWroteAfterItsStartIsLeftToItsOwnRecords) {
  save("0987", kFirst);
  writeReportFiles("0987", platform::localTime(kFirst + 60), 50);
  const int64_t start = platform::epochSeconds();
  save("0911", start + 5);
  const std::string name = writeReportFiles("0911", platform::localTime(start + 5), 60);
  std::filesystem::last_write_time(
      platform::joinPath(folder, pdfPath(name)),
      std::filesystem::file_time_type::clock::now() + std::chrono::seconds(5));
  auto store = openStore();
  ASSERT_TRUE(store);
  const ImportReport imported = importOnce(*store, {"", "s1"}, nullptr, start);
  ASSERT_TRUE(imported.written) << imported.error;
  EXPECT_EQ(imported.records, 1);
  EXPECT_EQ(lookUp("0987", "0987").size(), 1u);
  EXPECT_TRUE(lookUp("0911", "0911").empty());
}

}  // namespace
}  // namespace report
