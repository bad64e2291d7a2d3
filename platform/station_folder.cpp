#include "platform/station_folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

#include "platform/files.h"

namespace platform {
namespace {

using Manifest = std::map<std::string, uint64_t>;

std::string environmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// FNV-1a: enough to tell whether a file still holds what was installed.
uint64_t checksum(const std::string& bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

// One line per file: 16 hexadecimal digits, a blank, the file name.
Manifest readManifest(const std::string& path) {
  Manifest manifest;
  std::string text = readWholeFile(path).value_or("");
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.size() < 18 || line[16] != ' ') continue;
    const std::string digits = line.substr(0, 16);  // outlives the end pointer read below
    char* rest = nullptr;
    uint64_t sum = std::strtoull(digits.c_str(), &rest, 16);
    if (rest == nullptr || *rest != '\0') continue;
    manifest[line.substr(17)] = sum;
  }
  return manifest;
}

std::string manifestText(const Manifest& manifest) {
  std::string text;
  for (const auto& [name, sum] : manifest) {
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016" PRIx64, sum);
    text += std::string(digits) + " " + name + "\n";
  }
  return text;
}

// Creates every missing folder on the way with mode 0700, as the base directory rules ask: the
// station folder holds customers' personal data.
bool makePrivateFolder(const std::string& path) {
  if (isDirectory(path)) return true;
  if (::mkdir(path.c_str(), 0700) != 0) return isDirectory(path);
  syncFolder(folderOf(path));
  return true;
}

bool makeFolderTree(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    if (!makePrivateFolder(path.substr(0, slash))) return false;
  }
  return makePrivateFolder(path);
}

StationFolderUpdate failure(const std::string& what, const std::string& path) {
  StationFolderUpdate result;
  result.error = what + ": " + path;
  return result;
}

}  // namespace

StationEnvironment stationEnvironmentOfProcess() {
  StationEnvironment environment{environmentValue("PEDALYX_HOME"),
                                 environmentValue("XDG_DATA_HOME"), environmentValue("HOME")};
  if (environment.home.empty()) {
    if (const passwd* account = getpwuid(getuid())) {
      if (account->pw_dir != nullptr) environment.home = account->pw_dir;
    }
  }
  return environment;
}

std::string chooseStationFolder(const StationEnvironment& environment) {
  if (!environment.pedalyxHome.empty()) return environment.pedalyxHome;
  // The base directory rules ignore a relative XDG_DATA_HOME.
  if (!environment.xdgDataHome.empty() && environment.xdgDataHome.front() == '/')
    return joinPath(environment.xdgDataHome, "pedalyx");
  if (environment.home.empty()) return "";
  return joinPath(environment.home, ".local/share/pedalyx");
}

std::string installedDataFolder(const std::string& programFolder) {
  if (programFolder.empty()) return "";
  std::string folder = joinPath(programFolder, "../share/pedalyx");
  return isDirectory(folder) ? folder : "";
}

StationFolderUpdate updateStationFolder(const std::string& dataFolder,
                                        const std::string& stationFolder) {
  namespace fs = std::filesystem;
  if (!makeFolderTree(stationFolder))
    return failure("cannot create the station folder", stationFolder);

  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator entries(dataFolder, error);
  if (error) return failure("cannot read the installed data", dataFolder);
  for (const fs::directory_entry& entry : entries) {
    if (entry.is_regular_file(error)) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());

  const std::string manifestPath = joinPath(stationFolder, kInstalledDataManifest);
  Manifest manifest = readManifest(manifestPath);
  const std::string before = manifestText(manifest);
  StationFolderUpdate result;
  for (const std::string& name : names) {
    const std::string source = joinPath(dataFolder, name);
    const std::string target = joinPath(stationFolder, name);
    std::optional<std::string> installed = readWholeFile(source);
    if (!installed) return failure("cannot read", source);
    const uint64_t installedSum = checksum(*installed);
    std::optional<std::string> present = readWholeFile(target);
    if (!present && fileExists(target)) {
      result.kept.push_back(name);  // there but unreadable: not ours to replace
      continue;
    }
    const bool sameAsInstalled = present && checksum(*present) == installedSum;
    auto recorded = manifest.find(name);
    const bool asLastInstalled =
        present && recorded != manifest.end() && recorded->second == checksum(*present);
    if (present && !sameAsInstalled && !asLastInstalled) {
      // Changed by the operator, or there before the package knew it: never overwritten.
      result.kept.push_back(name);
      continue;
    }
    if (!sameAsInstalled) {
      if (!writeFileAtomic(target, *installed)) return failure("cannot write", target);
      (present ? result.updated : result.copied).push_back(name);
    }
    manifest[name] = installedSum;
  }
  const std::string after = manifestText(manifest);
  if (after != before && !writeFileAtomic(manifestPath, after))
    return failure("cannot write", manifestPath);
  result.ok = true;
  return result;
}

FolderHold holdStationFolder(const std::string& folder, std::string* detail) {
  // Never closed: the hold lasts as long as the process, and the system drops it when the
  // process ends in any way. Close-on-exec keeps it from the insole tool the station starts.
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    if (detail != nullptr) *detail = std::strerror(errno);
    return FolderHold::kUnavailable;
  }
  int locked;
  do {
    locked = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (locked != 0 && errno == EINTR);
  if (locked == 0) return FolderHold::kHeld;
  const int error = errno;
  ::close(fd);
  if (detail != nullptr) *detail = std::strerror(error);
  return error == EWOULDBLOCK ? FolderHold::kInUse : FolderHold::kUnavailable;
}

std::string stationFolderInUseText(const std::string& folder) {
  return "另一個工作站正在使用這個工作資料夾，本工作站不啟動。\n"
         "(another station is running on this station folder): " +
         folder;
}

int removeStaleTemporaryFilesOfStation(const std::string& stationFolder) {
  int removed = 0;
  for (const std::string folder : kWrittenFolders)
    removed +=
        removeStaleTemporaryFiles(folder == "." ? stationFolder : joinPath(stationFolder, folder));
  return removed;
}

}  // namespace platform
