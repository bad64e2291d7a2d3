#include <gtest/gtest.h>

#include "pedalyx/report/insole_handoff.h"
#include "platform/files.h"

using namespace report;

TEST(InsoleHandoff, BytesAreExactWithZonesHeelFirstAndNoFinalLineEnd) {
  FootHandoff left{0.254, 253.9, 98.2, {25, 20, 18, 15, 12, 10}};
  FootHandoff right{0.256, 255.0, 99.99, {24, 20, 17, 16, 11, 12}};
  EXPECT_EQ(formatInsoleHandoff(left, right, "0987_202612061704"),
            "left 0.25 253 98 12 10 18 15 25 20\n"
            "right 0.26 255 99 11 12 17 16 24 20\n"
            "0987_202612061704");

  // Shares typed beyond 0 to 100 are written at the nearer end.
  EXPECT_NE(formatInsoleHandoff(FootHandoff{0.2, 250, 90, {0, 0, 0, 0, 170, -5}}, right, "n")
                .find("left 0.20 250 90 100 0 "),
            std::string::npos);

  FootHandoff truncated{0.2, 252.9, 0, {99.99, 0, 0, 0, 0, 0}};
  EXPECT_EQ(formatInsoleHandoff(truncated, truncated, "x").substr(0, 17), "left 0.20 252 0 0");
}

TEST(InsoleHandoff, ExtremeValuesStillGiveThreeWholeItems) {
  FootHandoff wild{1e308, 1e300, -1e300, {}};
  std::string content = formatInsoleHandoff(wild, wild, "name");
  EXPECT_EQ(content.rfind("\nname"), content.size() - 5);
  EXPECT_NE(content.find(" 2147483647 -2147483648 "), std::string::npos);
  EXPECT_NE(content.find("\nright "), std::string::npos);
}

TEST(InsoleHandoff, WriteReplacesTheOldFileWhole) {
  std::string path = "handoff_test_info.txt";
  ASSERT_TRUE(platform::writeFileAtomic(path, std::string(5000, 'x')));
  ASSERT_TRUE(writeInsoleHandoff(path, "left 1\nright 2\nname"));
  EXPECT_EQ(platform::readWholeFile(path).value_or(""), "left 1\nright 2\nname");
  platform::removeFile(path);
  EXPECT_FALSE(writeInsoleHandoff("no_such_folder/insole_info.txt", "x"));
}
