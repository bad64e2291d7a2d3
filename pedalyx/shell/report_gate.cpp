#include "pedalyx/shell/report_gate.h"

namespace shell {

ReportGateVerdict judgeReportData(const ReportGateInput& in) {
  if (in.phone.empty()) return ReportGateVerdict::MissingPhone;
  for (double size : {in.leftLength, in.rightLength, in.leftWidth, in.rightWidth})
    if (size == 0) return ReportGateVerdict::MissingFootSize;
  if (in.leftArch == 0 || in.rightArch == 0) return ReportGateVerdict::MissingArchIndex;
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

}  // namespace shell
