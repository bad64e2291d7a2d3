#include "pedalyx/shell/settings_files.h"

#include <cstdio>

#include "platform/files.h"

namespace settings {
namespace {

std::string formatLine(double value) {
  char line[64];
  std::snprintf(line, sizeof line, "%f\n", value);
  return line;
}

}  // namespace

std::string toTextMode(const std::string& text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

std::string fromTextMode(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

std::string pathIn(const std::string& folder, const std::string& name) {
  return platform::joinPath(folder, name);
}

std::string controlTextPath(const std::string& folder, const std::string& name) {
  return pathIn(folder, name + ".txt");
}

bool saveControlText(const std::string& folder, const std::string& name, const std::string& text) {
  return platform::writeFileAtomic(controlTextPath(folder, name), toTextMode(text));
}

std::optional<std::string> loadControlText(const std::string& folder, const std::string& name) {
  std::optional<std::string> bytes = platform::readWholeFile(controlTextPath(folder, name));
  if (!bytes) return std::nullopt;
  std::string text = fromTextMode(*bytes);
  size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

std::string languageFileBytes(int itemIndex) { return std::to_string(itemIndex); }

bool saveLanguage(const std::string& folder, int itemIndex) {
  return platform::writeFileAtomic(pathIn(folder, kLanguageFileName), languageFileBytes(itemIndex));
}

std::string filterFileBytes(double noiseFilter, double toneDensity) {
  return toTextMode(formatLine(noiseFilter) + formatLine(toneDensity));
}

bool saveFilterSettings(const std::string& folder, double noiseFilter, double toneDensity) {
  return platform::writeFileAtomic(pathIn(folder, kFilterFileName),
                                   filterFileBytes(noiseFilter, toneDensity));
}

std::string blockFileBytes(const double (&blocks)[kBlockCount]) {
  std::string text;
  for (double value : blocks) text += formatLine(value);
  return toTextMode(text);
}

bool saveBlockSettings(const std::string& folder, const double (&blocks)[kBlockCount]) {
  return platform::writeFileAtomic(pathIn(folder, kBlockFileName), blockFileBytes(blocks));
}

}  // namespace settings
