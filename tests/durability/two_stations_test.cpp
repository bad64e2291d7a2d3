// Two stations on one station folder replaced each other's insole hand-offs: the second one
// now says so and does not start, and a station that crashed leaves nothing that stops the next.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/files.h"
#include "platform/station_folder.h"

namespace fs = std::filesystem;

namespace {

// A process that holds the folder as a running station does, until it is killed.
pid_t holdInChild(const std::string& folder) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    const char verdict =
        platform::holdStationFolder(folder) == platform::FolderHold::kHeld ? 'y' : 'n';
    (void)!write(ready[1], &verdict, 1);
    for (;;) pause();
  }
  close(ready[1]);
  char verdict = 'n';
  const bool told = read(ready[0], &verdict, 1) == 1;
  close(ready[0]);
  if (told && verdict == 'y') return child;
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return -1;
}

// Runs the staged station in folder, headless; its exit status, or -1 when it still runs
// after the time limit (it is then killed).
int runStation(const std::string& folder, double seconds) {
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    setenv("PEDALYX_MESSAGE_LOG", "messages.txt", 1);
    setenv("PEDALYX_MESSAGES_LOGGED_ONLY", "1", 1);
    if (!freopen("stderr.txt", "w", stderr)) _exit(127);
    execl(STATION_DIR "/Pedalyx", "Pedalyx", static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(TwoStations, TheSecondOnOneFolderSaysSoAndDoesNotStartAndACrashLeavesNoLock) {
  char pattern[] = "/tmp/station-two-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const pid_t first = holdInChild(folder);
  ASSERT_GT(first, 0) << "the first station could not take its folder";
  EXPECT_EQ(platform::holdStationFolder(folder), platform::FolderHold::kInUse);

  // The second station, the real program, ends at once, before it reads or writes anything.
  EXPECT_EQ(runStation(folder, 20), 1);
  const std::string said = platform::readWholeFile(folder + "/stderr.txt").value_or("");
  EXPECT_NE(said.find("another station is running on this station folder"), std::string::npos)
      << said;
  const std::string shown = platform::readWholeFile(folder + "/messages.txt").value_or("");
  EXPECT_NE(shown.find("另一個工作站正在使用這個工作資料夾"), std::string::npos) << shown;
  EXPECT_NE(shown.find(folder), std::string::npos) << shown;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "stderr.txt" || name == "messages.txt")
        << "the refused station wrote " << name;
  }

  // The first one crashes: the folder is free for the next at once.
  kill(first, SIGKILL);
  waitpid(first, nullptr, 0);
  const pid_t next = holdInChild(folder);
  EXPECT_GT(next, 0) << "a crashed station left its folder locked";
  if (next > 0) {
    kill(next, SIGKILL);
    waitpid(next, nullptr, 0);
  }
  fs::remove_all(folder);
}

}  // namespace
