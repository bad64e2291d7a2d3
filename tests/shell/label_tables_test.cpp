#include "pedalyx/shell/label_tables.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const LabelRow& rowOf(LabelTarget target) { return kLabelRows[static_cast<int>(target)]; }

TEST(LabelTables, RowsCarryTheOperatorsTextsInTheirOwnForm) {
  // A few rows written out here, independently of the list: a title, a button whose forms
  // differ, one whose forms agree, the longest text and the analysis window's button.
  struct Expected {
    LabelTarget target;
    const char* traditional;
    const char* simplified;
  } const kExpected[] = {
      {LabelTarget::mainWindow, "足底壓力檢測儀", "足底压力检测仪"},
      {LabelTarget::takePictureButton, "取圖", "取图"},
      {LabelTarget::angleToolButton, "量角度", "量角度"},
      {LabelTarget::shoeTypeOutput, "建議鞋型/鞋墊", "建议鞋型/鞋垫"},
      {LabelTarget::archToolHint,
       "足弓指標：先點腳跟後緣中央，再點第二趾根部（前掌前緣，不含腳趾）",
       "足弓指标：先点脚跟后缘中央，再点第二趾根部（前掌前缘，不含脚趾）"},
      {LabelTarget::historyButton, "歷史", "历史"},
  };
  for (const Expected& expected : kExpected) {
    SCOPED_TRACE(expected.traditional);
    EXPECT_STREQ(labelText(rowOf(expected.target), Language::Traditional), expected.traditional);
    EXPECT_STREQ(labelText(rowOf(expected.target), Language::Simplified), expected.simplified);
  }
  // The foot-size heading drops its unit in both forms.
  EXPECT_STREQ(rowOf(LabelTarget::sizePanelTitle).traditional, "足型尺寸");
}

TEST(LabelTables, EveryRowHasBothFormsAsConstantsTheControlsMayKeep) {
  for (const LabelRow& row : kLabelRows) {
    ASSERT_NE(row.traditional, nullptr);
    ASSERT_NE(row.simplified, nullptr);
    EXPECT_NE(std::string(row.traditional), "") << static_cast<int>(row.target);
    EXPECT_NE(std::string(row.simplified), "") << static_cast<int>(row.target);
    // A widget keeps the pointer it is given, so the text must be the table's own constant.
    EXPECT_EQ(labelText(row, Language::Traditional), row.traditional);
    EXPECT_EQ(labelText(row, Language::Simplified), row.simplified);
  }
}

}  // namespace
