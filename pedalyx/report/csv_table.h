// The station's CSV tables as exact byte ranges. Rows are found as the CSV standard reads them
// (a quoted field may hold commas, quotes and line breaks), yet every row keeps its bytes, so a
// table can be written again without some rows and every other byte unchanged. A damaged row
// (a quote that never closes, or one that swallowed the rows after it) ends at its own line,
// as the history reads it, so the rows after it are rows again.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace report {

enum class RowLayout {
  // "Database_2080.csv": a header without line end; every row begins with a line feed.
  kLineFeedFirst,
  // "Sway.csv": the header and every row end with a line feed.
  kLineFeedLast,
};

struct TableRow {
  size_t begin = 0, end = 0;  // bytes [begin, end), with the row's line feed (and its CR)
  int line = 0;               // line of the file where the row starts; the header is line 1
};

struct TableLayout {
  size_t headerEnd = 0;  // the header is bytes [0, headerEnd)
  std::vector<TableRow> rows;
};

TableLayout splitTable(const std::string& bytes, RowLayout layout);

// The row's bytes without its line feed and carriage return.
std::string rowContent(const std::string& bytes, const TableRow& row, RowLayout layout);

// The checksum by which a record knows its row: SHA-256 of the row's content.
std::string rowChecksum(const std::string& content);

// The fields of a row's content as the CSV standard reads them; nothing when a quote stays
// open. A row ending in a comma gives an empty last field.
std::optional<std::vector<std::string>> splitFields(const std::string& content);

// The table without the rows whose content has one of these checksums; every other byte as
// it was. `removed` counts the rows left out.
std::string tableWithout(const std::string& bytes, RowLayout layout,
                         const std::vector<std::string>& checksums, int& removed);

}  // namespace report
