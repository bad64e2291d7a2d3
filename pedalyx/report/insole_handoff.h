// The hand-off file through which the insole tool receives both feet and the report name.
// Three items: "left ..." line, "right ..." line, then the report name with no line end. Its
// name and limits are those of platform/insole_handoff_contract.h.
#pragma once
#include <array>
#include <string>

#include "platform/insole_handoff_contract.h"

namespace report {

inline const std::string kInsoleHandoffPath = std::string("./") + platform::kInsoleHandoffName;

// One foot as the main window shows it.
struct FootHandoff {
  double archIndex = 0;
  double length = 0, width = 0;  // millimetres
  // Six zone shares in percent, in the window's order: forefoot left, forefoot right,
  // middle left, middle right, heel left, heel right.
  std::array<double, 6> windowZones{};
};

// Why the feet cannot be handed over ("left foot width outside 0 to 200 mm"), or "" when
// they can: every number is judged as it would be written (lengths and widths truncated,
// shares limited to 0 to 100) by the insole tool's limits, and one that is not a number at all
// is refused. The insole tool refuses such a file, so it is never written.
std::string handoffRefusal(const FootHandoff& left, const FootHandoff& right);

// The exact bytes of the file for feet handoffRefusal accepts. Zones are written heel first (zone 0
// heel-left ... zone 5 forefoot-right); lengths, widths and shares are truncated (shares limited to
// 0 to 100), the arch index has two decimals.
std::string formatInsoleHandoff(const FootHandoff& left, const FootHandoff& right,
                                const std::string& reportName);

// Replaces the file whole (temporary file, then rename), so the insole tool, which polls for
// it, never reads half a file. False when it could not be written.
bool writeInsoleHandoff(const std::string& path, const std::string& content);

}  // namespace report
