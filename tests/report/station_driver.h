// Runs the staged station in a fresh copy of its working directory and drives it as a person
// would: xdotool moves the pointer, clicks, drags and types; `import` takes screenshots. Needs
// the display that tools/with-display.sh provides.
#pragma once
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "scratch_folder.h"
#include "tools/desktop_driver.h"

namespace station_test {

inline void pause(double seconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(seconds * 1000)));
}

struct WindowPlace {
  std::string id;
  int x = 0, y = 0, width = 0, height = 0;
};

class StationRun {
 public:
  // Copies the staged station into a new temporary folder and starts Pedalyx there with the
  // simulated camera scene; stdout and stderr go to console.txt in that folder. The folder goes
  // with the run.
  explicit StationRun(const std::string& scene) {
    // The staged programs and data, without what an earlier examination left there.
    desktop::run("cp -r '" STATION_DIR "/.' '" + folder_ + "/' && cd '" + folder_ +
                 "' && rm -rf PDF_INSOLES FOOT_PRESSURE PressureImage examination "
                 "Database_2080.csv insole_info.txt");
    // The toolkit's own file chooser: it takes typed paths reliably without a window manager.
    const std::string home = path(".home");
    desktop::run("mkdir -p '" + home + "/.fltk/fltk.org'");
    platform::writeFileAtomic(home + "/.fltk/fltk.org/fltk.prefs",
                              "; FLTK preferences file format 1.0\n; vendor: fltk.org\n"
                              "; application: fltk\n\n[.]\n\n\n[./options]\n\n"
                              "FNFCUsesGTK:0\n");
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(folder_.c_str()) != 0) _exit(127);
      setenv("PEDALYX_SIMULATED_CAMERA", scene.c_str(), 1);
      setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
      setenv("HOME", home.c_str(), 1);
      setenv("PEDALYX_MESSAGE_LOG", "messages.txt", 1);
      freopen("console.txt", "w", stdout);
      freopen("console.txt", "a", stderr);
      // Line-buffered like a console, so every diagnostic line is in the file at once.
      execlp("stdbuf", "stdbuf", "-oL", "./Pedalyx", static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~StationRun() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  StationRun(const StationRun&) = delete;
  StationRun& operator=(const StationRun&) = delete;

  const std::string& folder() const { return folder_; }
  std::string path(const std::string& name) const { return platform::joinPath(folder_, name); }
  std::string console() const { return platform::readWholeFile(path("console.txt")).value_or(""); }
  // Every message box shown so far, one "caption|text" entry each.
  std::string messages() const {
    return platform::readWholeFile(path("messages.txt")).value_or("");
  }
  bool running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

  // A visible window whose title contains `title` (and, when given, of that size), waiting up
  // to `seconds` for it to appear. The station is alone on its display.
  WindowPlace findWindow(const std::string& title, int width = 0, int height = 0,
                         double seconds = 20) const {
    for (double waited = 0; waited < seconds; waited += 0.5) {
      std::string ids =
          desktop::run("xdotool search --onlyvisible --name '" + title + "' 2>/dev/null");
      size_t start = 0;
      while (start < ids.size()) {
        size_t end = ids.find('\n', start);
        if (end == std::string::npos) end = ids.size();
        std::string id = ids.substr(start, end - start);
        start = end + 1;
        if (id.empty()) continue;
        WindowPlace place = placeOf(id);
        if (width == 0 || (place.width == width && place.height == height)) return place;
      }
      pause(0.5);
    }
    return WindowPlace{};
  }

  static WindowPlace placeOf(const std::string& id) {
    WindowPlace place;
    place.id = id;
    std::string text = desktop::run("xdotool getwindowgeometry --shell " + id);
    std::sscanf(text.c_str(), "WINDOW=%*s X=%d Y=%d WIDTH=%d HEIGHT=%d", &place.x, &place.y,
                &place.width, &place.height);
    // xdotool prints one assignment per line; sscanf skips the newlines as white space.
    return place;
  }

  static void raise(const WindowPlace& window) {
    desktop::run("xdotool windowraise " + window.id);
    pause(0.3);
  }

  // Pointer actions at window coordinates of `window`.
  static void click(const WindowPlace& window, int x, int y, int button = 1) {
    moveTo(window, x, y);
    desktop::run("xdotool click " + std::to_string(button));
    pause(0.3);
  }
  static void moveTo(const WindowPlace& window, int x, int y) {
    desktop::run("xdotool mousemove --sync " + std::to_string(window.x + x) + " " +
                 std::to_string(window.y + y));
    pause(0.1);
  }
  static void press(int button = 1) { desktop::run("xdotool mousedown " + std::to_string(button)); }
  static void release(int button = 1) { desktop::run("xdotool mouseup " + std::to_string(button)); }
  static void typeText(const std::string& text) {
    desktop::run("xdotool type --delay 40 '" + text + "'");
  }
  static void key(const std::string& name) { desktop::run("xdotool key " + name); }

  // The whole screen as a PNG; returns the path.
  std::string screenshot(const std::string& name) const {
    std::string file = path(name);
    desktop::run("import -window root '" + file + "'");
    return file;
  }

 private:
  ScratchFolder scratch_{"station-run"};
  std::string folder_ = scratch_.path();
  pid_t pid_ = -1;
};

}  // namespace station_test
