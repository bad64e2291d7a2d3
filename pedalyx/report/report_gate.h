// The check made before a report is composed: the contact field, both feet's length and
// width, and both arch indexes must be filled in.
#pragma once
#include <string>

#include "platform/insole_handoff_contract.h"

namespace report {

struct ReportGateInput {
  std::string phone;
  double leftLength = 0, rightLength = 0, leftWidth = 0, rightWidth = 0;
  double leftArch = 0, rightArch = 0;
};

enum class ReportGateVerdict { MissingPhone, MissingFootSize, MissingArchIndex, Complete };

// The widest foot the width fields can mean, in millimetres (lengths: kLongestFootMm): the
// widest the insole tool takes, so a report the gate lets through is never refused its insoles.
constexpr double kWidestFootMm = platform::kHandoffWidestFootMm;

// The first missing item, in the order the operator is told about them. Only an empty phone
// text is missing (a single space counts as filled); a length, width or arch index is missing
// when it holds 0 or anything a foot cannot have: not finite, negative, a length over
// kLongestFootMm, a width over kWidestFootMm or an arch index over 1.
ReportGateVerdict judgeReportData(const ReportGateInput& input);

struct GateMessage {
  std::string text, caption;
};

// The message box shown for a refused report; not meant for Complete.
GateMessage gateMessage(ReportGateVerdict verdict);

}  // namespace report
