#include "pedalyx/report/insole_handoff.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "pedalyx/report/report_layout.h"
#include "platform/files.h"

namespace report {
namespace {

using Numbers = std::array<double, platform::kHandoffNumbersPerSide>;

// A side's numbers in file order, as they are given.
Numbers givenNumbers(const FootHandoff& foot) {
  const auto& z = foot.windowZones;
  return {foot.archIndex, foot.length, foot.width, z[4], z[5], z[2], z[3], z[0], z[1]};
}

// The same as they are written: whole millimetres and whole percent. Zone shares are carried
// but not used by the insole tool: one typed beyond 0 to 100 is written at the nearest end
// rather than holding back the customer's insoles.
Numbers writtenNumbers(const FootHandoff& foot) {
  Numbers numbers = givenNumbers(foot);
  for (size_t i = 1; i < numbers.size(); ++i) {
    const double value = i >= 3 ? std::clamp(numbers[i], 0.0, 100.0) : numbers[i];
    numbers[i] = truncateToInt(value);
  }
  return numbers;
}

std::string footLine(const char* side, const FootHandoff& foot) {
  const Numbers n = writtenNumbers(foot);
  char line[512];  // the widest arch index ("%0.2f" of 1e308) still fits
  std::snprintf(line, sizeof line, "%s %0.2f %d %d %d %d %d %d %d %d\n", side, foot.archIndex,
                int(n[1]), int(n[2]), int(n[3]), int(n[4]), int(n[5]), int(n[6]), int(n[7]),
                int(n[8]));
  return line;
}

std::string footRefusal(const char* side, const FootHandoff& foot) {
  const Numbers given = givenNumbers(foot), written = writtenNumbers(foot);
  for (size_t i = 0; i < given.size(); ++i) {
    // Truncation would hide a number that is not one ("nan" is written as 0).
    const double judged = std::isnan(given[i]) ? given[i] : written[i];
    if (const char* why = platform::handoffNumberRefusal(static_cast<int>(i), judged))
      return std::string(side) + " " + why;
  }
  return std::string();
}

}  // namespace

std::string handoffRefusal(const FootHandoff& left, const FootHandoff& right) {
  std::string refusal = footRefusal("left", left);
  return refusal.empty() ? footRefusal("right", right) : refusal;
}

std::string formatInsoleHandoff(const FootHandoff& left, const FootHandoff& right,
                                const std::string& reportName) {
  return footLine("left", left) + footLine("right", right) + reportName;
}

bool writeInsoleHandoff(const std::string& path, const std::string& content) {
  return platform::writeFileAtomic(path, content);
}

}  // namespace report
