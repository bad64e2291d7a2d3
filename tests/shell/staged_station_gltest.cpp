// The staged station program as an operator meets it: one window at start, the secondary
// windows reachable from it, the console lines, and a clean end through the close box.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "kept_screenshots.h"
#include "platform/files.h"
#include "tools/desktop_driver.h"

namespace {

using namespace std::chrono_literals;

const std::string kMainTitle = "足底壓力檢測儀";

// A fresh working directory that sees the staged programs and data through links, so the
// files the station writes land here and not in the staged directory.
std::string makeWorkingCopy() {
  char pattern[] = "/tmp/station-run-XXXXXX";
  // Deliberately longer than 100 characters (and not ASCII) so the working directory is read
  // at any length.
  std::string root = mkdtemp(pattern);
  std::string folder = root + "/足壓工作站-" + std::string(120, 'w');
  if (!platform::makeDirectory(folder)) return folder;
  DIR* staged = opendir(STATION_DIR);
  if (staged == nullptr) return folder;
  while (dirent* entry = readdir(staged)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::string target = std::string(STATION_DIR) + "/" + name;
    if (symlink(target.c_str(), (folder + "/" + name).c_str()) != 0) perror("symlink");
  }
  closedir(staged);
  return folder;
}

pid_t startStation(const std::string& folder) {
  pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    setenv("PEDALYX_SIMULATED_CAMERA", "1", 1);
    setenv("PEDALYX_MESSAGE_LOG", (folder + "/messages.log").c_str(), 1);
    freopen("console.txt", "w", stdout);
    execl("./Pedalyx", "./Pedalyx", static_cast<char*>(nullptr));
    _exit(127);
  }
  return child;
}

template <class Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(100ms);
  }
  return condition();
}

// Windows that were already visible before the station started (a developer's desktop).
std::vector<unsigned long> windowsBefore;

// The visible windows the station opened.
std::vector<unsigned long> stationWindows() {
  std::vector<unsigned long> found;
  for (unsigned long window : desktop::visibleWindows()) {
    bool old = false;
    for (unsigned long before : windowsBefore) old = old || before == window;
    if (!old) found.push_back(window);
  }
  return found;
}

std::vector<unsigned long> windowsNamed(const std::string& name) {
  std::vector<unsigned long> found;
  for (unsigned long window : stationWindows()) {
    if (desktop::windowName(window) == name) found.push_back(window);
  }
  return found;
}

std::string describeWindows() {
  std::string text;
  for (unsigned long window : desktop::visibleWindows()) {
    text += std::to_string(window) + " [" + desktop::windowName(window) + "] ";
  }
  return text;
}

// Exit status of the child, or -1 while it runs after the limit.
int waitForExit(pid_t child, std::chrono::milliseconds limit) {
  int status = 0;
  bool ended = waitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, limit);
  if (!ended) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class StagedStation : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::fileExists(std::string(STATION_DIR) + "/Pedalyx"))
        << "stage the station first";
    windowsBefore = desktop::visibleWindows();
    folder_ = makeWorkingCopy();
    child_ = startStation(folder_);
    ASSERT_GT(child_, 0);
  }
  void TearDown() override {
    if (child_ > 0 && waitpid(child_, nullptr, WNOHANG) == 0) {
      kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
    // The run's folder stays for a look after a failure; links go, the staged files stay.
    std::filesystem::path root = std::filesystem::path(folder_).parent_path();
    if (!HasFailure() && root.string().rfind("/tmp/station-run-", 0) == 0) {
      std::error_code ignored;
      std::filesystem::remove_all(root, ignored);
    }
  }
  std::string console() const {
    return platform::readWholeFile(folder_ + "/console.txt").value_or("");
  }

  std::string folder_;
  pid_t child_ = -1;
};

TEST_F(StagedStation, OpensOneWindowReachesEveryWindowAndEndsWithStatusZero) {
  ASSERT_TRUE(waitFor([] { return !windowsNamed(kMainTitle).empty(); }, 30s))
      << "no main window; windows: " << describeWindows() << "\nconsole:\n"
      << console();
  std::this_thread::sleep_for(1s);
  std::vector<unsigned long> visible = stationWindows();
  ASSERT_EQ(visible.size(), 1u) << "only the main window is shown at start";
  const unsigned long main = visible[0];
  EXPECT_EQ(desktop::windowName(main), kMainTitle);
  keepScreenshot("shell/staged_main");

  // The first console line names the working directory, whatever its length.
  char* real = realpath(folder_.c_str(), nullptr);
  std::string expectedFirst = "system_path " + std::string(real ? real : folder_) + "\n";
  free(real);
  EXPECT_EQ(console().substr(0, expectedFirst.size()), expectedFirst);

  // A stray Escape in the main window does not end the examination.
  desktop::Point origin = desktop::windowPosition(main);
  desktop::click(origin.x + 645, origin.y + 230);
  desktop::run("xdotool key Escape");
  std::this_thread::sleep_for(1s);
  ASSERT_EQ(waitpid(child_, nullptr, WNOHANG), 0) << "Escape ended the program";
  ASSERT_EQ(windowsNamed(kMainTitle).size(), 1u);

  // The analysis-area button lies below the design height; it must be reachable at start.
  desktop::click(origin.x + 390 + 78, origin.y + 716 + 20);
  ASSERT_TRUE(waitFor([] { return stationWindows().size() == 2; }, 15s))
      << "the analysis window did not open";
  std::this_thread::sleep_for(500ms);
  keepScreenshot("shell/staged_analysis");
  for (unsigned long window : stationWindows()) {
    if (window != main) desktop::sendClose(window);
  }
  ASSERT_TRUE(waitFor([] { return stationWindows().size() == 1; }, 15s))
      << "closing a secondary window only hides it";

  // "報表" opens the data-entry window, "備註" the remarks window.
  desktop::click(origin.x + 581 + 25, origin.y + 26 + 22);
  EXPECT_TRUE(waitFor([] { return windowsNamed("資料輸入").size() == 1; }, 15s));
  std::this_thread::sleep_for(500ms);
  keepScreenshot("shell/staged_data_entry");
  desktop::click(origin.x + 531 + 25, origin.y + 26 + 22);
  EXPECT_TRUE(waitFor([] { return windowsNamed("備註").size() == 1; }, 15s));
  std::this_thread::sleep_for(500ms);
  keepScreenshot("shell/staged_remarks");

  // The heartbeat prints a second divisible by 7 within seven seconds.
  ASSERT_TRUE(waitFor([&] { return console().find("Loop Check! ") != std::string::npos; }, 12s));
  std::string text = console();
  long second = std::atol(text.c_str() + text.find("Loop Check! ") + 12);
  EXPECT_EQ(second % 7, 0) << text;

  for (unsigned long window : stationWindows()) {
    if (window != main) desktop::sendClose(window);
  }
  ASSERT_TRUE(waitFor([] { return stationWindows().size() == 1; }, 15s));

  // A right click on the reference strip opens the settings window "Edit"; its language
  // choice, below the design area, switches to Simplified and stores "1".
  desktop::run("xdotool mousemove " + std::to_string(origin.x + 654 + 130) + " " +
               std::to_string(origin.y + 193 + 27) + " click 3");
  ASSERT_TRUE(waitFor([] { return windowsNamed("Edit").size() == 1; }, 15s));
  const unsigned long settings = windowsNamed("Edit")[0];
  desktop::Point edit = desktop::windowPosition(settings);
  desktop::run("xdotool mousemove " + std::to_string(edit.x + 50 + 67) + " " +
               std::to_string(edit.y + 522 + 15) +
               " click 1 sleep 1.0 key Down sleep 0.5 key Return");
  EXPECT_TRUE(waitFor(
      [&] { return platform::readWholeFile(folder_ + "/language_choice.txt").value_or("") == "1"; },
      15s));
  EXPECT_TRUE(waitFor([] { return windowsNamed("足底压力检测仪").size() == 1; }, 10s))
      << "the title follows the language; now " << desktop::windowName(main);
  std::this_thread::sleep_for(500ms);
  keepScreenshot("shell/staged_settings_simplified");

  // Drag the noise filter to its right end and close the main window right after, with the
  // settings window still open: the program ends with status 0 and the file keeps the
  // dragged value.
  int sliderY = edit.y + 180 + 16;
  std::string drag = "xdotool mousemove " + std::to_string(edit.x + 200) + " " +
                     std::to_string(sliderY) + " mousedown 1";
  for (int x = 210; x <= 330; x += 10) {
    drag += " sleep 0.02 mousemove " + std::to_string(edit.x + x) + " " + std::to_string(sliderY);
  }
  desktop::run(drag + " mouseup 1 sleep 0.15");
  ASSERT_TRUE(desktop::sendClose(main));
  EXPECT_EQ(waitForExit(child_, 10s), 0);
  child_ = -1;
  EXPECT_EQ(platform::readWholeFile(folder_ + "/noise.txt").value_or(""),
            "15.000000\r\n6.000000\r\n");
}

}  // namespace
