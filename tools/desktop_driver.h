// Drives windows under the test display as an operator would: lists visible windows, clicks,
// closes windows with the close-box message and takes screenshots.
#pragma once
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace desktop {

inline std::string run(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, n);
  pclose(pipe);
  return output;
}

// Visible top-level windows of toolkit programs (the toolkit names every window's class).
inline std::vector<unsigned long> visibleWindows() {
  std::vector<unsigned long> windows;
  std::string ids = run("xdotool search --onlyvisible --classname . 2>/dev/null");
  size_t pos = 0;
  while (pos < ids.size()) {
    size_t end = ids.find('\n', pos);
    if (end == std::string::npos) end = ids.size();
    if (end > pos) windows.push_back(std::stoul(ids.substr(pos, end - pos)));
    pos = end + 1;
  }
  return windows;
}

inline std::string windowName(unsigned long window) {
  std::string name = run("xdotool getwindowname " + std::to_string(window) + " 2>/dev/null");
  while (!name.empty() && name.back() == '\n') name.pop_back();
  return name;
}

struct Point {
  int x = 0, y = 0;
};

// Screen position of a window's top-left corner.
inline Point windowPosition(unsigned long window) {
  std::string shell = run("xdotool getwindowgeometry --shell " + std::to_string(window));
  Point at;
  size_t x = shell.find("X="), y = shell.find("Y=");
  if (x != std::string::npos) at.x = std::atoi(shell.c_str() + x + 2);
  if (y != std::string::npos) at.y = std::atoi(shell.c_str() + y + 2);
  return at;
}

inline void click(int x, int y) {
  run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

// What the close box of a window manager sends: WM_PROTOCOLS / WM_DELETE_WINDOW.
inline bool sendClose(unsigned long window) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  Status sent = XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  XCloseDisplay(display);
  return sent != 0;
}

inline void screenshot(const std::string& path) {
  run("mkdir -p \"$(dirname '" + path + "')\"; import -window root '" + path + "' 2>/dev/null");
}

}  // namespace desktop
