#include "pedalyx/report/insole_handoff.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "pedalyx/report/report_layout.h"
#include "platform/files.h"

namespace report {
namespace {

// Zone shares are carried but not used by the insole tool: one typed beyond 0 to 100 is
// written at the nearest end rather than holding back the customer's insoles.
int share(double percent) { return truncateToInt(std::clamp(percent, 0.0, 100.0)); }

std::string footLine(const char* side, const FootHandoff& foot) {
  const auto& z = foot.windowZones;
  char line[512];  // the widest arch index ("%0.2f" of 1e308) still fits
  std::snprintf(line, sizeof line, "%s %0.2f %d %d %d %d %d %d %d %d\n", side, foot.archIndex,
                truncateToInt(foot.length), truncateToInt(foot.width), share(z[4]), share(z[5]),
                share(z[2]), share(z[3]), share(z[0]), share(z[1]));
  return line;
}

std::string footRefusal(const char* side, const FootHandoff& foot) {
  const std::string prefix = std::string(side) + " ";
  if (!(foot.archIndex >= 0 && foot.archIndex <= 1)) return prefix + "arch index outside 0 to 1";
  if (!(foot.length >= 1 && foot.length <= kLongestHandoffLengthMm)) {
    return prefix + "foot length outside 1 to 400 mm";
  }
  if (!(foot.width >= 0 && foot.width <= kWidestHandoffWidthMm)) {
    return prefix + "foot width outside 0 to 200 mm";
  }
  for (double zone : foot.windowZones) {
    if (std::isnan(zone)) return prefix + "zone share is not a number";
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
