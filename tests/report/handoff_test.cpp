#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "cobblet/handoff_reader.h"
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

// The station writes what the insole tool reads, through the one contract: the feet arrive as
// written, and at every limit a foot the station refuses is one the insole tool refuses too.
TEST(InsoleHandoff, WhatTheStationWritesTheInsoleToolReadsAndJudgesAlike) {
  char pattern[] = "/tmp/station-handoff-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const FootHandoff left{0.254, 253.9, 98.2, {25, 20, 18, 15, 12, 10}};
  const FootHandoff right{0.256, 255.0, 99.99, {24, 20, 17, 16, 11, 12}};
  ASSERT_EQ(handoffRefusal(left, right), "");
  ASSERT_TRUE(writeInsoleHandoff(platform::joinPath(folder, platform::kInsoleHandoffName),
                                 formatInsoleHandoff(left, right, "0987_202612061704")));
  cobblet::HandoffFields fields;
  std::string log;
  ASSERT_EQ(cobblet::readHandoffFile(folder, fields, log), cobblet::HandoffRead::kApplied) << log;
  EXPECT_EQ(fields.recordName, "0987_202612061704");
  const std::array<float, 9> leftRead{0.25f, 253, 98, 12, 10, 18, 15, 25, 20};
  const std::array<float, 9> rightRead{0.26f, 255, 99, 11, 12, 17, 16, 24, 20};
  EXPECT_EQ(fields.left.values, leftRead);
  EXPECT_EQ(fields.right.values, rightRead);
  std::system(("rm -rf '" + folder + "'").c_str());

  const double nan = std::nan("");
  const FootHandoff edges[] = {
      {1, 400, 200, {100, 100, 100, 100, 100, 100}},
      {0, 1, 0, {}},
      {0.25, 400.7, 200.9, {}},  // written as 400 and 200
      {1.01, 250, 90, {}},
      {-0.01, 250, 90, {}},
      {nan, 250, 90, {}},
      {0.25, 401, 90, {}},
      {0.25, 0.6, 90, {}},  // written as 0
      {0.25, 250, 201, {}},
      {0.25, 250, 250, {}},
      {0.25, 250, -1, {}},
  };
  for (const FootHandoff& foot : edges) {
    const bool stationHandsOver = handoffRefusal(foot, right).empty();
    cobblet::HandoffFields read;
    const bool toolTakes =
        cobblet::applyHandoffText(formatInsoleHandoff(foot, right, "N"), 9, read, log);
    EXPECT_EQ(stationHandsOver, toolTakes) << formatInsoleHandoff(foot, right, "N");
  }
}
