#include "pedalyx/report/database_rows.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "pedalyx/report/measurement_database.h"
#include "platform/text_encoding.h"

namespace report {
namespace {

constexpr size_t kColumns = 51;

struct Record {
  std::vector<std::string> fields;
  size_t end = 0;      // where the next record starts
  int lineBreaks = 0;  // line feeds inside the record
  bool unclosedQuote = false;
  int strayQuoteColumn = 0;  // from 1: a quote inside an unquoted field or after a closing one
};

// One record from pos as the CSV standard reads it: fields split at commas, "..." quoting
// with doubled inner quotes, line breaks inside quotes kept; the record ends at a line feed.
// A quote opens a quoted field only at the field's start. Any other quote outside a quoted
// field is damage: read on, it would open a field that runs into the next row with such a
// quote, and that row would vanish inside this one. Reading stops there.
Record readRecord(const std::string& bytes, size_t pos) {
  Record record;
  std::string field;
  bool quoted = false, fieldStarted = false, quoteClosed = false;
  size_t i = pos;
  for (; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (quoted) {
      if (c == '"' && i + 1 < bytes.size() && bytes[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
        quoteClosed = true;
      } else {
        if (c == '\n') ++record.lineBreaks;
        field += c;
      }
    } else if (c == ',') {
      record.fields.push_back(field);
      field.clear();
      fieldStarted = quoteClosed = false;
    } else if (c == '\n') {
      break;
    } else if (c == '\r') {
      continue;
    } else if (c == '"' && !fieldStarted) {
      quoted = fieldStarted = true;
    } else if (c == '"' || quoteClosed) {
      record.strayQuoteColumn = static_cast<int>(record.fields.size()) + 1;
      break;
    } else {
      field += c;
      fieldStarted = true;
    }
  }
  record.unclosedQuote = quoted;
  record.fields.push_back(field);
  if (record.strayQuoteColumn > 0) i = std::min(bytes.find('\n', i), bytes.size());
  record.end = i < bytes.size() ? i + 1 : bytes.size();
  return record;
}

bool readNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(value);
}

bool readStamp(const std::string& text, uint32_t& stamp) {
  if (text.empty() || text.size() > 10) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
  if (value > UINT32_MAX) return false;
  stamp = static_cast<uint32_t>(value);
  return true;
}

// Fills the row from the record's fields; false with the row's problem set otherwise.
bool takeFields(const std::vector<std::string>& f, DatabaseRow& row) {
  if (f.size() >= 2) {
    row.id = textOfField(f[1]);
    row.idKnown = true;
  }
  // Every field is followed by a comma, so a whole row splits into 51 fields and an empty one.
  if (f.size() != kColumns + 1 || !f.back().empty()) {
    row.problem = RowProblem::kFieldCount;
    row.problemDetail = static_cast<int>(f.size()) - (f.back().empty() ? 1 : 0);
    return false;
  }
  if (!readStamp(f[0], row.stamp)) {
    row.problem = RowProblem::kNoStamp;
    return false;
  }
  double* const targets[] = {&row.footLength[0], &row.footLength[1], &row.footWidth[0],
                             &row.footWidth[1],  &row.archLow[0],    &row.archLow[1],
                             &row.archEven[0],   &row.archEven[1],   &row.archHigh[0],
                             &row.archHigh[1]};
  const int columns[] = {8, 9, 10, 11, 15, 16, 17, 18, 19, 20};
  for (int k = 0; k < 10; ++k) {
    if (!readNumber(f[columns[k]], *targets[k])) {
      row.problem = RowProblem::kNotANumber;
      row.problemDetail = columns[k] + 1;
      return false;
    }
  }
  for (int foot = 0; foot < 2; ++foot) {
    for (int zone = 0; zone < 6; ++zone) {
      const int column = 21 + 6 * foot + zone;
      if (!readNumber(f[column], row.zones[foot][zone])) {
        row.problem = RowProblem::kNotANumber;
        row.problemDetail = column + 1;
        return false;
      }
    }
  }
  return true;
}

}  // namespace

std::vector<DatabaseRow> readDatabaseRows(const std::string& bytes) {
  std::vector<DatabaseRow> rows;
  size_t pos = 0;
  int line = 1;
  bool first = true;
  while (pos < bytes.size()) {
    const Record record = readRecord(bytes, pos);
    const size_t lineEnd = std::min(bytes.find('\n', pos), bytes.size());
    std::string firstLine = bytes.substr(pos, lineEnd - pos);
    if (!firstLine.empty() && firstLine.back() == '\r') firstLine.pop_back();
    uint32_t stamp = 0;
    if (first && !readStamp(record.fields[0], stamp)) {
      // The header row.
      first = false;
      line += 1 + record.lineBreaks;
      pos = record.end;
      continue;
    }
    first = false;
    if (firstLine.empty() && record.fields.size() == 1) {
      ++line;
      pos = lineEnd + 1;
      continue;
    }
    DatabaseRow row;
    row.line = line;
    row.text = platform::big5ToUtf8(firstLine);
    if (record.unclosedQuote) {
      row.problem = RowProblem::kUnclosedQuote;
    } else if (record.strayQuoteColumn > 0) {
      row.problem = RowProblem::kStrayQuote;
      row.problemDetail = record.strayQuoteColumn;
      // The ID is told when its field was read whole before the quote.
      if (record.fields.size() > 2) {
        row.id = textOfField(record.fields[1]);
        row.idKnown = true;
      }
    } else {
      row.readable = takeFields(record.fields, row);
    }
    if (row.readable) {
      line += 1 + record.lineBreaks;
      pos = record.end;
    } else {
      // A damaged row may have swallowed the rows after it: read on from its next line.
      if (record.lineBreaks > 0 || record.unclosedQuote) row.idKnown = false;
      ++line;
      pos = lineEnd + 1;
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace report
