#include "platform/clock.h"

#include <ctime>

namespace platform {

int64_t epochSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

LocalTime localTime(int64_t seconds) {
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm parts{};
  localtime_r(&t, &parts);
  return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                   parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

}  // namespace platform
