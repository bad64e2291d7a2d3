#include "pedalyx/capture/frame_rates.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "platform/files.h"

namespace {

// Longer files are not one number.
constexpr size_t kLongestRateFile = 64;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::optional<double> framesPerSecondOfText(const std::string& text) {
  size_t first = 0, end = text.size();
  while (first < end && isSpace(text[first])) ++first;
  while (end > first && isSpace(text[end - 1])) --end;
  if (first == end) return std::nullopt;
  const std::string number = text.substr(first, end - first);
  char* stop = nullptr;
  errno = 0;
  const double value = std::strtod(number.c_str(), &stop);
  if (errno != 0 || stop != number.c_str() + number.size() || !std::isfinite(value))
    return std::nullopt;
  if (value < kLowestFramesPerSecond || value > kHighestFramesPerSecond) return std::nullopt;
  return value;
}

double simulatedFramesPerSecond(const char* value, std::FILE* log) {
  if (value == nullptr) return kDefaultFramesPerSecond;
  if (std::optional<double> rate = framesPerSecondOfText(value)) return *rate;
  std::fprintf(log, "PEDALYX_SIMULATED_FPS \"%s\" is not a frame rate from 1 to 240: 30 used\n",
               value);
  return kDefaultFramesPerSecond;
}

double folderFramesPerSecond(const std::string& folder, std::FILE* log) {
  const std::string path = platform::joinPath(folder, kFolderRateFile);
  if (!platform::fileExists(path)) return kDefaultFramesPerSecond;
  const std::optional<std::string> text = platform::readWholeFile(path, kLongestRateFile);
  if (text) {
    if (std::optional<double> rate = framesPerSecondOfText(*text)) return *rate;
  }
  std::fprintf(log, "%s holds no frame rate from 1 to 240: the frames play at 30 a second\n",
               path.c_str());
  return kDefaultFramesPerSecond;
}
