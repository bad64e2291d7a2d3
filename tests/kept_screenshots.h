// Screenshots for a person to look at, taken only when PEDALYX_SCREENSHOTS names a folder for
// them (relative to where the test program started), so that a test run leaves none behind.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tools/desktop_driver.h"

inline const std::string kKeptScreenshotFolder = [] {
  const char* folder = std::getenv("PEDALYX_SCREENSHOTS");
  return folder == nullptr ? std::string() : std::filesystem::absolute(folder).string();
}();

// The whole screen as <folder>/<name>.png.
inline void keepScreenshot(const std::string& name) {
  if (!kKeptScreenshotFolder.empty()) {
    desktop::screenshot(kKeptScreenshotFolder + "/" + name + ".png");
  }
}
