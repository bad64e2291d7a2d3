// The temporary folder of one test: made empty under the system's temporary folder and removed
// with everything in it when the object goes, also when an assertion ends the test early. A
// folder of a failed test is kept and named, for a person to look at; so is every folder when
// PEDALYX_KEEP_TEST_FOLDERS is set.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix) {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) base = "/tmp";
    std::string pattern = (base / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() { remove(); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  // Removes the folder now; what a test made unwritable is made writable first.
  void remove() {
    if (path_.empty() || getpid() != owner_) return;  // a forked child leaves it to its parent
    if (getenv("PEDALYX_KEEP_TEST_FOLDERS") != nullptr || failedSoFar()) {
      std::printf("test folder kept: %s\n", path_.c_str());
    } else {
      allowEverything(path_);
      std::error_code ignored;
      std::filesystem::remove_all(path_, ignored);
    }
    path_.clear();
  }

 private:
  // The running test's result inside a test, else the whole program's.
  static bool failedSoFar() {
    const ::testing::UnitTest* tests = ::testing::UnitTest::GetInstance();
    if (tests->current_test_info() != nullptr) return ::testing::Test::HasFailure();
    return tests->Failed();
  }

  static void allowEverything(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    for (std::filesystem::directory_iterator it(folder, ignored), end; it != end;
         it.increment(ignored)) {
      if (it->is_directory(ignored) && !it->is_symlink(ignored)) allowEverything(it->path());
    }
  }

  std::string path_;
  pid_t owner_ = getpid();
};
