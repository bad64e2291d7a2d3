// Reading "Sway.csv" back: one row per recording, as sway_store writes it (Big5, the database's
// quoting, 21 fields). A row that cannot be read is told with its line and the reason.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace report {

struct SwayRow {
  int line = 0;
  bool readable = false;
  std::string problem;     // why not, when not readable
  std::string content;     // the row's bytes without its line feed
  std::string recordName;  // UTF-8
  std::string id;          // UTF-8 (what Big5 kept of it)
  bool eyesClosed = false;
  int64_t when = 0;  // calendar seconds of the record name's local time
  std::string stop;  // the table's word for how the recording ended, UTF-8
  // Planned s, recorded s, frames, path mm, velocity mm/s, ranges x y, RMS x y, ellipse area,
  // semi-axes, angle, left share mean and spread.
  double values[15] = {};
  std::optional<double> rombergArea, rombergPath;
};

// The names of values[] as the examination store keeps them.
extern const char* const kSwayRowFigureNames[15];
extern const char* const kSwayRowFigureUnits[15];

// The rows of the table's bytes in file order (the header is skipped).
std::vector<SwayRow> readSwayRows(const std::string& bytes);

// Calendar seconds of a local time written as YYYYMMDDhhmm (12 digits) or YYYYMMDDhhmmss
// (14 digits) as one number; nothing when it is no valid time.
std::optional<int64_t> secondsOfLocalStamp(const std::string& digits);

}  // namespace report
