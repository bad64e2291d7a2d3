#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "scratch_folder.h"

namespace {

TEST(CommandLine, WindowsProgramNameMapsToTheLinuxFile) {
  EXPECT_EQ(platform::commandLineToArguments("./Cobblet.exe"),
            (std::vector<std::string>{"./Cobblet"}));
  EXPECT_EQ(platform::commandLineToArguments("osk.EXE  \"a b\" c"),
            (std::vector<std::string>{"osk", "a b", "c"}));
  EXPECT_TRUE(platform::commandLineToArguments("   ").empty());
}

TEST(StartProgram, StartsWithoutWaitingAndReportsMissingPrograms) {
  std::string marker = "/tmp/station-process-test-" + std::to_string(getpid());
  platform::removeFile(marker);
  ASSERT_TRUE(platform::startProgram("/bin/sh -c \"sleep 0.2; touch " + marker + "\""));
  EXPECT_FALSE(platform::fileExists(marker));  // returned before the child finished
  for (int i = 0; i < 100 && !platform::fileExists(marker); ++i) usleep(20000);
  EXPECT_TRUE(platform::fileExists(marker));
  platform::removeFile(marker);
  EXPECT_FALSE(platform::startProgram("./no-such-program.exe"));
}

// An installed station starts "./Cobblet" from the station folder, where only the build tree
// has a copy; the installed one lies beside the running program.
TEST(StartProgram, RelativeProgramMissingHereIsTheOneBesideTheRunningProgram) {
  ScratchFolder folder("station-locate");
  const std::string scratch = folder.path();
  const std::string bin = scratch + "/bin", station = scratch + "/station";
  platform::makeDirectory(bin);
  platform::makeDirectory(station);
  ASSERT_TRUE(platform::writeFileAtomic(bin + "/Cobblet", "#!/bin/sh\n"));
  chmod((bin + "/Cobblet").c_str(), 0755);
  const std::string here = platform::currentDirectory();
  ASSERT_EQ(chdir(station.c_str()), 0);
  EXPECT_EQ(platform::locateProgram("./Cobblet", bin), bin + "/./Cobblet");
  EXPECT_EQ(platform::locateProgram("./Other", bin), "./Other");
  EXPECT_EQ(platform::locateProgram("onboard", bin), "onboard");  // searched on PATH
  // The build tree's staged copy in the working directory still wins.
  platform::writeFileAtomic(station + "/Cobblet", "#!/bin/sh\n");
  chmod((station + "/Cobblet").c_str(), 0755);
  EXPECT_EQ(platform::locateProgram("./Cobblet", bin), "./Cobblet");
  ASSERT_EQ(chdir(here.c_str()), 0);
}

}  // namespace
