// The Debian package built for the tests (the package_deb fixture writes it into PACKAGE_DIR),
// unpacked with dpkg -x into a scratch root as dpkg would install it.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tools/desktop_driver.h"

namespace package_test {

using desktop::run;

inline std::string debFile() {
  std::string found = run("ls -1 '" PACKAGE_DIR "'/*.deb 2>/dev/null");
  while (!found.empty() && found.back() == '\n') found.pop_back();
  return found.find('\n') == std::string::npos ? found : "";  // exactly one package
}

inline std::string scratchFolder() {
  char pattern[] = "/tmp/installed-station-XXXXXX";
  const char* folder = mkdtemp(pattern);
  return folder ? folder : "";
}

// Removes a scratch folder once its test suite has passed; a failed one stays for a look.
inline void removeWhenPassed(const std::string& folder) {
  const ::testing::TestSuite* suite = ::testing::UnitTest::GetInstance()->current_test_suite();
  if (!folder.empty() && suite != nullptr && suite->Passed())
    std::system(("rm -rf '" + folder + "'").c_str());
}

// Unpacks the package into <folder>/root; returns the root, empty on failure.
inline std::string unpack(const std::string& deb, const std::string& folder) {
  const std::string root = folder + "/root";
  int status = std::system(("dpkg -x '" + deb + "' '" + root + "'").c_str());
  return status == 0 ? root : "";
}

// The value of key in the installed menu entry, or empty.
inline std::string desktopEntryValue(const std::string& root, const std::string& key) {
  std::istringstream entry(
      platform::readWholeFile(root + "/usr/share/applications/pedalyx.desktop").value_or(""));
  for (std::string line; std::getline(entry, line);) {
    if (line.compare(0, key.size() + 1, key + "=") == 0) return line.substr(key.size() + 1);
  }
  return "";
}

// Names of the plain files in a folder, sorted.
inline std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::istringstream listing(run("cd '" + folder +
                                 "' 2>/dev/null && LC_ALL=C find . -maxdepth 1 -type f "
                                 "! -name '.*' -printf '%f\\n' | LC_ALL=C sort"));
  for (std::string name; std::getline(listing, name);) names.push_back(name);
  return names;
}

}  // namespace package_test
