#include "pedalyx/shell/settings_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "scratch_folder.h"

namespace {

std::string bytesOf(const std::string& path) {
  return platform::readWholeFile(path).value_or("<missing>");
}

TEST(SettingsFileBytes, FiltersBlocksAndLanguageUseTheStationsLayout) {
  ScratchFolder scratch("station-settings");
  const std::string folder = scratch.path();
  ASSERT_TRUE(settings::saveFilterSettings(folder, 7, 6.5));
  EXPECT_EQ(bytesOf(folder + "/noise.txt"), "7.000000\r\n6.500000\r\n");

  // Creation order of the sliders: left, right, middle left, middle right, bottom, top.
  const double blocks[6] = {0.05, 0.95, 0.33, 0.65, 0.0125, 1};
  ASSERT_TRUE(settings::saveBlockSettings(folder, blocks));
  EXPECT_EQ(bytesOf(folder + "/blue_block.txt"),
            "0.050000\r\n0.950000\r\n0.330000\r\n0.650000\r\n0.012500\r\n1.000000\r\n");

  ASSERT_TRUE(settings::saveLanguage(folder, 1));
  EXPECT_EQ(bytesOf(folder + "/language_choice.txt"), "1");
  ASSERT_TRUE(settings::saveLanguage(folder, 0));
  EXPECT_EQ(bytesOf(folder + "/language_choice.txt"), "0");
}

TEST(CaseTexts, AreStoredExactlyWithoutLineEndAndReadBack) {
  ScratchFolder scratch("station-settings");
  const std::string folder = scratch.path();
  const std::string text = "flat foot, left 2";
  ASSERT_EQ(text.size(), 17u);
  ASSERT_TRUE(settings::saveControlText(folder, "tx_case_2", text));
  EXPECT_EQ(bytesOf(folder + "/tx_case_2.txt"), text);
  EXPECT_EQ(settings::loadControlText(folder, "tx_case_2").value_or("<none>"), text);

  // Chinese text is kept byte for byte; an emptied field leaves an empty file.
  ASSERT_TRUE(settings::saveControlText(folder, "tx_case_3", "扁平足"));
  EXPECT_EQ(settings::loadControlText(folder, "tx_case_3").value_or("<none>"), "扁平足");
  ASSERT_TRUE(settings::saveControlText(folder, "tx_case_3", ""));
  EXPECT_EQ(bytesOf(folder + "/tx_case_3.txt"), "");
  EXPECT_EQ(settings::loadControlText(folder, "tx_case_3").value_or("<none>"), "");
}

TEST(CaseTexts, LineEndsAreCrLfOnDiskAndPlainInTheField) {
  ScratchFolder scratch("station-settings");
  const std::string folder = scratch.path();
  ASSERT_TRUE(settings::saveControlText(folder, "tx_case_1", "a\nb\n"));
  EXPECT_EQ(bytesOf(folder + "/tx_case_1.txt"), "a\r\nb\r\n");
  EXPECT_EQ(settings::loadControlText(folder, "tx_case_1").value_or("<none>"), "a\nb\n");
  // A lone carriage return is data, not a line end.
  ASSERT_TRUE(platform::writeFileAtomic(folder + "/tx_case_1.txt", "a\rb\r"));
  EXPECT_EQ(settings::loadControlText(folder, "tx_case_1").value_or("<none>"), "a\rb\r");
}

TEST(CaseTexts, LongFilesAreReadWholeAndStopAtTheFirstZeroByte) {
  ScratchFolder scratch("station-settings");
  const std::string folder = scratch.path();
  std::string longText;
  for (int i = 0; longText.size() < 5000; ++i) longText += "case " + std::to_string(i) + "; ";
  ASSERT_TRUE(settings::saveControlText(folder, "tx_case_4", longText));
  EXPECT_EQ(settings::loadControlText(folder, "tx_case_4").value_or("<none>"), longText);

  ASSERT_TRUE(platform::writeFileAtomic(folder + "/tx_case_5.txt", std::string("ab\0cd", 5)));
  EXPECT_EQ(settings::loadControlText(folder, "tx_case_5").value_or("<none>"), "ab");
}

// Every writer must fail without touching the old file and without creating anything.
void expectNothingWritten(const std::string& folder) {
  const double blocks[6] = {0, 1, 0.3, 0.6, 0, 1};
  EXPECT_FALSE(settings::saveControlText(folder, "tx_case_6", "lost"));
  EXPECT_FALSE(settings::saveLanguage(folder, 1));
  EXPECT_FALSE(settings::saveFilterSettings(folder, 5, 6));
  EXPECT_FALSE(settings::saveBlockSettings(folder, blocks));
  EXPECT_FALSE(platform::fileExists(folder + "/language_choice.txt"));
}

TEST(MissingOrReadOnlyFolders, KeepDefaultsSilently) {
  EXPECT_FALSE(settings::loadControlText("/nonexistent-folder-xyz", "tx_case_1").has_value());
  expectNothingWritten("/nonexistent-folder-xyz");

  // A "folder" that is a file cannot be written into, whatever the rights of the process.
  ScratchFolder scratch("station-settings");
  const std::string folder = scratch.path();
  ASSERT_TRUE(platform::writeFileAtomic(folder + "/plain_file", "x"));
  expectNothingWritten(folder + "/plain_file");

  ASSERT_TRUE(settings::saveControlText(folder, "tx_case_6", "kept"));
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  bool ignoresPermissions = access(folder.c_str(), W_OK) == 0;
  if (!ignoresPermissions) expectNothingWritten(folder);
  EXPECT_EQ(settings::loadControlText(folder, "tx_case_6").value_or("<none>"), "kept");
  chmod(folder.c_str(), 0755);
}

TEST(SettingsPaths, RelativeNamesStayRelative) {
  EXPECT_EQ(settings::pathIn("", "noise.txt"), "noise.txt");
  EXPECT_EQ(settings::controlTextPath("/station", "tx_case_1"), "/station/tx_case_1.txt");
}

}  // namespace
