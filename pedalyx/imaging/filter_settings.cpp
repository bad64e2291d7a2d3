#include "pedalyx/imaging/filter_settings.h"

#include <cstdlib>

#include "platform/files.h"

std::vector<float> parseSettingValues(const std::string& text, int count) {
  std::vector<float> values;
  float value = 1.0f;
  const char* at = text.c_str();
  bool readable = true;
  for (int i = 0; i < count; ++i) {
    if (readable) {
      char* end = nullptr;
      const float next = std::strtof(at, &end);
      if (end == at) {
        readable = false;  // a stopped read stays stopped, like a failed scan
      } else {
        value = next;
        at = end;
      }
    }
    values.push_back(value);
  }
  return values;
}

std::optional<std::vector<float>> readSettingValues(const std::string& path, int count) {
  const std::optional<std::string> text = platform::readWholeFile(path);
  if (!text) return std::nullopt;
  return parseSettingValues(*text, count);
}
