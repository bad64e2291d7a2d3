// The measurement database "Database_2080.csv" and the balance bitmap archive "PressureImage".
// One "Save" appends one row (customer data, measurements, balance arch indices, zone shares,
// condition cases) and stores the three balance pictures as bitmaps named with the same stamp.
// The file is Big5 so that it opens as Traditional Chinese in a spreadsheet.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The analysis window's values at the moment of saving, as the operator sees them.
struct MeasurementRecord {
  std::string id;      // UTF-8 as typed
  int genderItem = 0;  // 0 "男", 1 "女", 2 "中立"; anything else writes an empty field
  double age = 0;
  double height = 0;
  double weight = 0;
  double navicularDrop[2] = {};  // left, right
  double footLength[2] = {};
  double footWidth[2] = {};
  double halluxAngle[2] = {};
  // Texts of the three balance captions, e.g. "20/80", "50/50", "80/20".
  std::string captionLow = "20/80";
  std::string captionEven = "50/50";
  std::string captionHigh = "80/20";
  double archLow[2] = {};  // left, right arch index noted with each balance picture
  double archEven[2] = {};
  double archHigh[2] = {};
  double zones[12] = {};     // the twelve six-zone fields in field order
  std::string caseTexts[6];  // UTF-8 as typed
  bool caseLeft[6] = {};
  bool caseRight[6] = {};
  double leftShare = 20;  // ratio slider and its complement; they name the bitmaps
  double rightShare = 80;
};

// The database's word for a gender choice's item (0 "男", 1 "女", 2 "中立"), "" for any other;
// genderItemOfWord is its inverse (-1 for a word it does not know).
const char* genderWord(int item);
int genderItemOfWord(const std::string& word);

// The three balance pictures: 320 x 335 x 3 bytes each, R G B, bottom row first.
struct BalancePictures {
  const unsigned char* low = nullptr;   // left foot carries the low share
  const unsigned char* even = nullptr;  // even stance
  const unsigned char* high = nullptr;  // left foot carries the high share
};

// What a save could not write; empty lists and rowWritten mean everything is on disk.
struct SaveOutcome {
  bool rowWritten = false;
  std::string databasePath;
  std::vector<std::string> failedBitmaps;        // full paths
  std::vector<std::string> writtenBitmaps = {};  // full paths, in the order written
};

// The database's code page text of an operator's UTF-8 text, at most 511 bytes (never half a
// character).
std::string toAnsi(const std::string& utf8);

// A CSV field as the standard quotes it: unchanged unless it holds a comma, a double quote or a
// line break; then enclosed in double quotes with inner quotes doubled.
std::string quoteCsvField(const std::string& bytes);

// An operator's text as a database field: Big5 (toAnsi) and quoted as quoteCsvField does. A
// text a spreadsheet would take for a formula (first character, after any apostrophes, one of
// = + - @, a tab or a carriage return) gets one more apostrophe in front and is always
// quoted: spreadsheets show it as text, and textOfField takes the apostrophe off again.
std::string textField(const std::string& utf8);

// The UTF-8 text of a field's unquoted bytes as textField wrote them.
std::string textOfField(const std::string& big5);

// The text the database gives back for a typed text; differs from it when Big5 has no form
// for a character (stored as "?") or the text is longer than a field holds.
std::string storedText(const std::string& utf8);

// The header row in Big5, no line end. The arch index columns carry the captions' texts.
std::string measurementHeader(const MeasurementRecord& record);

// One data row: a line feed, then 51 fields each followed by a comma.
std::string measurementRow(const MeasurementRecord& record, uint32_t stamp);

// The save stamp: the low 32 bits of the calendar seconds.
uint32_t saveStamp(int64_t epochSeconds);

// A 24-bit BMP file of a balance picture (turned upright and into B G R order); empty on failure.
std::string encodeBalanceBitmap(const unsigned char* rgbBottomFirst);

// Appends the row (with the header first when the file is new) in one write, creates the bitmap
// folder and writes the three bitmaps, each whole or not at all. A row that cannot be written
// does not stop the bitmaps.
SaveOutcome saveMeasurement(const std::string& startDirectory, const MeasurementRecord& record,
                            const BalancePictures& pictures, uint32_t stamp);

// The operator text telling what a save could not write, in Traditional or Simplified
// characters; empty when nothing failed.
std::string describeSaveFailure(const SaveOutcome& outcome, bool simplified = false);

// The operator text naming each typed text (the ID, the case texts) that the database cannot
// store as typed, with what it stores instead; empty when every text is stored exactly.
std::string describeInexactTexts(const MeasurementRecord& record, bool simplified = false);

// The "Save" button: reads the analysis window and the pressure view, saves, and tells the
// operator with a message box (shown after the current callback) when something was not written
// or not written as typed.
void appendMeasurementRecord();
