// Runs Debian's admesh on an STL file and reads the figures of its report, so that tests can
// demand a watertight, consistently oriented model with no repair needed.
#pragma once
#include <regex>
#include <string>

#include "tools/desktop_driver.h"

namespace admesh {

inline std::string report(const std::string& path) {
  return desktop::run("admesh '" + path + "' 2>&1");
}

// The first whole number after "label :" in the report; -1 when the label is missing.
inline int figure(const std::string& report, const std::string& label) {
  std::smatch match;
  if (!std::regex_search(report, match, std::regex(label + "\\s*:\\s*(\\d+)"))) return -1;
  return std::stoi(match[1]);
}

// The labels whose figures are 0 for a model that needed nothing fixed.
inline const char* const kRepairLabels[] = {"Total disconnected facets",
                                            "Degenerate facets",
                                            "Edges fixed",
                                            "Facets removed",
                                            "Facets added",
                                            "Facets reversed",
                                            "Backwards edges",
                                            "Normals fixed"};

}  // namespace admesh
