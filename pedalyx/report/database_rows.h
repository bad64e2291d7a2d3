// Reading the measurement database back: the rows of "Database_2080.csv" (Big5, fields quoted
// as the CSV standard does) with the figures the customer history shows. A row that cannot be
// read is kept as such, with its line and the reason, never dropped.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace report {

constexpr const char* kDatabaseFile = "Database_2080.csv";

// Why a row could not be read; the detail is the field count or the column (from 1). A stray
// quote is one inside an unquoted field or right after a quoted one.
enum class RowProblem { kNone, kFieldCount, kNoStamp, kNotANumber, kUnclosedQuote, kStrayQuote };

struct DatabaseRow {
  int line = 0;  // line of the file where the row starts; the header is line 1
  bool readable = false;
  RowProblem problem = RowProblem::kNone;
  int problemDetail = 0;
  std::string text;    // the row's first line in UTF-8, to show an unreadable row
  uint32_t stamp = 0;  // calendar seconds of the save
  std::string id;      // UTF-8; also told for most unreadable rows
  bool idKnown = false;
  double footLength[2] = {}, footWidth[2] = {};  // left, right, mm
  // Arch indices noted with the low, even and high balance pictures, left and right.
  double archLow[2] = {}, archEven[2] = {}, archHigh[2] = {};
  // Zone shares per foot in the analyzer's order: heel-left, heel-right, middle-left,
  // middle-right, forefoot-left, forefoot-right.
  double zones[2][6] = {};
};

// The data rows of a database file's bytes, in file order; the header row is skipped.
std::vector<DatabaseRow> readDatabaseRows(const std::string& bytes);

}  // namespace report
