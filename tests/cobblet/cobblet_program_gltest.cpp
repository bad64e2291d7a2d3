// The staged insole tool started as the station starts it: in a fresh working directory with
// its data files, a hand-off written a little later, and the window driven with xdotool.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <thread>

#include "cobblet/handoff_reader.h"
#include "platform/files.h"
#include "tools/desktop_driver.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kTemplate = "255mm narrow 20220606 backmove 5mm.bmp";

class CobbletRun : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/cobblet_run_XXXXXX";
    folder = mkdtemp(pattern);
    for (const std::string& name : {std::string("Cobblet"), std::string("drop.png"), kTemplate}) {
      std::string bytes = *platform::readWholeFile(platform::joinPath(STATION_DIR, name));
      ASSERT_TRUE(platform::writeFileAtomic(platform::joinPath(folder, name), bytes));
    }
    chmod(platform::joinPath(folder, "Cobblet").c_str(), 0755);
  }
  void TearDown() override {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    std::system(("rm -rf '" + folder + "'").c_str());
  }

  void start(bool diskFull = false) {
    pid = fork();
    if (pid == 0) {
      if (chdir(folder.c_str()) != 0) _exit(127);
      if (diskFull) setenv("PEDALYX_FAIL_WRITES", "1", 1);
      setenv("PEDALYX_MESSAGE_LOG", (folder + "/messages.txt").c_str(), 1);
      FILE* log = freopen("cobblet.log", "w", stdout);
      (void)log;
      execl("./Cobblet", "./Cobblet", static_cast<char*>(nullptr));
      _exit(127);
    }
  }

  // Waits for the process to end; its exit status, or -1 on timeout.
  int waitForExit(double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }

  std::string windowId() {
    std::string id = desktop::run("xdotool search --sync --name '^Cobblet$' 2>/dev/null | head -1");
    while (!id.empty() && (id.back() == '\n' || id.back() == '\r')) id.pop_back();
    return id;
  }

  cv::Mat screenshot(const std::string& id, const std::string& name) {
    const std::string path = platform::joinPath(folder, name);
    desktop::run("import -window " + id + " '" + path + "'");
    // Kept for a person to look at when the test runs with COBBLET_SHOTS set.
    if (const char* keep = std::getenv("COBBLET_SHOTS")) {
      desktop::run("cp '" + path + "' '" + std::string(keep) + "/" + name + "'");
    }
    return cv::imread(path, cv::IMREAD_COLOR);
  }

  void handOff(const std::string& text) {
    ASSERT_TRUE(platform::writeFileAtomic(platform::joinPath(folder, cobblet::kHandoffPath), text));
  }

  cv::Mat insole(const std::string& name) {
    return cv::imread(platform::joinPath(folder, "PDF_INSOLES/" + name), cv::IMREAD_GRAYSCALE);
  }

  // How many messages so far said that an insole was not saved.
  size_t failuresSaid() {
    const std::string text = platform::readWholeFile(folder + "/messages.txt").value_or("");
    size_t count = 0;
    for (size_t at = text.find("鞋墊未能儲存"); at != std::string::npos;
         at = text.find("鞋墊未能儲存", at + 1))
      ++count;
    return count;
  }
  size_t waitUntilSaid(size_t count) {
    for (int i = 0; i < 200 && failuresSaid() < count; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return failuresSaid();
  }
  // The operator acknowledges the open message (closing its window is the same as "OK").
  void acknowledge(const std::string& tool) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (unsigned long window : desktop::visibleWindows()) {
      if (std::to_string(window) != tool) desktop::sendClose(window);
    }
  }

  std::string folder;
  pid_t pid = -1;
};

double highest(const cv::Mat& image) {
  double maximum = 0;
  cv::minMaxLoc(image, nullptr, &maximum);
  return maximum;
}

TEST_F(CobbletRun, HandOffTurnsIntoTwoInsolesAndTheToolEnds) {
  start();
  ASSERT_FALSE(windowId().empty());
  handOff("left 0.27 245 98 12 10 18 15 25 20\r\nright 0.27 245 99 11 12 17 16 24 20\r\nA123");
  const auto written = Clock::now();
  ASSERT_EQ(waitForExit(10), 0);
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - written).count(), 5);
  EXPECT_FALSE(platform::fileExists(platform::joinPath(folder, cobblet::kHandoffPath)));

  cv::Mat left = insole("A123_iLeft.bmp"), right = insole("A123_iRight.bmp");
  ASSERT_FALSE(left.empty());
  ASSERT_FALSE(right.empty());
  ASSERT_EQ(left.size(), cv::Size(150, 360));
  // Same foot data on both sides: the right insole is the left one mirrored, up to the pad's
  // rotation and edge rounding.
  cv::Mat mirrored, difference;
  cv::flip(left, mirrored, 1);
  cv::absdiff(mirrored, right, difference);
  EXPECT_GT(cv::countNonZero(left), 15000);
  EXPECT_LT(cv::countNonZero(difference > 2), 300);
  // The arch support is on the inner side: high columns for the left foot, low for the right.
  cv::Point leftPeak, rightPeak;
  cv::minMaxLoc(left, nullptr, nullptr, nullptr, &leftPeak);
  cv::minMaxLoc(right, nullptr, nullptr, nullptr, &rightPeak);
  EXPECT_GT(leftPeak.x, 75);
  EXPECT_LT(rightPeak.x, 75);
}

TEST_F(CobbletRun, LowerArchIndexGivesTheHigherArch) {
  start();
  ASSERT_FALSE(windowId().empty());
  handOff("left 0.12 250 1 2 3 4 5 6 7\nright 0.31 250 1 2 3 4 5 6 7\nARCH");
  ASSERT_EQ(waitForExit(10), 0);
  cv::Mat left = insole("ARCH_iLeft.bmp"), right = insole("ARCH_iRight.bmp");
  ASSERT_FALSE(left.empty());
  ASSERT_FALSE(right.empty());
  EXPECT_GT(highest(left), highest(right) * 1.2);
}

// A full disk: each foot's failure is said and acknowledged in turn, and the tool still ends.
TEST_F(CobbletRun, InsolesThatCannotBeWrittenAreSaidOneFootAtATime) {
  start(true);
  const std::string tool = windowId();
  ASSERT_FALSE(tool.empty());
  handOff("left 0.27 245 98 12 10 18 15 25 20\nright 0.27 245 99 11 12 17 16 24 20\nFULL");
  const std::string messages = platform::joinPath(folder, "messages.txt");
  ASSERT_EQ(waitUntilSaid(1), 1u);
  // The right foot waits while the left foot's message is open.
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  EXPECT_EQ(failuresSaid(), 1u);
  acknowledge(tool);
  ASSERT_EQ(waitUntilSaid(2), 2u);
  EXPECT_NE(platform::readWholeFile(messages)->find("FULL_iRight.bmp"), std::string::npos);
  acknowledge(tool);
  EXPECT_EQ(waitForExit(10), 0);
  EXPECT_TRUE(insole("FULL_iLeft.bmp").empty());
}

// Killed after it took the hand-off and before it saved the insoles, the tool lost them for
// good; the next start now makes both, and then nothing of the hand-off is left.
TEST_F(CobbletRun, InsolesOfAToolKilledBeforeSavingAreMadeAtTheNextStart) {
  start();
  ASSERT_FALSE(windowId().empty());
  handOff("left 0.27 245 98 12 10 18 15 25 20\nright 0.27 245 99 11 12 17 16 24 20\nKILLED");
  const std::string handoff = platform::joinPath(folder, cobblet::kHandoffPath);
  const auto end = Clock::now() + std::chrono::seconds(10);
  while (platform::fileExists(handoff) && Clock::now() < end) usleep(200);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
  ASSERT_FALSE(platform::fileExists(handoff)) << "the tool never took the hand-off";
  ASSERT_TRUE(insole("KILLED_iRight.bmp").empty()) << "killed only after it had saved";

  start();
  ASSERT_EQ(waitForExit(20), 0);
  EXPECT_FALSE(insole("KILLED_iLeft.bmp").empty());
  EXPECT_FALSE(insole("KILLED_iRight.bmp").empty());
  for (const std::string& name : platform::listFolder(folder))
    EXPECT_EQ(name.find("insole_info"), std::string::npos) << name;
}

// The model could not be written (a folder holds its name) but its bitmap was: the message
// names the model, and the hand-off is kept for a start that can make it.
TEST_F(CobbletRun, AnInsoleModelThatCannotBeWrittenIsTheFileNamed) {
  ASSERT_TRUE(platform::makeDirectory(platform::joinPath(folder, "PDF_INSOLES")));
  ASSERT_TRUE(platform::makeDirectory(platform::joinPath(folder, "PDF_INSOLES/MODEL_iLeft.stl")));
  start();
  const std::string tool = windowId();
  ASSERT_FALSE(tool.empty());
  handOff("left 0.27 245 98 12 10 18 15 25 20\nright 0.27 245 99 11 12 17 16 24 20\nMODEL");
  ASSERT_EQ(waitUntilSaid(1), 1u);
  acknowledge(tool);
  EXPECT_EQ(waitForExit(10), 0);
  const std::string messages = platform::readWholeFile(folder + "/messages.txt").value_or("");
  EXPECT_NE(messages.find("鞋墊未能儲存：./PDF_INSOLES/MODEL_iLeft.stl"), std::string::npos)
      << messages;
  EXPECT_EQ(messages.find("MODEL_iLeft.bmp"), std::string::npos) << messages;
  EXPECT_FALSE(insole("MODEL_iLeft.bmp").empty());
  EXPECT_FALSE(insole("MODEL_iRight.bmp").empty());
  int kept = 0;
  for (const std::string& name : platform::listFolder(folder))
    kept += name.rfind(std::string("insole_info") + cobblet::kTakenHandoffMark, 0) == 0;
  EXPECT_EQ(kept, 1);
}

TEST_F(CobbletRun, WindowShowsOnlyTheInsoleUntilF2AndWedgesChangeIt) {
  start();
  const std::string id = windowId();
  ASSERT_FALSE(id.empty());
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  const std::string geometry = desktop::run("xdotool getwindowgeometry " + id);
  EXPECT_NE(geometry.find("205x422"), std::string::npos) << geometry;
  cv::Mat narrow = screenshot(id, "cobblet_start.png");
  ASSERT_EQ(narrow.cols, 205);
  // The view at 30, 35 shows the fitted default template; the rest of the window is plain.
  cv::Mat view = narrow(cv::Rect(30, 35, 150, 360));
  EXPECT_GT(cv::countNonZero(view.reshape(1) > 40), 5000);

  desktop::run("xdotool windowfocus --sync " + id + " key F2");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_NE(desktop::run("xdotool getwindowgeometry " + id).find("1045x645"), std::string::npos);
  cv::Mat wide = screenshot(id, "cobblet_controls.png");
  ASSERT_EQ(wide.cols, 1045);
  const cv::Mat before = wide(cv::Rect(30, 35, 150, 360)).clone();

  // "全足跟" (whole heel) at 404, 606 raises the heel of the shown insole by 3 mm.
  desktop::run("xdotool mousemove --window " + id + " 440 620 click 1");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  cv::Mat raised = screenshot(id, "cobblet_wedge.png");
  cv::Mat difference;
  cv::absdiff(raised(cv::Rect(30, 35, 150, 360)), before, difference);
  EXPECT_GT(cv::countNonZero(difference.reshape(1) > 5), 1000);

  desktop::run("xdotool windowfocus --sync " + id + " key Escape");
  EXPECT_EQ(waitForExit(5), 0);
}

}  // namespace
