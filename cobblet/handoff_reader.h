// Reading the hand-off that tells the insole tool which feet to fit, and the one-value
// setting file of the 30-degree slope limit.
#pragma once
#include <array>
#include <string>

namespace cobblet {

constexpr const char* kHandoffPath = "insole_info.txt";           // nine numbers per side
constexpr const char* kParametersPath = "insole parameters.txt";  // eight numbers per side
constexpr const char* kSlopeLimitSettingPath = "bt_degree_30.txt";
constexpr size_t kMaxTokenLength = 63;
constexpr size_t kMaxRecordNameLength = 130;

// Numbers of one foot in file order: 0 arch index, 1 foot length in mm, the rest unused here.
struct SideValues {
  std::array<float, 9> values{};
  float archIndex() const { return values[0]; }
  float footLength() const { return values[1]; }
};

// What the hand-offs read so far asked for. A pending side stays set until its insole is saved.
struct HandoffFields {
  SideValues left;
  SideValues right;
  bool leftPending = false;
  bool rightPending = false;
  std::string recordName;  // at most kMaxRecordNameLength bytes
};

// Applies the tokens of one hand-off text to the fields: "left" and "right" are followed by
// numbersPerSide numbers, "right" then by the record name; other tokens are skipped. Tokens are
// cut at kMaxTokenLength bytes and the name at kMaxRecordNameLength. A token that is not a
// finite number ends the side's numbers and is then read as the next keyword (or, after
// "right", as the name). Diagnostics are appended to log.
void applyHandoffText(const std::string& text, int numbersPerSide, HandoffFields& fields,
                      std::string& log);

// One attempt: reads "insole parameters.txt" in folder when it exists, else "insole_info.txt",
// applies it and deletes it. False when neither file was there.
bool readHandoffFile(const std::string& folder, HandoffFields& fields, std::string& log);

// Replaces characters that would leave the output folder or that file systems refuse
// (separators, ':', '*', '?', '"', '<', '>', '|', control characters) by '_'.
std::string fileNameSafe(const std::string& name);

// The stored slope-limit switch: on when the file holds a non-zero integer, off when the file
// is missing or holds no number.
bool loadSlopeLimitSetting(const std::string& folder);
// Writes "0" or "1"; false when the file could not be written.
bool storeSlopeLimitSetting(const std::string& folder, bool on);

}  // namespace cobblet
