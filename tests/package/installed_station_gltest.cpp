// The station as a shop installs it: the package unpacked into a scratch root, the menu entry's
// command started with a fresh home, and the road from "取圖" to the report and the insoles
// played by tools/play_examination as an operator would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <regex>

#include "unpacked_package.h"

namespace {

using namespace package_test;

class InstalledStation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string deb = debFile();
    const std::string& scratch = scratch_ = scratchFolder();
    if (deb.empty() || (root_ = unpack(deb, scratch)).empty()) return;
    played_ = scratch + "/played";
    station_ = played_ + "/.home/.local/share/pedalyx";
    const std::string command = root_ + "/usr/bin/" + desktopEntryValue(root_, "Exec");
    int status = std::system((std::string(TOOLS_DIR) + "/play_examination --installed '" + command +
                              "' '" + played_ + "' > '" + scratch + "/player.txt' 2>&1")
                                 .c_str());
    ranToTheEnd_ = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    player_ = platform::readWholeFile(scratch + "/player.txt").value_or("");
  }
  static void TearDownTestSuite() { removeWhenPassed(scratch_); }

  void SetUp() override {
    ASSERT_FALSE(root_.empty()) << "no package unpacked from " PACKAGE_DIR;
    ASSERT_TRUE(ranToTheEnd_) << player_ << "\nscreenshots in " << played_;
  }

  static std::string scratch_, root_, played_, station_, player_;
  static bool ranToTheEnd_;
};

std::string InstalledStation::scratch_, InstalledStation::root_, InstalledStation::played_,
    InstalledStation::station_, InstalledStation::player_;
bool InstalledStation::ranToTheEnd_ = false;

TEST_F(InstalledStation, WorksInItsStationFolderFilledWithTheInstalledData) {
  std::string console = platform::readWholeFile(played_ + "/pedalyx_console.txt").value_or("");
  EXPECT_NE(console.find("system_path " + station_ + "\n"), std::string::npos) << console;
  const std::string data = root_ + "/usr/share/pedalyx";
  for (const std::string& name : filesIn(data)) {
    EXPECT_EQ(platform::readWholeFile(station_ + "/" + name),
              platform::readWholeFile(data + "/" + name))
        << name;
  }
}

TEST_F(InstalledStation, ReportAndInsolesAreWrittenIntoTheStationFolderOnly) {
  std::vector<std::string> reports = filesIn(station_ + "/PDF_INSOLES");
  ASSERT_EQ(reports.size(), 5u);
  EXPECT_TRUE(std::regex_match(reports[0], std::regex("[0-9]+_20[0-9]{10}\\.pdf"))) << reports[0];
  const std::string name = reports[0].substr(0, reports[0].size() - 4);
  EXPECT_EQ(reports[1], name + "_iLeft.bmp");  // the insole tool was found and ran
  EXPECT_EQ(reports[2], name + "_iLeft.stl");
  EXPECT_EQ(reports[3], name + "_iRight.bmp");
  EXPECT_EQ(reports[4], name + "_iRight.stl");
  EXPECT_EQ(filesIn(station_ + "/FOOT_PRESSURE"), std::vector<std::string>{name + ".png"});
  // Neither where the command was started nor the installed data folder got any of it.
  EXPECT_FALSE(platform::fileExists(played_ + "/PDF_INSOLES"));
  EXPECT_FALSE(platform::fileExists(root_ + "/usr/share/pedalyx/PDF_INSOLES"));
  EXPECT_FALSE(platform::fileExists(root_ + "/usr/bin/PDF_INSOLES"));
}

}  // namespace
