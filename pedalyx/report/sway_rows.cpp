#include "pedalyx/report/sway_rows.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "pedalyx/report/csv_table.h"
#include "platform/text_encoding.h"

namespace report {

// The names partOfSway gives the same figures of the whole stance.
const char* const kSwayRowFigureNames[15] = {"planned_seconds",
                                             "seconds",
                                             "frames",
                                             "path_length",
                                             "mean_velocity",
                                             "range_x",
                                             "range_y",
                                             "rms_x",
                                             "rms_y",
                                             "ellipse_area",
                                             "ellipse_semi_major",
                                             "ellipse_semi_minor",
                                             "ellipse_angle",
                                             "left_share_mean",
                                             "left_share_spread"};
const char* const kSwayRowFigureUnits[15] = {"s",  "s",   "",   "mm", "mm/s", "mm", "mm", "mm",
                                             "mm", "mm2", "mm", "mm", "deg",  "%",  "%"};

namespace {

constexpr size_t kFields = 21;
// Columns of the numbers in values[] (the stop word sits in column 7, between frames and path).
const int kNumberColumns[15] = {3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};

bool readNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(value);
}

}  // namespace

std::optional<int64_t> secondsOfLocalStamp(const std::string& digits) {
  if (digits.size() != 12 && digits.size() != 14) return std::nullopt;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  auto part = [&](size_t at, size_t length) {
    return std::atoi(digits.substr(at, length).c_str());
  };
  std::tm t{};
  t.tm_year = part(0, 4) - 1900;
  t.tm_mon = part(4, 2) - 1;
  t.tm_mday = part(6, 2);
  t.tm_hour = part(8, 2);
  t.tm_min = part(10, 2);
  t.tm_sec = digits.size() == 14 ? part(12, 2) : 0;
  t.tm_isdst = -1;
  if (t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday < 1 || t.tm_mday > 31 || t.tm_hour > 23 ||
      t.tm_min > 59 || t.tm_sec > 60)
    return std::nullopt;
  const std::time_t seconds = std::mktime(&t);
  if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
  return static_cast<int64_t>(seconds);
}

std::vector<SwayRow> readSwayRows(const std::string& bytes) {
  std::vector<SwayRow> rows;
  const TableLayout table = splitTable(bytes, RowLayout::kLineFeedLast);
  for (const TableRow& place : table.rows) {
    SwayRow row;
    row.line = place.line;
    row.content = rowContent(bytes, place, RowLayout::kLineFeedLast);
    if (row.content.empty()) continue;  // an empty line holds no recording
    const auto fields = splitFields(row.content);
    if (!fields) {
      row.problem = "a quote is not closed";
    } else if (fields->size() != kFields) {
      row.problem = "expected 21 fields, found " + std::to_string(fields->size());
    } else {
      const std::vector<std::string>& f = *fields;
      row.recordName = platform::big5ToUtf8(f[0]);
      row.id = platform::big5ToUtf8(f[1]);
      const std::string condition = platform::big5ToUtf8(f[2]);
      row.eyesClosed = condition == "閉眼";
      row.stop = platform::big5ToUtf8(f[6]);
      const size_t cut = row.recordName.rfind('_');
      const auto when = secondsOfLocalStamp(
          cut == std::string::npos ? row.recordName : row.recordName.substr(cut + 1));
      if (condition != "睜眼" && condition != "閉眼") {
        row.problem = "column 3 is no eyes-open or eyes-closed word";
      } else if (!when) {
        row.problem = "the record name in column 1 holds no time";
      } else {
        row.when = *when;
        row.readable = true;
        for (int k = 0; k < 15 && row.readable; ++k) {
          if (!readNumber(f[kNumberColumns[k]], row.values[k])) {
            row.readable = false;
            row.problem = "column " + std::to_string(kNumberColumns[k] + 1) + " is not a number";
          }
        }
        double quotient = 0;
        if (readNumber(f[19], quotient)) row.rombergArea = quotient;
        if (readNumber(f[20], quotient)) row.rombergPath = quotient;
      }
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace report
