#include "platform/process.h"

#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace platform {
namespace {

bool onPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string folders(path);
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::string candidate = folders.substr(start, end - start) + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::vector<std::string> commandLineToArguments(const std::string& commandLine) {
  std::vector<std::string> args;
  std::string current;
  bool quoted = false, inWord = false;
  for (char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) args.push_back(current);
      current.clear();
      inWord = false;
    } else {
      current += c;
      inWord = true;
    }
  }
  if (inWord) args.push_back(current);
  if (!args.empty()) {
    std::string& program = args.front();
    if (program.size() > 4 && strcasecmp(program.c_str() + program.size() - 4, ".exe") == 0)
      program.resize(program.size() - 4);
  }
  return args;
}

std::string executableFolder() {
  std::vector<char> buffer(4096);
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) return "";
  std::string path(buffer.data(), static_cast<size_t>(n));
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "" : path.substr(0, slash == 0 ? 1 : slash);
}

std::string locateProgram(const std::string& program, const std::string& ownFolder) {
  const bool relativePath =
      !program.empty() && program.front() != '/' && program.find('/') != std::string::npos;
  if (!relativePath || ownFolder.empty() || ::access(program.c_str(), X_OK) == 0) return program;
  std::string beside = ownFolder + "/" + program;
  return ::access(beside.c_str(), X_OK) == 0 ? beside : program;
}

bool startProgram(const std::string& commandLine) {
  std::vector<std::string> args = commandLineToArguments(commandLine);
  if (args.empty()) return false;
  args.front() = locateProgram(args.front(), executableFolder());
  // Children are never waited for; ignoring SIGCHLD lets the kernel reap them.
  signal(SIGCHLD, SIG_IGN);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  int rc = args.front().find('/') == std::string::npos
               ? posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ)
               : posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  return rc == 0;
}

bool processRunning(long pid) {
  if (pid <= 0 || pid != static_cast<pid_t>(pid)) return false;
  // EPERM: it runs, under another account.
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool startOnScreenKeyboard() {
  if (!onPath("onboard")) return false;
  return startProgram("onboard");
}

void lowerThisThreadsPriority() {
  // The idle class runs the thread only on a core nothing else wants; a nice value alone still
  // gets slices of several milliseconds, as long as a whole frame of the pressure view. On
  // Linux both apply to the thread whose own id is given.
  const pid_t thread = static_cast<pid_t>(syscall(SYS_gettid));
  const sched_param none{};
  if (sched_setscheduler(thread, SCHED_IDLE, &none) != 0) setpriority(PRIO_PROCESS, thread, 19);
}

}  // namespace platform
