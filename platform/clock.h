// Wall clock of the station: calendar seconds and the local calendar time.
#pragma once
#include <cstdint>

namespace platform {

struct LocalTime {
  int year;    // e.g. 2026
  int month;   // 1..12
  int day;     // 1..31
  int hour;    // 0..23
  int minute;  // 0..59
  int second;  // 0..60
};

// Whole seconds since the epoch.
int64_t epochSeconds();

// The local calendar time of the given calendar seconds.
LocalTime localTime(int64_t seconds);

}  // namespace platform
