// Foot types, shoe-type advice and the framed columns of the reference strip.
#include <gtest/gtest.h>

#include "pedalyx/report/foot_type_classifier.h"
#include "pedalyx/report/report_layout.h"

namespace {

TEST(ReferenceColumns, FollowTheTypedValues) {
  EXPECT_EQ(leftReferenceColumn(0.25), 2);
  EXPECT_EQ(rightReferenceColumn(0.31), 7);
  // Typed 0.21 is a double 0.21 and therefore not below 0.21.
  EXPECT_EQ(leftReferenceColumn(0.21), 2);
  EXPECT_EQ(rightReferenceColumn(0.21), 5);
  EXPECT_EQ(leftReferenceColumn(0.2), 3);
  EXPECT_EQ(rightReferenceColumn(0.2), 4);
  EXPECT_EQ(leftReferenceColumn(0.29), 1);
  EXPECT_EQ(rightReferenceColumn(0.29), 6);
  EXPECT_EQ(leftReferenceColumn(0.30), 0);
}

TEST(FootType, ComputedFloatValuesAreWidenedBeforeComparing) {
  EXPECT_EQ(footTypeText(true, 0.21f, true), "高弓足");  // 0.2099999934
  EXPECT_EQ(footTypeText(true, 0.23f, false), "正常足");
  EXPECT_EQ(footTypeText(true, 0.30f, true), "重度扁平");  // 0.3000000119
  EXPECT_EQ(footTypeText(true, 0.32f, false), "重度扁平");
  EXPECT_EQ(footTypeText(false, 0.32f, false), "");
}

// The normal foot ends at 0.26 for every rule that reads it: the type, the strip's column, the
// shoe-type advice and the report's shoe-type marks.
TEST(FootType, FlatFootBeginsAtTheSameBoundaryEverywhere) {
  EXPECT_EQ(footTypeText(true, 0.259f, true), "正常足");
  EXPECT_EQ(footTypeText(true, 0.261f, true), "輕度扁平");
  EXPECT_EQ(leftReferenceColumn(0.2599), 2);
  EXPECT_EQ(leftReferenceColumn(0.26), 1);
  EXPECT_EQ(shoeTypeAdvice(true, 0.259f, true, 0.23f), "基础功能型");
  EXPECT_EQ(shoeTypeAdvice(true, 0.261f, true, 0.23f), "控制型");
  EXPECT_EQ(report::shoeTypeDots(0.2599, 0.23).size(), 2u) << "basic-function type";
  EXPECT_EQ(report::shoeTypeDots(0.26, 0.23).at(0).y, 140) << "control type";
}

TEST(FootType, MildFlatFootHasBothCharacterForms) {
  EXPECT_EQ(footTypeText(true, 0.28f, true), "輕度扁平");
  EXPECT_EQ(footTypeText(true, 0.28f, false), "轻度扁平");
}

TEST(ShoeType, UnmeasuredFeetNeverDecide) {
  EXPECT_EQ(shoeTypeAdvice(false, 0.0f, true, 0.32f), "控制型");
  EXPECT_EQ(shoeTypeAdvice(true, 0.18f, false, 0.0f), "超级稳定型");
  EXPECT_EQ(shoeTypeAdvice(true, 0.23f, true, 0.23f), "基础功能型");
  // An unmeasured foot carrying a stale low or high value does not count.
  EXPECT_EQ(shoeTypeAdvice(false, 0.05f, true, 0.23f), "基础功能型");
  EXPECT_EQ(shoeTypeAdvice(true, 0.23f, false, 0.9f), "基础功能型");
  EXPECT_EQ(shoeTypeAdvice(false, 0.0f, false, 0.0f), "基础功能型");
  // Control wins over super-stable.
  EXPECT_EQ(shoeTypeAdvice(true, 0.18f, true, 0.27f), "控制型");
}

}  // namespace
