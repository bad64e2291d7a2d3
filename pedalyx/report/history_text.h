// The texts of the history window in Traditional or Simplified characters: one line per
// examination record, one per row the import could not read, and the table of every figure
// and file of two chosen records. Figure groups the station does not know by name (those of
// newer recordings) are shown all the same, under their own names.
#pragma once
#include <string>
#include <vector>

#include "pedalyx/report/database_rows.h"
#include "pedalyx/report/examination_record.h"

namespace report {

// One label per record (newest first, as listed), each different from the others: the minute
// of its local time, and where several records fall in one minute, their number in it from the
// oldest, "2026-12-06 17:04 (2)".
std::vector<std::string> recordLabels(const std::vector<ExaminationRecord>& records);

// The record's line: its label, per foot length / width, arch index and foot type, the left /
// right shares ("-" for what it does not hold), the shop when it has one, and how many of its
// files are missing or changed once they were checked.
std::string recordLine(const std::string& label, const ExaminationRecord& record, bool simplified);

// Why a database row could not be read, e.g. "有 2 欄, 應為 51 欄".
std::string rowProblemText(RowProblem problem, int detail, bool simplified);
// "第 4 行無法讀取 (<why>): <text>"
std::string unreadableLine(const DatabaseRow& row, bool simplified);
// "Database_2080.csv 第 4 行無法讀取 (<why>)" for a row the import could not read.
std::string importProblemLine(const ImportProblem& problem, bool simplified);

// One line of the comparison table: a group's heading, or a figure or file with its text in
// each record ("-" where it has none) and the change when both hold a number.
struct ComparisonLine {
  bool heading = false;
  std::string name, earlier, later, change;
};

// Every figure either record holds (either may be null) other than 0 or an empty text (a
// field left empty), group by group: the station's own groups in the order of the
// examination, then any other; then every file with its state.
std::vector<ComparisonLine> compareRecords(const ExaminationRecord* earlier,
                                           const ExaminationRecord* later, bool simplified);

// The file of the record with this role, or null.
const ExaminationFile* fileWithRole(const ExaminationRecord& record, const std::string& role);

// A file's state as the window shows it: "完好", "遺失", "已變更", or "檢查中" before the check.
std::string fileStateText(FileState state, bool simplified);

}  // namespace report
