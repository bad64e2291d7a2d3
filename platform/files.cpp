#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/process.h"

namespace platform {
namespace {

constexpr const char* kTemporaryMark = ".partial-";
constexpr size_t kTemporaryNamePrefixBytes = 100;
int injectedError = 0;

// The error a write must fail with under the test hook, or 0.
int writeFailure() {
  if (injectedError != 0) return injectedError;
  const char* fail = std::getenv("PEDALYX_FAIL_WRITES");
  return fail != nullptr && fail[0] == '1' ? ENOSPC : 0;
}

bool writeAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string folderOf(const std::string& path) {
  // "./PDF_INSOLES/" lies in ".", as "./PDF_INSOLES" does.
  const size_t end = path.find_last_not_of('/');
  if (end == std::string::npos) return path.empty() ? "." : "/";
  size_t slash = path.find_last_of('/', end);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

std::string currentDirectory() {
  std::vector<char> buffer(256);
  while (true) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) return std::string(buffer.data());
    if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

bool fileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) {
    // The new folder's entry, and every file later renamed into it, survive a power cut.
    syncFolder(folderOf(path));
    return true;
  }
  return errno == EEXIST && isDirectory(path);
}

std::vector<std::string> listFolder(const std::string& path) {
  std::vector<std::string> names;
  DIR* folder = ::opendir(path.c_str());
  if (folder == nullptr) return names;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(folder);
  std::sort(names.begin(), names.end());
  return names;
}

std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::optional<std::string> readWholeFile(const std::string& path) {
  return readWholeFile(path, std::string().max_size());
}

std::optional<std::string> readWholeFile(const std::string& path, size_t maxBytes) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  struct stat st;
  if (::fstat(::fileno(file), &st) == 0 && S_ISREG(st.st_mode) &&
      static_cast<unsigned long long>(st.st_size) > maxBytes) {
    std::fclose(file);
    return std::nullopt;
  }
  std::string content;
  char chunk[65536];
  size_t n;
  bool tooLong = false;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    if (content.size() + n > maxBytes) {
      tooLong = true;
      break;
    }
    content.append(chunk, n);
  }
  bool failed = tooLong || std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return content;
}

bool writeFileAtomic(const std::string& path, const std::string& bytes) {
  const size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  // Long names are cut for the temporary name, on a character boundary.
  if (name.size() > kTemporaryNamePrefixBytes) {
    size_t cut = kTemporaryNamePrefixBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  std::string pattern =
      joinPath(folderOf(path), name + kTemporaryMark + std::to_string(::getpid()) + "-XXXXXX");
  std::vector<char> tempName(pattern.begin(), pattern.end());
  tempName.push_back('\0');
  int fd = ::mkstemp(tempName.data());
  if (fd < 0) return false;
  const int injected = writeFailure();
  bool ok = injected == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
  // mkstemp creates 0600; the station's files are ordinary user files.
  ::fchmod(fd, 0644);
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(tempName.data(), path.c_str()) == 0) {
    // The rename lives in the folder: without this a power cut can bring the old file back.
    syncFolder(folderOf(path));
    return true;
  }
  ::unlink(tempName.data());
  if (injected != 0) errno = injected;
  return false;
}

bool isTemporaryFileName(const std::string& name) {
  const size_t mark = name.rfind(kTemporaryMark);
  if (mark == std::string::npos) return false;
  const size_t pidStart = mark + std::strlen(kTemporaryMark);
  const size_t dash = name.find('-', pidStart);
  if (dash == std::string::npos || dash == pidStart || name.size() != dash + 7) return false;
  for (size_t i = pidStart; i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
  }
  return true;
}

int removeStaleTemporaryFiles(const std::string& folder) {
  DIR* directory = ::opendir(folder.c_str());
  if (directory == nullptr) return 0;
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(directory)) {
    const std::string name = entry->d_name;
    if (!isTemporaryFileName(name)) continue;
    const size_t pidStart = name.rfind(kTemporaryMark) + std::strlen(kTemporaryMark);
    const long pid = std::strtol(name.c_str() + pidStart, nullptr, 10);
    // Our own number can only be a stale file of an earlier process with the same number.
    const bool running = pid != ::getpid() && processRunning(pid);
    if (!running) stale.push_back(joinPath(folder, name));
  }
  ::closedir(directory);
  int removed = 0;
  for (const std::string& path : stale) removed += ::unlink(path.c_str()) == 0 ? 1 : 0;
  return removed;
}

bool appendWhole(const std::string& path, const std::string& bytes) {
  if (const int injected = writeFailure()) {
    errno = injected;
    return false;
  }
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  bool created = false;
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    created = fd >= 0;
  }
  if (fd < 0) return false;
  ssize_t n;
  do {
    n = ::write(fd, bytes.data(), bytes.size());
  } while (n < 0 && errno == EINTR);
  bool ok = n == static_cast<ssize_t>(bytes.size());
  if (n >= 0 && !ok) {
    // A short append would leave half a row: cut the file back to where it was.
    off_t end = ::lseek(fd, 0, SEEK_END);
    if (end >= n) (void)::ftruncate(fd, end - n);
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = (::close(fd) == 0) && ok;
  // A new file's name is in the folder, which the file's own sync does not cover.
  if (created) syncFolder(folderOf(path));
  return ok;
}

bool removeFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0) {
    syncFolder(folderOf(path));
    return true;
  }
  return errno == ENOENT;
}

bool renameFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) return false;
  const std::string target = folderOf(to), source = folderOf(from);
  syncFolder(target);
  if (source != target) syncFolder(source);
  return true;
}

std::optional<int64_t> modifiedAt(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<int64_t>(info.st_mtime);
}

void failWritesForTesting(int errorNumber) { injectedError = errorNumber; }

int injectedWriteError() { return writeFailure(); }

}  // namespace platform
