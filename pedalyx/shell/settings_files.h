// The station's small settings files in the working directory. Each file is rewritten whole
// (atomically) whenever its control changes. They are text files in the byte layout the
// station has always used: every line ends with CR LF and numbers are written as "%f".
#pragma once
#include <optional>
#include <string>

namespace settings {

constexpr const char* kLanguageFileName = "language_choice.txt";
constexpr const char* kFilterFileName = "noise.txt";
constexpr const char* kBlockFileName = "blue_block.txt";
constexpr int kBlockCount = 6;

// Text-mode line ends on disk: "\n" in memory is "\r\n" in the file.
std::string toTextMode(const std::string& text);
std::string fromTextMode(const std::string& bytes);

// folder/name, or just name when folder is empty (a name relative to the current directory).
std::string pathIn(const std::string& folder, const std::string& name);

// The file that keeps the text of one case field: folder/name.txt.
std::string controlTextPath(const std::string& folder, const std::string& name);

// Writes the field's text exactly, without a line end. False when it could not be written
// (the file is then left as it was).
bool saveControlText(const std::string& folder, const std::string& name, const std::string& text);

// The stored text, whole (any length), ending at the first zero byte; nothing when the file
// is missing or unreadable.
std::optional<std::string> loadControlText(const std::string& folder, const std::string& name);

// "0" for Traditional, "1" for Simplified, no line end.
std::string languageFileBytes(int itemIndex);
bool saveLanguage(const std::string& folder, int itemIndex);

// Two lines: noise-filter value, tone-density value.
std::string filterFileBytes(double noiseFilter, double toneDensity);
bool saveFilterSettings(const std::string& folder, double noiseFilter, double toneDensity);

// Six lines in the order left, right, middle left, middle right, bottom, top.
std::string blockFileBytes(const double (&blocks)[kBlockCount]);
bool saveBlockSettings(const std::string& folder, const double (&blocks)[kBlockCount]);

}  // namespace settings
