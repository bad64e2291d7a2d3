#include "platform/process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/files.h"

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

}  // namespace
