// Where the benchmarks find the staged working directory: beside their own folder
// (build/bench -> build/station).
#pragma once
#include <unistd.h>

#include <string>

inline std::string stationDirectory() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string exe(path, n > 0 ? size_t(n) : 0);
  const size_t slash = exe.rfind("/bench/");
  return slash == std::string::npos ? "build/station" : exe.substr(0, slash) + "/station";
}
