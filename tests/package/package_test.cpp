// What the Debian package installs and declares, and what Debian's own checkers say about it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "unpacked_package.h"

namespace {

using namespace package_test;

class Package : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    deb_ = debFile();
    scratch_ = scratchFolder();
    if (!deb_.empty()) root_ = unpack(deb_, scratch_);
  }
  static void TearDownTestSuite() { removeWhenPassed(scratch_); }
  void SetUp() override {
    ASSERT_FALSE(deb_.empty()) << "no single package in " PACKAGE_DIR;
    ASSERT_FALSE(root_.empty()) << "dpkg -x failed on " << deb_;
  }
  static std::string deb_, scratch_, root_;
};

std::string Package::deb_, Package::scratch_, Package::root_;

TEST_F(Package, LintianFindsNoError) {
  std::string report = run("lintian --fail-on error '" + deb_ + "' 2>&1; echo rc=$?");
  EXPECT_NE(report.find("rc=0\n"), std::string::npos) << report;
}

TEST_F(Package, InstallsTheProgramsTheCommandAndEveryStagedDataFile) {
  for (const char* program : {"pedalyx", "Pedalyx", "Cobblet"}) {
    EXPECT_EQ(access((root_ + "/usr/bin/" + program).c_str(), X_OK), 0) << program;
  }
  std::vector<std::string> staged = filesIn(DATA_DIR);
  staged.erase(std::remove(staged.begin(), staged.end(), "README.md"), staged.end());
  ASSERT_GE(staged.size(), 10u);
  EXPECT_EQ(filesIn(root_ + "/usr/share/pedalyx"), staged);
  for (const std::string& name : staged) {
    EXPECT_EQ(platform::readWholeFile(root_ + "/usr/share/pedalyx/" + name),
              platform::readWholeFile(std::string(DATA_DIR) + "/" + name))
        << name;
  }
}

TEST_F(Package, MenuEntryIsValidAndStartsTheInstalledCommand) {
  const std::string entry = root_ + "/usr/share/applications/pedalyx.desktop";
  std::string verdict = run("desktop-file-validate '" + entry + "' 2>&1; echo rc=$?");
  EXPECT_EQ(verdict, "rc=0\n");
  EXPECT_EQ(access((root_ + "/usr/bin/" + desktopEntryValue(root_, "Exec")).c_str(), X_OK), 0);
  EXPECT_EQ(desktopEntryValue(root_, "Name[zh_TW]"), "足底壓力檢測儀");
  EXPECT_NE(desktopEntryValue(root_, "Categories").find("MedicalSoftware"), std::string::npos);
  EXPECT_TRUE(platform::fileExists(root_ + "/usr/share/icons/hicolor/scalable/apps/" +
                                   desktopEntryValue(root_, "Icon") + ".svg"));
}

TEST_F(Package, DeclaresTheLibrariesTheReportFontAndTheKeyboard) {
  std::string depends = run("dpkg-deb -f '" + deb_ + "' Depends");
  EXPECT_NE(depends.find("fonts-noto-cjk"), std::string::npos) << depends;
  EXPECT_NE(depends.find("libfltk1.3"), std::string::npos) << depends;
  EXPECT_NE(depends.find("libhpdf"), std::string::npos) << depends;
  EXPECT_EQ(run("dpkg-deb -f '" + deb_ + "' Recommends"), "onboard\n");
}

}  // namespace
