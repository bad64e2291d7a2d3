#include "pedalyx/report/report_gate.h"

#include <cmath>

#include "pedalyx/imaging/shoe_size.h"

namespace report {

namespace {

bool within(double value, double largest) {
  return std::isfinite(value) && value > 0 && value <= largest;
}

}  // namespace

ReportGateVerdict judgeReportData(const ReportGateInput& in) {
  if (in.phone.empty()) return ReportGateVerdict::MissingPhone;
  for (double length : {in.leftLength, in.rightLength})
    if (!within(length, kLongestFootMm)) return ReportGateVerdict::MissingFootSize;
  for (double width : {in.leftWidth, in.rightWidth})
    if (!within(width, kWidestFootMm)) return ReportGateVerdict::MissingFootSize;
  if (!within(in.leftArch, 1) || !within(in.rightArch, 1))
    return ReportGateVerdict::MissingArchIndex;
  return ReportGateVerdict::Complete;
}

GateMessage gateMessage(ReportGateVerdict verdict) {
  switch (verdict) {
    case ReportGateVerdict::MissingPhone:
      return {"聯絡方式欄位空白", "聯絡方式為必填項目"};
    case ReportGateVerdict::MissingFootSize:
      return {"請輸入腳掌長寬", "腳掌長寬為必填項目"};
    case ReportGateVerdict::MissingArchIndex:
      return {"請輸入足弓指標", "足弓指標為必填項目"};
    case ReportGateVerdict::Complete:
      break;
  }
  return {};
}

}  // namespace report
