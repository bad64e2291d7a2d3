#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "pedalyx/imaging/colour_scale.h"
#include "pedalyx/imaging/colour_table.h"
#include "pedalyx/imaging/filter_settings.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace {

using Values = std::vector<float>;

TEST(FilterSettings, StartValueOneAndMissingNumbersRepeatTheLastOne) {
  EXPECT_EQ(parseSettingValues("7.000000\n3.500000\n", 2), (Values{7.0f, 3.5f}));
  EXPECT_EQ(parseSettingValues("", 2), (Values{1.0f, 1.0f}));
  EXPECT_EQ(parseSettingValues("9\n", 2), (Values{9.0f, 9.0f}));
  // A word stops the reading: everything after it repeats the last number.
  EXPECT_EQ(parseSettingValues("1 2 x 4 5 6", 6), (Values{1, 2, 2, 2, 2, 2}));
  EXPECT_EQ(parseSettingValues("10 20 30 40 50 60 70", 6), (Values{10, 20, 30, 40, 50, 60}));

  ScratchFolder scratch("noise-settings");
  const std::string path = scratch / "noise.txt";
  ASSERT_TRUE(platform::writeFileAtomic(path, "12.000000\n"));
  EXPECT_EQ(readSettingValues(path, 2), (Values{12.0f, 12.0f}));
  EXPECT_FALSE(readSettingValues(testing::TempDir() + "/no_such_noise.txt", 2).has_value());
}

TEST(ColourTable, NumbersKeepTheirLowEightBitsAndMissingOnesStayZero) {
  unsigned char table[768];
  EXPECT_EQ(parseColourTable("1 2 3  256 300 -1\n511", table), 7);
  EXPECT_EQ(table[0], 1);
  EXPECT_EQ(table[3], 0);
  EXPECT_EQ(table[4], 44);
  EXPECT_EQ(table[5], 255);
  EXPECT_EQ(table[6], 255);
  EXPECT_EQ(table[7], 0);
  EXPECT_EQ(table[767], 0);
}

TEST(ColourTable, MissingFileLeavesAnAllZeroTableAndSaysSo) {
  unsigned char table[768];
  std::fill(table, table + 768, 0xAB);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(loadColourTableFile(testing::TempDir() + "/no_such_table.txt", table));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "open file error\n");
  for (unsigned char byte : table) ASSERT_EQ(byte, 0);
}

TEST(ColourTable, StationScaleIsDistinctStartsAtNoLoadAndRunsCoolToWarm) {
  unsigned char table[768];
  makeColourScale(table);
  std::set<std::tuple<int, int, int>> colours;
  for (int i = 0; i < 256; ++i) colours.insert({table[3 * i], table[3 * i + 1], table[3 * i + 2]});
  EXPECT_EQ(colours.size(), 256u);
  // Low levels blue, high levels red.
  EXPECT_GT(table[3 * 1 + 2], table[3 * 1]);
  EXPECT_GT(table[3 * 255], table[3 * 255 + 2]);
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(levelOfColour(table, table[3 * i], table[3 * i + 1], table[3 * i + 2]), i);

  // The staged file is what the station loads: it must parse back to the same table.
  unsigned char staged[768];
  ASSERT_TRUE(loadColourTableFile(STATION_DIR "/lut_ancestor.txt", staged));
  EXPECT_TRUE(std::equal(table, table + 768, staged));
}

}  // namespace
