#include <gtest/gtest.h>
#include <stdlib.h>

#include <opencv2/imgcodecs.hpp>
#include <string>
#include <vector>

#include "pedalyx/report/measurement_database.h"
#include "platform/files.h"
#include "platform/text_encoding.h"
#include "scratch_folder.h"

namespace {

// Splits a row written without quotes at its commas; the last piece is what follows the last
// comma (empty for a well-formed row).
std::vector<std::string> splitFields(const std::string& row) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t comma; (comma = row.find(',', start)) != std::string::npos; start = comma + 1) {
    fields.push_back(row.substr(start, comma - start));
  }
  fields.push_back(row.substr(start));
  return fields;
}

MeasurementRecord knownSubject() {
  MeasurementRecord record;
  record.id = "A123";
  record.genderItem = 2;
  record.age = 41.7;
  record.height = 172.9;
  record.weight = 65.4;
  record.navicularDrop[0] = 8;
  record.navicularDrop[1] = 9.6;
  record.footLength[0] = 251;
  record.footLength[1] = 249.9;
  record.footWidth[0] = 98;
  record.footWidth[1] = 97;
  record.halluxAngle[0] = 12;
  record.halluxAngle[1] = 15;
  record.leftShare = 35;
  record.rightShare = 65;
  record.captionLow = "35/65";
  record.captionHigh = "65/35";
  record.archLow[0] = 0.234;
  record.archLow[1] = 0.2;
  record.archEven[0] = 0.255;
  record.archHigh[1] = 1.0 / 3;
  for (int i = 0; i < 12; ++i) record.zones[i] = 10 + i;  // field i holds 10 + i
  record.caseTexts[0] = "扁平足";
  record.caseLeft[0] = true;
  record.caseRight[5] = true;
  return record;
}

TEST(DatabaseHeader, HoldsTheFiftyOneColumnTitlesInBig5WithTheSplit) {
  MeasurementRecord record;  // default split 20/80
  const std::string header = measurementHeader(record);
  const std::string expected =
      "時間戳,ID,Gender,Age,Height,Weight,舟狀股 L,舟狀股 R,足長 L,足長 R,足寬 L,足寬 R,"
      "大腳趾外翻角度 L,大腳趾外翻角度 R,足壓調整比例,20/80足弓指標 L,20/80足弓指標 R,"
      "50/50足弓指標 L,50/50足弓指標 R,80/20足弓指標 L,80/20足弓指標 R,"
      "六區L-左下,六區L-右下,六區L-左中,六區L-右中,六區L-左上,六區L-右上,"
      "六區R-左下,六區R-右下,六區R-左中,六區R-右中,六區R-左上,六區R-右上,"
      "病症一,左,右,病症二,左,右,病症三,左,右,病症四,左,右,病症五,左,右,病症六,左,右,";
  EXPECT_EQ(platform::big5ToUtf8(header), expected);
  EXPECT_EQ(header.find('?'), std::string::npos) << "a title has no Big5 form";
  EXPECT_EQ(header.find('\n'), std::string::npos);
  EXPECT_EQ(splitFields(header).size(), 52u);
  // "時間戳" is AE C9 B6 A1 C2 57 in Big5.
  EXPECT_EQ(header.substr(0, 7), "\xAE\xC9\xB6\xA1\xC2\x57,");
}

TEST(DatabaseRow, WritesEveryColumnInItsFormat) {
  const std::string row = measurementRow(knownSubject(), 1765432109u);
  ASSERT_EQ(row[0], '\n');
  std::vector<std::string> fields = splitFields(row.substr(1));
  ASSERT_EQ(fields.size(), 52u);
  EXPECT_EQ(fields[51], "") << "every field, the last included, ends with a comma";
  EXPECT_EQ(fields[0], "1765432109");
  EXPECT_EQ(fields[1], "A123");
  EXPECT_EQ(fields[2], "\xA4\xA4\xA5\xDF");  // 中立
  EXPECT_EQ(fields[3], "41");
  EXPECT_EQ(fields[4], "172");
  EXPECT_EQ(fields[5], "65.4");
  EXPECT_EQ(std::vector<std::string>(fields.begin() + 6, fields.begin() + 14),
            (std::vector<std::string>{"8", "9", "251", "249", "98", "97", "12", "15"}));
  EXPECT_EQ(fields[14], "35/65");
  EXPECT_EQ(std::vector<std::string>(fields.begin() + 15, fields.begin() + 21),
            (std::vector<std::string>{"0.23", "0.20", "0.26", "0.00", "0.00", "0.33"}));
  // Heel, middle and forefoot rows of each foot: fields 4 5 2 3 0 1, then 10 11 8 9 6 7.
  EXPECT_EQ(std::vector<std::string>(fields.begin() + 21, fields.begin() + 33),
            (std::vector<std::string>{"14", "15", "12", "13", "10", "11", "20", "21", "18", "19",
                                      "16", "17"}));
  EXPECT_EQ(platform::big5ToUtf8(fields[33]), "扁平足");
  EXPECT_EQ(fields[34], "1");
  EXPECT_EQ(fields[35], "0");
  EXPECT_EQ(fields[48], "");
  EXPECT_EQ(fields[49], "0");
  EXPECT_EQ(fields[50], "1");
}

TEST(DatabaseRow, QuotesOperatorTextsThatWouldShiftTheColumns) {
  MeasurementRecord record = knownSubject();
  record.id = "Lin, \"Amy\"";
  record.caseTexts[2] = "left\nright";
  record.caseTexts[3] = "平足;ok";
  const std::string row = measurementRow(record, 7u);
  EXPECT_NE(row.find("\n7,\"Lin, \"\"Amy\"\"\",\xA4\xA4\xA5\xDF,"), std::string::npos);
  EXPECT_NE(row.find(",\"left\nright\",0,0,"), std::string::npos);
  EXPECT_NE(row.find("," + platform::utf8ToBig5("平足;ok") + ",0,0,"), std::string::npos);
  EXPECT_EQ(quoteCsvField("a\rb"), "\"a\rb\"");
  EXPECT_EQ(quoteCsvField(""), "");
  // Captions are the station's own texts and are never quoted.
  EXPECT_NE(row.find(",35/65,"), std::string::npos);
}

// A typed "=..." once went into the file as it stood, and a spreadsheet opening the database
// ran it as a formula.
TEST(DatabaseRow, TextsASpreadsheetWouldRunAsFormulasAreStoredInert) {
  MeasurementRecord record = knownSubject();
  record.id = "-2+3";
  const char* const cases[6] = {"=HYPERLINK(\"x\")", "+1", "@SUM(A1)", "\t=1", "'@x", "'ok"};
  for (int k = 0; k < 6; ++k) record.caseTexts[k] = cases[k];
  const std::string row = measurementRow(record, 7u);
  EXPECT_NE(row.find("\n7,\"'-2+3\","), std::string::npos) << row;
  for (const char* field : {",\"'=HYPERLINK(\"\"x\"\")\",", ",\"'+1\",", ",\"'@SUM(A1)\",",
                            ",\"'\t=1\",", ",\"''@x\",", ",'ok,"}) {
    EXPECT_NE(row.find(field), std::string::npos) << field;
  }
  for (const char* text : {"-2+3", "=1", "'=1", "''@x", "'ok", "a=1", "", "'"}) {
    EXPECT_EQ(storedText(text), text) << "reads back as typed: " << text;
  }
}

// Big5 has no form for most Simplified characters: two different IDs would both be stored as
// "?三" and the history could tell neither customer, so the operator is told at "Save".
TEST(DatabaseRow, TextsBig5CannotHoldAreNamedWithWhatIsStored) {
  MeasurementRecord record = knownSubject();
  record.id = "張三";
  EXPECT_EQ(describeInexactTexts(record), "");
  record.id = "张三";
  record.caseTexts[1] = "扁平足 发炎";
  EXPECT_EQ(describeInexactTexts(record),
            "ID 無法照原樣存入資料庫 (Big5)：「张三」存為「?三」\n"
            "病症二 無法照原樣存入資料庫 (Big5)：「扁平足 发炎」存為「扁平足 ?炎」\n");
  EXPECT_NE(describeInexactTexts(record, true).find("无法照原样存入资料库"), std::string::npos);
  record.id = std::string(600, '7');  // longer than a field holds
  record.caseTexts[1] = "";
  EXPECT_NE(describeInexactTexts(record).find("ID "), std::string::npos);
}

TEST(DatabaseRow, LongOperatorTextIsCutAtAWholeCharacter) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "足";
  const std::string ansi = toAnsi(text);
  EXPECT_EQ(ansi.size(), 510u);
  EXPECT_EQ(platform::big5ToUtf8(ansi), text.substr(0, 255 * 3));
  EXPECT_EQ(toAnsi(std::string(600, 'x')).size(), 511u);
}

class DatabaseSave : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = scratch.path();
    for (int i = 0; i < 3; ++i) pictures[i].assign(320 * 335 * 3, static_cast<unsigned char>(i));
    // Bottom-left pixel of the low picture is pure red (R G B order, bottom row first).
    pictures[0][0] = 255;
    pictures[0][1] = 0;
    pictures[0][2] = 0;
    set.low = pictures[0].data();
    set.even = pictures[1].data();
    set.high = pictures[2].data();
  }
  ScratchFolder scratch{"station-database"};
  std::string folder;
  std::vector<unsigned char> pictures[3];
  BalancePictures set;
};

TEST_F(DatabaseSave, FirstSaveWritesHeaderRowAndThreeBitmapsAndTheSecondOnlyARow) {
  const MeasurementRecord record = knownSubject();
  SaveOutcome first = saveMeasurement(folder, record, set, 1000u);
  EXPECT_TRUE(first.rowWritten);
  EXPECT_TRUE(first.failedBitmaps.empty());
  const std::string database = platform::joinPath(folder, "Database_2080.csv");
  std::string afterFirst = platform::readWholeFile(database).value_or("");
  EXPECT_EQ(afterFirst, measurementHeader(record) + measurementRow(record, 1000u));
  EXPECT_EQ(afterFirst.back(), ',');

  const std::string images = platform::joinPath(folder, "PressureImage");
  for (const char* name : {"1000_35_65.bmp", "1000_65_35.bmp", "1000_50_50.bmp"}) {
    EXPECT_TRUE(platform::fileExists(platform::joinPath(images, name))) << name;
  }
  // The low picture's bottom-left pixel is red and sits in the bitmap's bottom row.
  cv::Mat low = cv::imread(platform::joinPath(images, "1000_35_65.bmp"), cv::IMREAD_UNCHANGED);
  ASSERT_EQ(low.cols, 320);
  ASSERT_EQ(low.rows, 335);
  ASSERT_EQ(low.type(), CV_8UC3);
  EXPECT_EQ(low.at<cv::Vec3b>(334, 0), cv::Vec3b(0, 0, 255));
  EXPECT_EQ(low.at<cv::Vec3b>(0, 0), cv::Vec3b(0, 0, 0));
  cv::Mat high = cv::imread(platform::joinPath(images, "1000_65_35.bmp"), cv::IMREAD_UNCHANGED);
  EXPECT_EQ(high.at<cv::Vec3b>(10, 10), cv::Vec3b(2, 2, 2));

  MeasurementRecord changed = record;
  changed.captionLow = "40/60";  // a later split does not rewrite the header
  SaveOutcome second = saveMeasurement(folder, changed, set, 1001u);
  EXPECT_TRUE(second.rowWritten);
  EXPECT_EQ(platform::readWholeFile(database).value_or(""),
            afterFirst + measurementRow(changed, 1001u));
}

TEST_F(DatabaseSave, AnUnwritableDatabaseIsReportedAndTheBitmapsAreStillWritten) {
  // A folder in the database's place makes every append fail.
  ASSERT_TRUE(platform::makeDirectory(platform::joinPath(folder, "Database_2080.csv")));
  SaveOutcome outcome = saveMeasurement(folder, knownSubject(), set, 42u);
  EXPECT_FALSE(outcome.rowWritten);
  EXPECT_TRUE(outcome.failedBitmaps.empty());
  EXPECT_TRUE(platform::fileExists(folder + "/PressureImage/42_50_50.bmp"));
  EXPECT_NE(describeSaveFailure(outcome).find("Database_2080.csv"), std::string::npos);
}

TEST_F(DatabaseSave, UnwritableBitmapsAreEachReported) {
  // A plain file in the folder's place: no bitmap can go there.
  ASSERT_TRUE(platform::writeFileAtomic(platform::joinPath(folder, "PressureImage"), "x"));
  set.even = nullptr;  // and a missing picture is a failure, not an empty file
  SaveOutcome outcome = saveMeasurement(folder, knownSubject(), set, 43u);
  EXPECT_TRUE(outcome.rowWritten);
  ASSERT_EQ(outcome.failedBitmaps.size(), 3u);
  EXPECT_NE(outcome.failedBitmaps[2].find("43_50_50.bmp"), std::string::npos);
  EXPECT_NE(describeSaveFailure(outcome).find("43_65_35.bmp"), std::string::npos);
  EXPECT_EQ(describeSaveFailure(SaveOutcome{true, "", {}}), "");
}

}  // namespace
