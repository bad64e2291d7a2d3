// The CSV tables as the examination store's import and the erasure read them: any bytes split
// into header and rows that put together give the bytes again, rows left out leave every other
// byte, and the sway table's reader takes any row or tells why not.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pedalyx/report/csv_table.h"
#include "pedalyx/report/sway_rows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (report::RowLayout layout :
       {report::RowLayout::kLineFeedFirst, report::RowLayout::kLineFeedLast}) {
    const report::TableLayout table = report::splitTable(bytes, layout);
    std::string whole = bytes.substr(0, table.headerEnd);
    std::string withoutFirst = whole;
    for (size_t i = 0; i < table.rows.size(); ++i) {
      const report::TableRow& row = table.rows[i];
      if (row.begin != whole.size() || row.end <= row.begin) std::abort();
      whole.append(bytes, row.begin, row.end - row.begin);
      report::splitFields(report::rowContent(bytes, row, layout));
    }
    if (whole != bytes) std::abort();
    if (!table.rows.empty()) {
      const std::string first = report::rowContent(bytes, table.rows[0], layout);
      int removed = 0;
      const std::string kept =
          report::tableWithout(bytes, layout, {report::rowChecksum(first)}, removed);
      if (removed < 1 || kept.size() + (table.rows[0].end - table.rows[0].begin) > bytes.size())
        std::abort();
    }
  }
  for (const report::SwayRow& row : report::readSwayRows(bytes)) {
    if (!row.readable && row.problem.empty()) std::abort();
  }
  return 0;
}
