#include "pedalyx/report/insole_handoff.h"

#include <cstdio>

#include "pedalyx/report/report_layout.h"
#include "platform/files.h"

namespace report {
namespace {

std::string footLine(const char* side, const FootHandoff& foot) {
  const auto& z = foot.windowZones;
  char line[512];  // the widest arch index ("%0.2f" of 1e308) still fits
  std::snprintf(line, sizeof line, "%s %0.2f %d %d %d %d %d %d %d %d\n", side, foot.archIndex,
                truncateToInt(foot.length), truncateToInt(foot.width), truncateToInt(z[4]),
                truncateToInt(z[5]), truncateToInt(z[2]), truncateToInt(z[3]), truncateToInt(z[0]),
                truncateToInt(z[1]));
  return line;
}

}  // namespace

std::string formatInsoleHandoff(const FootHandoff& left, const FootHandoff& right,
                                const std::string& reportName) {
  return footLine("left", left) + footLine("right", right) + reportName;
}

bool writeInsoleHandoff(const std::string& path, const std::string& content) {
  return platform::writeFileAtomic(path, content);
}

}  // namespace report
