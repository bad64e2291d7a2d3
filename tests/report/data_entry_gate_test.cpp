#include <gtest/gtest.h>

#include <limits>

#include "pedalyx/report/report_gate.h"

using namespace report;

namespace {

ReportGateInput complete() {
  ReportGateInput in;
  in.phone = "0987";
  in.leftLength = 252;
  in.rightLength = 255;
  in.leftWidth = 98;
  in.rightWidth = 99;
  in.leftArch = 0.24;
  in.rightArch = 0.27;
  return in;
}

}  // namespace

TEST(ReportGate, RefusesTheFirstMissingItemInTheOperatorsOrder) {
  ReportGateInput nothing;
  EXPECT_EQ(judgeReportData(nothing), ReportGateVerdict::MissingPhone);

  // Phone filled, right width still 0 and both arch indexes 0: the foot sizes come first.
  ReportGateInput in = complete();
  in.rightWidth = 0;
  in.leftArch = in.rightArch = 0;
  EXPECT_EQ(judgeReportData(in), ReportGateVerdict::MissingFootSize);

  for (double ReportGateInput::*size :
       {&ReportGateInput::leftLength, &ReportGateInput::rightLength, &ReportGateInput::leftWidth}) {
    ReportGateInput one = complete();
    one.*size = 0;
    EXPECT_EQ(judgeReportData(one), ReportGateVerdict::MissingFootSize);
  }

  in = complete();
  in.rightArch = 0;
  EXPECT_EQ(judgeReportData(in), ReportGateVerdict::MissingArchIndex);

  in = complete();
  in.phone = " ";  // only an empty text is missing
  EXPECT_EQ(judgeReportData(in), ReportGateVerdict::Complete);

  in = complete();
  in.leftLength = 0.0001;  // small but not exactly 0
  EXPECT_EQ(judgeReportData(in), ReportGateVerdict::Complete);
}

// A typed "inf", a huge number or a negative value would otherwise reach the report, the
// database and the insole hand-off.
TEST(ReportGate, RefusesValuesNoFootCanHave) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double bad : {inf, -inf, nan, -250.0, 1e30}) {
    ReportGateInput in = complete();
    in.rightLength = bad;
    EXPECT_EQ(judgeReportData(in), ReportGateVerdict::MissingFootSize) << bad;
    in = complete();
    in.leftWidth = bad;
    EXPECT_EQ(judgeReportData(in), ReportGateVerdict::MissingFootSize) << bad;
    in = complete();
    in.leftArch = bad;
    EXPECT_EQ(judgeReportData(in), ReportGateVerdict::MissingArchIndex) << bad;
  }
  // Wider than any foot, and than the insole tool takes: the report would lose its insoles.
  for (double wide : {201.0, 250.0}) {
    ReportGateInput in = complete();
    in.rightWidth = wide;
    EXPECT_EQ(judgeReportData(in), ReportGateVerdict::MissingFootSize) << wide;
  }
  ReportGateInput in = complete();
  in.rightArch = 1.2;
  EXPECT_EQ(judgeReportData(in), ReportGateVerdict::MissingArchIndex);
  in = complete();
  in.leftLength = 400;  // the longest foot the fields can mean
  in.leftWidth = 200;
  in.rightArch = 1;
  EXPECT_EQ(judgeReportData(in), ReportGateVerdict::Complete);
}

TEST(ReportGate, MessagesCarryTheirExactTextsAndCaptions) {
  GateMessage phone = gateMessage(ReportGateVerdict::MissingPhone);
  EXPECT_EQ(phone.text, "聯絡方式欄位空白");
  EXPECT_EQ(phone.caption, "聯絡方式為必填項目");
  GateMessage size = gateMessage(ReportGateVerdict::MissingFootSize);
  EXPECT_EQ(size.text, "請輸入腳掌長寬");
  EXPECT_EQ(size.caption, "腳掌長寬為必填項目");
  GateMessage arch = gateMessage(ReportGateVerdict::MissingArchIndex);
  EXPECT_EQ(arch.text, "請輸入足弓指標");
  EXPECT_EQ(arch.caption, "足弓指標為必填項目");
}
