// Plays one whole examination on the station as an operator would, with real mouse clicks and
// key presses on an X display: take a picture of the simulated customer, place both foot axes,
// measure both feet, fill in the report data and confirm, save the subject into the database
// and load the pressure picture back for review. Leaves screenshots, the report page rendered
// to PNG and a copy of the insole hand-off in the output folder.
//
//   play_examination <working directory with Pedalyx> <output folder> [--twice]
//   play_examination --installed <installed pedalyx command> <output folder>
//   play_examination <working directory with Pedalyx> <output folder> --keep-open | --again
//
// --keep-open leaves the station running at the end (its process id in <output>/station.pid);
// --again plays the next customer on a station an earlier --keep-open play left running.
//
// The working directory must hold the staged programs and data files. An installed station is
// started from the output folder with a fresh home (<output folder>/.home), works in the station
// folder it makes there, and is played as far as the report and the insoles. Needs DISPLAY,
// xdotool, ImageMagick's import and poppler's pdftoppm. With --twice the customer comes back
// in a later minute for a second examination, whose "歷史" window is photographed.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/files.h"
#include "tools/desktop_driver.h"
#include "tools/examination_plan.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const char* const kMainTitle = "足底壓力檢測儀";
const char* const kDataEntryTitle = "資料輸入";

std::string outputFolder;
bool keepOpen = false;         // the station is left running after the examination
bool again = false;            // the station is already running, left by a --keep-open play
std::string installedCommand;  // empty: ./Pedalyx in the working directory
int stepNumber = 0;

void say(const std::string& text) {
  std::printf("[examination] %s\n", text.c_str());
  std::fflush(stdout);
}

void fail(const std::string& text) {
  std::fprintf(stderr, "[examination] FAILED: %s\n", text.c_str());
  std::exit(1);
}

template <class Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit,
             std::chrono::milliseconds step = 100ms) {
  auto end = Clock::now() + limit;
  while (Clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(step);
  }
  return condition();
}

unsigned long waitForWindow(const std::string& title, std::chrono::milliseconds limit) {
  unsigned long found = 0;
  waitFor(
      [&] {
        for (unsigned long window : desktop::visibleWindows()) {
          if (desktop::windowName(window) == title) {
            found = window;
            return true;
          }
        }
        return false;
      },
      limit);
  return found;
}

std::string screenshot(const std::string& name) {
  std::this_thread::sleep_for(400ms);
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%02d_", ++stepNumber);
  std::string path = outputFolder + "/" + prefix + name + ".png";
  desktop::screenshot(path);
  return path;
}

// A click inside a window, at a point given in the window's own pixels.
struct WindowPointer {
  desktop::Point origin;
  void click(int x, int y) const { desktop::click(origin.x + x, origin.y + y); }
  void move(int x, int y) const {
    desktop::run("xdotool mousemove " + std::to_string(origin.x + x) + " " +
                 std::to_string(origin.y + y));
  }
  void clickCentre(int x, int y, int w, int h) const { click(x + w / 2, y + h / 2); }
};

void typeText(const std::string& text) { desktop::run("xdotool type --delay 30 '" + text + "'"); }

pid_t startStation(const std::string& folder) {
  pid_t child = fork();
  if (child == 0) {
    if (chdir(installedCommand.empty() ? folder.c_str() : outputFolder.c_str()) != 0) _exit(127);
    if (getenv("PEDALYX_SIMULATED_CAMERA") == nullptr) setenv("PEDALYX_SIMULATED_CAMERA", "1", 1);
    std::string console = outputFolder + "/pedalyx_console.txt";
    if (freopen(console.c_str(), "w", stdout) == nullptr) _exit(127);
    // The toolkit's own file chooser takes typed paths reliably without a window manager.
    std::string home = outputFolder + "/.home";
    desktop::run("mkdir -p '" + home + "/.fltk/fltk.org'");
    platform::writeFileAtomic(home + "/.fltk/fltk.org/fltk.prefs",
                              "; FLTK preferences file format 1.0\n; vendor: fltk.org\n"
                              "; application: fltk\n\n[.]\n\n\n[./options]\n\nFNFCUsesGTK:0\n");
    setenv("HOME", home.c_str(), 1);
    unsetenv("PEDALYX_HOME");
    unsetenv("XDG_DATA_HOME");
    // Line-buffered like a console, so every line is in the file at once.
    const std::string program = installedCommand.empty() ? "./Pedalyx" : installedCommand;
    execlp("stdbuf", "stdbuf", "-oL", program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return child;
}

// The last file, in name order, in folder whose name ends with suffix, or "". Report names end
// with their date and time, so with earlier examinations in the folder this is the newest.
std::string findFile(const std::string& folder, const std::string& suffix) {
  std::string listing = desktop::run("LC_ALL=C ls -1 '" + folder + "' 2>/dev/null");
  std::string found;
  size_t pos = 0;
  while (pos < listing.size()) {
    size_t end = listing.find('\n', pos);
    if (end == std::string::npos) end = listing.size();
    std::string name = listing.substr(pos, end - pos);
    if (name.size() >= suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      found = folder + "/" + name;
    }
    pos = end + 1;
  }
  return found;
}

// Whether the live picture shows both heels loaded, compared with an empty spot of the plate,
// and their colours as seen; from one screenshot.
bool heelsLoaded(const ExaminationPlan& plan, desktop::Point origin, cv::Vec3b seen[2]) {
  const std::string shot = outputFolder + "/.probe.png";
  desktop::screenshot(shot);
  cv::Mat screen = cv::imread(shot, cv::IMREAD_COLOR);
  std::remove(shot.c_str());
  if (screen.empty()) return false;
  auto pixel = [&](int x, int y) {
    x += origin.x, y += origin.y;
    return (x >= 0 && y >= 0 && x < screen.cols && y < screen.rows) ? screen.at<cv::Vec3b>(y, x)
                                                                    : cv::Vec3b();
  };
  // Near the top of the view beside the left toes nothing ever stands.
  const cv::Vec3b empty = pixel(5 + 10, 86 + 10);
  bool loaded = true;
  for (int side = 0; side < 2; ++side) {
    seen[side] = pixel(plan.feet[side].heel.x, plan.feet[side].heel.y);
    int difference = std::abs(seen[side][0] - empty[0]) + std::abs(seen[side][1] - empty[1]) +
                     std::abs(seen[side][2] - empty[2]);
    loaded = loaded && difference > 120;
  }
  return loaded;
}

// Waits until the customer stands still on the plate: both heels loaded and their colours the
// same in two screenshots in a row.
bool waitForCustomer(const ExaminationPlan& plan, desktop::Point origin) {
  cv::Vec3b previous[2] = {}, now[2] = {};
  int steady = 0;
  return waitFor(
      [&] {
        bool loaded = heelsLoaded(plan, origin, now);
        steady = (loaded && now[0] == previous[0] && now[1] == previous[1]) ? steady + 1 : 0;
        previous[0] = now[0], previous[1] = now[1];
        return steady >= 2;
      },
      120s, 700ms);
}

// Closes the main window as an operator would; the station's exit status, or fails when it
// does not end.
int closeStation(unsigned long mainWindow, pid_t station) {
  desktop::sendClose(mainWindow);
  int status = -1;
  waitFor([&] { return waitpid(station, &status, WNOHANG) == station; }, 10s);
  if (waitpid(station, nullptr, WNOHANG) == 0) {
    kill(station, SIGKILL);
    fail("the station did not end when its window was closed");
  }
  return status;
}

// One examination from the start of the station to its end. With showHistory, the analysis
// window's "歷史" opens the customer's history after the save and it is photographed.
int playOnce(const std::string& folder, const ExaminationPlan& plan, bool installed,
             bool showHistory);

}  // namespace

int main(int argc, char** argv) {
  const bool installed = argc == 4 && std::string(argv[1]) == "--installed";
  const std::string mode = argc == 4 && !installed ? argv[3] : "";
  const bool twice = mode == "--twice";
  again = mode == "--again";
  keepOpen = again || mode == "--keep-open";
  if (argc != 3 && !installed && !twice && !keepOpen) {
    std::fprintf(stderr,
                 "usage: %s <station working directory> <output folder>\n"
                 "       %s <station working directory> <output folder> "
                 "--twice|--keep-open|--again\n"
                 "       %s --installed <installed pedalyx command> <output folder>\n",
                 argv[0], argv[0], argv[0]);
    return 2;
  }
  outputFolder = argv[installed ? 3 : 2];
  platform::makeDirectory(outputFolder);
  if (installed) installedCommand = argv[2];
  const std::string folder =
      installed ? outputFolder + "/.home/.local/share/pedalyx" : std::string(argv[1]);
  if (!installed && !platform::fileExists(folder + "/Pedalyx")) fail("no Pedalyx in " + folder);

  const ExaminationPlan plan = planExamination();
  if (!twice) return playOnce(folder, plan, installed, false);
  // The customer comes back: a second examination in a later minute (report names count
  // minutes), then the history of both.
  if (playOnce(folder, plan, false, false) != 0) return 1;
  const int64_t firstMinute = platform::epochSeconds() / 60;
  while (platform::epochSeconds() / 60 == firstMinute) std::this_thread::sleep_for(1s);
  return playOnce(folder, plan, false, true);
}

namespace {

int playOnce(const std::string& folder, const ExaminationPlan& plan, bool installed,
             bool showHistory) {
  // The operator's foot sizes for the database; a customer who comes back has grown a little.
  const std::string sizes[4] = {showHistory ? "252" : "251", showHistory ? "254" : "253", "97",
                                showHistory ? "100" : "99"};
  pid_t station = again ? 0 : startStation(folder);
  if (keepOpen && !again) {
    platform::writeFileAtomic(outputFolder + "/station.pid", std::to_string(station) + "\n");
  }
  unsigned long mainWindow = waitForWindow(kMainTitle, 30s);
  if (mainWindow == 0) fail("the station window did not open");
  WindowPointer main{desktop::windowPosition(mainWindow)};
  say("station window open");
  if (again) {
    // Whatever the last customer left open (a message after a missed click, the report) is
    // put away first, so one failed examination does not fail every later one.
    for (unsigned long window : desktop::visibleWindows()) {
      if (window != mainWindow) desktop::sendClose(window);
    }
    std::this_thread::sleep_for(300ms);
    // The last customer's picture is under review: leave it, then back to the live view.
    main.clickCentre(575, 645, 60, 45);
    std::this_thread::sleep_for(500ms);
    main.clickCentre(9, 27, 50, 45);
    std::this_thread::sleep_for(500ms);
  }

  // The background is captured on the empty plate, then the customer steps on: wait until the
  // live picture shows both feet standing still.
  if (!waitForCustomer(plan, main.origin)) fail("the live picture never showed the customer");
  screenshot("live");
  main.clickCentre(9, 27, 50, 45);  // take picture
  std::this_thread::sleep_for(500ms);

  main.clickCentre(179, 26, 64, 45);  // arch index tool
  for (const FootPlan& foot : plan.feet) {
    main.click(foot.heel.x, foot.heel.y);
    std::this_thread::sleep_for(300ms);
    main.click(foot.toe.x, foot.toe.y);
    std::this_thread::sleep_for(300ms);
  }
  screenshot("axes");
  // Length and width: press at one end, move to the other (the field follows), press again.
  main.clickCentre(260, 26, 50, 45);
  for (const FootPlan& foot : plan.feet) {
    main.click(foot.back.x, foot.back.y);
    main.move(foot.front.x, foot.front.y - 1);
    std::this_thread::sleep_for(200ms);
    main.click(foot.front.x, foot.front.y);
    std::this_thread::sleep_for(300ms);
  }
  main.clickCentre(310, 26, 50, 45);
  for (const FootPlan& foot : plan.feet) {
    main.click(foot.inner.x, foot.inner.y);
    main.move(foot.outer.x, foot.outer.y + 1);
    std::this_thread::sleep_for(200ms);
    main.click(foot.outer.x, foot.outer.y);
    std::this_thread::sleep_for(300ms);
  }
  screenshot("measured");

  // The report: personal data, then "確定".
  main.clickCentre(581, 26, 50, 45);
  unsigned long entryWindow = waitForWindow(kDataEntryTitle, 10s);
  if (entryWindow == 0) fail("the data-entry window did not open");
  WindowPointer entry{desktop::windowPosition(entryWindow)};
  entry.clickCentre(85, 81, 235, 34);
  typeText(plan.phone);
  entry.clickCentre(85, 126, 235, 34);
  typeText(plan.email);
  entry.clickCentre(85, 181, 90, 34);
  typeText(plan.birthYear);
  entry.clickCentre(230, 182, 90, 33);
  typeText(plan.birthMonth);
  screenshot("data_entry");
  entry.clickCentre(185, 300, 110, 80);

  // The insole tool deletes the hand-off as soon as it reads it: keep a copy for the checks.
  const std::string handoff = folder + "/insole_info.txt";
  bool copied = waitFor(
      [&] {
        auto bytes = platform::readWholeFile(handoff);
        if (!bytes || bytes->empty()) return false;
        return platform::writeFileAtomic(outputFolder + "/insole_info.txt", *bytes);
      },
      20s, 10ms);
  if (!copied) fail("no insole hand-off was written");
  say("hand-off written");
  // The hand-off ends with the report name, which names this examination's files.
  const std::string handoffText =
      platform::readWholeFile(outputFolder + "/insole_info.txt").value_or("");
  const std::string name = handoffText.substr(handoffText.find_last_of('\n') + 1);
  const std::string pdf = folder + "/PDF_INSOLES/" + name + ".pdf";
  if (!waitFor([&] { return platform::fileExists(pdf); }, 20s)) fail("no report PDF " + pdf);
  screenshot("report_view");
  std::string leftInsole, rightInsole;
  bool insoles = waitFor(
      [&] {
        leftInsole = folder + "/PDF_INSOLES/" + name + "_iLeft.bmp";
        rightInsole = folder + "/PDF_INSOLES/" + name + "_iRight.bmp";
        // Each insole's model is written right after its bitmap.
        return platform::fileExists(leftInsole) && platform::fileExists(rightInsole) &&
               platform::fileExists(folder + "/PDF_INSOLES/" + name + "_iRight.stl");
      },
      30s);
  if (!insoles) fail("the insole tool did not save both insoles");
  say("insoles saved");
  desktop::run("pdftoppm -png -r 60 -f 1 -l 1 -singlefile '" + pdf + "' '" + outputFolder +
               "/report_page1'");
  desktop::run("convert '" + leftInsole + "' '" + outputFolder + "/insole_left.png'");
  desktop::run("convert '" + rightInsole + "' '" + outputFolder + "/insole_right.png'");

  // The report view lies over the main window: put it away as an operator would.
  for (unsigned long window : desktop::visibleWindows()) {
    if (window != mainWindow) desktop::sendClose(window);
  }
  std::this_thread::sleep_for(500ms);

  if (installed) {
    int status = closeStation(mainWindow, station);
    say("report PDF: " + pdf);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
  }

  // Save the subject into the database from the analysis window.
  main.clickCentre(390, 716, 157, 40);
  unsigned long analysisWindow = 0;
  waitFor(
      [&] {
        for (unsigned long window : desktop::visibleWindows()) {
          if (window != mainWindow) analysisWindow = window;
        }
        return analysisWindow != 0;
      },
      10s);
  if (analysisWindow == 0) fail("the analysis window did not open");
  WindowPointer analysis{desktop::windowPosition(analysisWindow)};
  std::this_thread::sleep_for(500ms);
  const int sizeFields[4][2] = {{474, 605}, {592, 605}, {474, 653}, {592, 653}};
  for (int k = 0; k < 4; ++k) {
    analysis.click(sizeFields[k][0], sizeFields[k][1]);
    desktop::run("xdotool key ctrl+a");
    typeText(sizes[k]);
  }
  analysis.clickCentre(1061, 642, 62, 85);
  if (!waitFor([&] { return platform::fileExists(folder + "/Database_2080.csv"); }, 10s)) {
    fail("Save wrote no database row");
  }
  screenshot("analysis_saved");
  if (showHistory) {
    analysis.clickCentre(1061, 545, 62, 85);
    const unsigned long history = waitForWindow("歷史  ID   電話 " + plan.phone, 10s);
    if (history == 0) fail("歷史 opened no history window");
    std::this_thread::sleep_for(1s);
    screenshot("history");
    desktop::sendClose(history);
  }
  desktop::sendClose(analysisWindow);
  std::this_thread::sleep_for(500ms);

  // Load the pressure picture of the report back for review.
  std::string picture = findFile(folder + "/FOOT_PRESSURE", ".png");
  if (picture.empty()) fail("no pressure picture in FOOT_PRESSURE");
  main.clickCentre(575, 645, 60, 45);
  unsigned long chooser = waitForWindow("Load a image file", 10s);
  if (chooser == 0) fail("LOAD opened no file chooser");
  // The chooser's file name field has the focus and starts with the working folder.
  typeText("FOOT_PRESSURE/" + picture.substr(picture.rfind('/') + 1));
  desktop::run("xdotool key Return");
  std::this_thread::sleep_for(2s);
  // The pressure view alone, for comparing with the picture that was loaded.
  cv::Mat screen = cv::imread(screenshot("review"), cv::IMREAD_COLOR);
  cv::Rect view(main.origin.x + 5, main.origin.y + 86, 533, 558);
  if (!screen.empty() && (view & cv::Rect(0, 0, screen.cols, screen.rows)) == view) {
    cv::imwrite(outputFolder + "/review_view.png", screen(view));
  }

  if (keepOpen) {
    say("report PDF: " + pdf + "; the station keeps running");
    return 0;
  }
  int status = closeStation(mainWindow, station);
  say("report PDF: " + pdf);
  say("insoles: " + leftInsole + " and " + rightInsole);
  say("screenshots, rendered report page and insole pictures: " + outputFolder);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

}  // namespace
