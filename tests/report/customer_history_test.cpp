#include "pedalyx/report/customer_history.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "pedalyx/imaging/colour_table.h"
#include "pedalyx/report/history_text.h"
#include "pedalyx/report/measurement_database.h"
#include "pedalyx/report/report_export.h"
#include "pedalyx/report/report_layout.h"
#include "pedalyx/report/visit_figures.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace report {
namespace {

constexpr int64_t kDay = 24 * 3600;
constexpr uint32_t kFirst = 1780000000;  // in the summer of 2026

// A working directory filled by the station's own writers: database rows from "Save" and
// report files from the export.
class ShopFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/history_XXXXXX";
    folder = mkdtemp(pattern);
    platform::makeDirectory(platform::joinPath(folder, "FOOT_PRESSURE"));
    platform::makeDirectory(platform::joinPath(folder, "PDF_INSOLES"));
    ASSERT_TRUE(loadColourTableFile(STATION_DIR "/lut_ancestor.txt", table));
  }
  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

  void save(const std::string& id, uint32_t stamp, double arch, double heelZone) {
    MeasurementRecord record;
    record.id = id;
    record.footLength[0] = 251, record.footLength[1] = 253;
    record.archEven[0] = arch, record.archEven[1] = arch + 0.01;
    record.zones[4] = heelZone;  // left foot, heel-left
    saveMeasurement(folder, record, BalancePictures{}, stamp);
  }
  // A pressure picture whose left half carries `leftPixels` of the loaded pixels, and a PDF.
  void exportReport(const std::string& phone, int64_t seconds, int leftPixels) {
    std::vector<uint8_t> plain(kPictureWidth * kPictureHeight * 3, 0);
    for (int i = 0; i < 400; ++i) {
      const int x = i < leftPixels ? 40 + i % 20 : 200 + i % 20, y = 20 + i / 20;
      for (int k = 0; k < 3; ++k) plain[3 * (x + kPictureWidth * y) + k] = table[3 * 100 + 2 - k];
    }
    const std::string name = reportName(phone, platform::localTime(seconds));
    ASSERT_TRUE(writePressurePng(plain.data(), platform::joinPath(folder, pngPath(name))));
    static const std::vector<uint8_t> page(kPageWidth * kPageHeight * 3, 255);
    ASSERT_TRUE(writePdf(page.data(), platform::joinPath(folder, pdfPath(name)),
                         [](const std::string&) {}));
  }

  std::string folder;
  unsigned char table[kColourTableBytes] = {};
};

TEST_F(ShopFolder, VisitsOfOneCustomerNewestFirstWithTheDamagedRowShown) {
  const std::string otherId = "王,\"小\"明";  // quoted in the file
  save("A123", kFirst, 0.24, 30);
  exportReport("0987", kFirst + 120, 300);
  save(otherId, kFirst + 3600, 0.20, 10);
  exportReport("0911", kFirst + 3600, 200);
  // A row cut short by a crash of an older program, with the customer's ID still legible, and
  // one cut right after its stamp, whose ID cannot be told: it may be anybody's.
  ASSERT_TRUE(platform::appendWhole(platform::joinPath(folder, kDatabaseFile),
                                    "\n1780007200,A123,\n1780007300"));
  save("A123", kFirst + 30 * kDay, 0.26, 25);
  exportReport("0987", kFirst + 30 * kDay - 600, 200);
  exportReport("0987", kFirst + 60 * kDay, 100);
  save("", kFirst + 60 * kDay + 300, 0.25, 20);   // saved without typing the ID
  exportReport("0987", kFirst + 75 * kDay, 100);  // a report without a saved row
  save("0987", kFirst + 90 * kDay, 0.27, 20);     // the phone typed as ID

  const CustomerHistory history = findCustomerHistory(folder, "A123", "0987");
  ASSERT_EQ(history.visits.size(), 5u);
  EXPECT_TRUE(history.visits[0].row && !history.visits[0].files);
  EXPECT_EQ(history.visits[0].row->id, "0987");
  EXPECT_TRUE(!history.visits[1].row && history.visits[1].files);
  EXPECT_EQ(history.visits[1].when, localMinuteOf(kFirst + 75 * kDay));
  for (int k : {2, 3, 4}) {
    ASSERT_TRUE(history.visits[k].row && history.visits[k].files) << k;
    EXPECT_FALSE(history.visits[k].files->pdf.empty());
    EXPECT_FALSE(history.visits[k].files->picture.empty());
  }
  EXPECT_EQ(history.visits[2].row->stamp, kFirst + 60 * kDay + 300);
  EXPECT_EQ(history.visits[3].row->stamp, kFirst + 30 * kDay);
  EXPECT_EQ(history.visits[4].row->stamp, kFirst);
  ASSERT_EQ(history.unreadable.size(), 2u);
  EXPECT_EQ(history.unreadable[0].line, 4);
  EXPECT_EQ(history.unreadable[0].text, "1780007200,A123,");
  EXPECT_EQ(history.unreadable[1].line, 5);
  EXPECT_FALSE(history.unreadable[1].idKnown);

  // The other customer, found by an ID that needed quoting, with its own report.
  const CustomerHistory other = findCustomerHistory(folder, otherId, "0911");
  ASSERT_EQ(other.visits.size(), 1u);
  EXPECT_TRUE(other.visits[0].row && other.visits[0].files);
  EXPECT_DOUBLE_EQ(other.visits[0].row->archEven[0], 0.20);
  ASSERT_EQ(other.unreadable.size(), 1u) << "the damaged row with an ID names another customer";
  EXPECT_EQ(other.unreadable[0].line, 5);

  // Differences between the first and the second visit.
  const VisitFigures first = figuresOfVisit(history.visits[4], table);
  const VisitFigures second = figuresOfVisit(history.visits[3], table);
  std::vector<double> change(kFigureCount, -999);
  for (const FigureChange& c : compareVisits(first, second)) change[c.figure] = c.change;
  EXPECT_NEAR(change[kArchLeft], 0.02, 1e-9);
  EXPECT_NEAR(change[kArchRight], 0.02, 1e-9);
  EXPECT_EQ(change[kZoneLeftFirst], -5);
  EXPECT_EQ(change[kShareLeft], 50 - 75);
  EXPECT_EQ(change[kShareRight], 50 - 25);
  EXPECT_EQ(change[kLengthLeft], 0);
  // A visit without a picture has no shares to compare.
  for (const FigureChange& c : compareVisits(figuresOfVisit(history.visits[0], table), second)) {
    EXPECT_FALSE(c.figure >= kShareLeft && c.figure <= kShareLowerRight);
  }
  Visit withoutBalancePictures;
  withoutBalancePictures.row = DatabaseRow{};
  EXPECT_FALSE(figuresOfVisit(withoutBalancePictures, table).values[kArchLeft])
      << "a row without balance pictures noted no arch index; it is unknown, not 0";
}

// An ID a spreadsheet would run as a formula is stored inert; the history still finds it.
TEST_F(ShopFolder, AnIdStoredInertForSpreadsheetsFindsItsCustomer) {
  save("=A1+1", kFirst, 0.24, 30);
  save("'=A1+1", kFirst + kDay, 0.24, 30);  // typed with the apostrophe itself
  const std::string file =
      platform::readWholeFile(platform::joinPath(folder, kDatabaseFile)).value_or("");
  EXPECT_NE(file.find(",\"'=A1+1\","), std::string::npos) << file;
  EXPECT_NE(file.find(",\"''=A1+1\","), std::string::npos) << file;
  const CustomerHistory history = findCustomerHistory(folder, "=A1+1", "");
  ASSERT_EQ(history.visits.size(), 1u);
  EXPECT_EQ(history.visits[0].row->id, "=A1+1");
  EXPECT_EQ(findCustomerHistory(folder, "'=A1+1", "").visits.size(), 1u);
}

// "A row and a report exported within 60 minutes of each other are one visit", also for a row
// saved without an ID, which then belongs to the report's customer.
TEST_F(ShopFolder, ARowAndAReportSixtyMinutesApartAreOneVisitSixtyOneAreTwo) {
  exportReport("0987", kFirst, 200);
  save("A123", kFirst + 60 * 60, 0.24, 30);
  exportReport("0987", kFirst + 10 * kDay, 200);
  save("A123", kFirst + 10 * kDay + 61 * 60, 0.24, 30);
  exportReport("0987", kFirst + 20 * kDay, 200);
  save("", kFirst + 20 * kDay - 60 * 60, 0.25, 30);
  exportReport("0987", kFirst + 30 * kDay, 200);
  save("", kFirst + 30 * kDay - 61 * 60, 0.25, 30);  // nobody's

  const CustomerHistory history = findCustomerHistory(folder, "A123", "0987");
  ASSERT_EQ(history.visits.size(), 5u);
  EXPECT_TRUE(!history.visits[0].row && history.visits[0].files) << "30 days: report alone";
  EXPECT_TRUE(history.visits[1].row && history.visits[1].files) << "20 days: 60 min before";
  EXPECT_EQ(history.visits[1].row->stamp, kFirst + 20 * kDay - 60 * 60);
  EXPECT_TRUE(history.visits[2].row && !history.visits[2].files) << "10 days: 61 min after";
  EXPECT_TRUE(!history.visits[3].row && history.visits[3].files);
  EXPECT_TRUE(history.visits[4].row && history.visits[4].files) << "day 0: 60 min after";
}

TEST(DatabaseRows, DamagedRowsAreListedAndTheRowsAfterThemStillRead) {
  MeasurementRecord record;
  record.id = "A1";
  std::string file = measurementHeader(record) + measurementRow(record, 100);
  file += "\n101,\"A1,unclosed quote";  // swallows the rest of the file if read naively
  file += measurementRow(record, 102);
  file += "\r\n103,A1,x,NaN" + std::string(48, ',');  // text in a numeric column
  record.caseTexts[0] = "line\nbreak";                // quoted line break inside a row
  file += measurementRow(record, 104);
  const std::vector<DatabaseRow> rows = readDatabaseRows(file);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_TRUE(rows[0].readable);
  EXPECT_FALSE(rows[1].readable);
  EXPECT_EQ(rows[1].line, 3);
  EXPECT_TRUE(rows[2].readable);
  EXPECT_EQ(rows[2].stamp, 102u);
  EXPECT_FALSE(rows[3].readable);
  EXPECT_EQ(rows[3].id, "A1");
  EXPECT_TRUE(rows[4].readable);
  EXPECT_EQ(rows[4].stamp, 104u);
  EXPECT_EQ(rows[4].line, 6);
}

// A double quote inside a field once opened a quoted field there, which ran on into the next
// row with such a quote: of six such rows, every second one vanished into the one before.
TEST(DatabaseRows, AStrayQuoteMakesItsRowUnreadableAndNoOtherRowVanishes) {
  MeasurementRecord record;
  record.id = "A1";
  record.caseTexts[0] = "x";
  std::string file = measurementHeader(record);
  for (uint32_t stamp = 100; stamp < 106; ++stamp) {
    std::string row = measurementRow(record, stamp);
    if (stamp < 103) {
      row.replace(row.find(",A1,"), 4, ",A\"1,");  // in the ID
    } else {
      row.replace(row.find(",x,"), 3, ",x\"y,");  // in the first case text
    }
    file += row;
  }
  file += measurementRow(record, 106);
  const std::vector<DatabaseRow> rows = readDatabaseRows(file);
  ASSERT_EQ(rows.size(), 7u);
  for (int k = 0; k < 6; ++k) {
    EXPECT_FALSE(rows[k].readable) << k;
    EXPECT_EQ(rows[k].line, k + 2);
    EXPECT_EQ(rows[k].problem, RowProblem::kStrayQuote) << k;
    EXPECT_EQ(rows[k].problemDetail, k < 3 ? 2 : 34) << k;
    EXPECT_EQ(rows[k].idKnown, k >= 3) << "the ID is told when its field was whole";
  }
  EXPECT_EQ(rows[3].id, "A1");
  EXPECT_NE(unreadableLine(rows[0], false).find("(第 2 欄有多餘的引號): 100,A\"1,"),
            std::string::npos)
      << unreadableLine(rows[0], false);
  EXPECT_TRUE(rows[6].readable);
  EXPECT_EQ(rows[6].stamp, 106u);
}

TEST(ReportNames, PhoneAndMinuteAreSplitOffTheLastUnderscore) {
  std::string phone;
  int64_t when = 0;
  ASSERT_TRUE(parseReportName("09_87_202612061704", phone, when));
  EXPECT_EQ(phone, "09_87");
  EXPECT_EQ(when, 202612061704);
  EXPECT_FALSE(parseReportName("0987_202613061704", phone, when));
  EXPECT_FALSE(parseReportName("0987_20261206170", phone, when));
  EXPECT_FALSE(parseReportName("0987-202612061704", phone, when));
  EXPECT_EQ(minutesBetween(202612312350, 202701010010), 20);
}

}  // namespace
}  // namespace report
