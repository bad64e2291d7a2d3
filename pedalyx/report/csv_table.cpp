#include "pedalyx/report/csv_table.h"

#include <algorithm>
#include <set>

#include "platform/sha256.h"

namespace report {
namespace {

// Fields of a whole row: the database's 51, each followed by a comma; the sway table's 21.
size_t fieldsOfRow(RowLayout layout) { return layout == RowLayout::kLineFeedFirst ? 52 : 21; }

// Where the row whose content starts at `from` ends: at the first line feed outside quotes.
// A row that runs over several lines must still have a whole row's fields; otherwise (a quote
// that never closes, or one that swallowed the rows after it) it ends at its own line.
size_t contentEnd(const std::string& bytes, size_t from, RowLayout layout) {
  bool quoted = false;
  size_t end = bytes.size();
  for (size_t i = from; i < bytes.size(); ++i) {
    if (bytes[i] == '"') quoted = !quoted;  // a doubled quote toggles twice
    if (bytes[i] == '\n' && !quoted) {
      end = i;
      break;
    }
  }
  const size_t lineEnd = std::min(bytes.find('\n', from), bytes.size());
  if (end == lineEnd && !quoted) return end;
  const auto fields = quoted ? std::nullopt : splitFields(bytes.substr(from, end - from));
  return fields && fields->size() == fieldsOfRow(layout) ? end : lineEnd;
}

}  // namespace

TableLayout splitTable(const std::string& bytes, RowLayout layout) {
  TableLayout table;
  const size_t firstBreak = std::min(bytes.find('\n'), bytes.size());
  int line = 1;
  if (layout == RowLayout::kLineFeedFirst) {
    // The header ends before the line break; a CR before the line feed belongs to the row.
    table.headerEnd = firstBreak;
    if (firstBreak > 0 && firstBreak < bytes.size() && bytes[firstBreak - 1] == '\r')
      --table.headerEnd;
    size_t pos = table.headerEnd;
    while (pos < bytes.size()) {
      const size_t lineFeed = bytes[pos] == '\r' ? pos + 1 : pos;
      size_t end = contentEnd(bytes, lineFeed + 1, layout);
      if (end < bytes.size() && end > lineFeed + 1 && bytes[end - 1] == '\r') --end;
      ++line;
      table.rows.push_back({pos, end, line});
      line += static_cast<int>(std::count(bytes.begin() + lineFeed + 1, bytes.begin() + end, '\n'));
      pos = end;
    }
  } else {
    table.headerEnd = firstBreak < bytes.size() ? firstBreak + 1 : bytes.size();
    size_t pos = table.headerEnd;
    while (pos < bytes.size()) {
      ++line;
      const size_t lineFeed = contentEnd(bytes, pos, layout);
      const size_t end = lineFeed < bytes.size() ? lineFeed + 1 : bytes.size();
      table.rows.push_back({pos, end, line});
      line += static_cast<int>(std::count(bytes.begin() + pos, bytes.begin() + lineFeed, '\n'));
      pos = end;
    }
  }
  return table;
}

std::string rowContent(const std::string& bytes, const TableRow& row, RowLayout layout) {
  size_t begin = row.begin, end = row.end;
  if (layout == RowLayout::kLineFeedFirst) {
    if (begin < end && bytes[begin] == '\r') ++begin;
    if (begin < end && bytes[begin] == '\n') ++begin;
  } else {
    if (end > begin && bytes[end - 1] == '\n') --end;
    if (end > begin && bytes[end - 1] == '\r') --end;
  }
  return bytes.substr(begin, end - begin);
}

std::string rowChecksum(const std::string& content) { return platform::sha256Hex(content); }

std::optional<std::vector<std::string>> splitFields(const std::string& content) {
  std::vector<std::string> fields;
  std::string field;
  bool quoted = false;
  for (size_t i = 0; i < content.size(); ++i) {
    const char c = content[i];
    if (quoted) {
      if (c == '"' && i + 1 < content.size() && content[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  if (quoted) return std::nullopt;
  fields.push_back(field);
  return fields;
}

std::string tableWithout(const std::string& bytes, RowLayout layout,
                         const std::vector<std::string>& checksums, int& removed) {
  const std::set<std::string> gone(checksums.begin(), checksums.end());
  const TableLayout table = splitTable(bytes, layout);
  std::string kept = bytes.substr(0, table.headerEnd);
  removed = 0;
  for (const TableRow& row : table.rows) {
    if (gone.count(rowChecksum(rowContent(bytes, row, layout))) != 0) {
      ++removed;
    } else {
      kept.append(bytes, row.begin, row.end - row.begin);
    }
  }
  return kept;
}

}  // namespace report
