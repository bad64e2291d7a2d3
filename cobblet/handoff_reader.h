// Reading the hand-off that tells the insole tool which feet to fit, and the one-value
// setting file of the 30-degree slope limit.
#pragma once
#include <array>
#include <string>

#include "platform/insole_handoff_contract.h"

namespace cobblet {

constexpr const char* kHandoffPath = platform::kInsoleHandoffName;  // nine numbers per side
constexpr const char* kParametersPath = "insole parameters.txt";    // eight numbers per side
constexpr const char* kSlopeLimitSettingPath = "bt_degree_30.txt";
constexpr const char* kRefusedHandoffEnding = ".bad";  // "insole_info.bad"
// A hand-off being fitted is kept aside as "insole_info.taken-<process id>-<n>" until both
// insoles are saved, so a tool that ends before that leaves it for the next start.
constexpr const char* kTakenHandoffMark = ".taken-";
constexpr size_t kMaxTokenLength = 63;
constexpr size_t kMaxRecordNameLength = 130;

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
  std::string takenPath;   // where the hand-off being fitted is kept aside; empty when none
};

// The numbers a side may hold are those of platform::handoffNumberRefusal. Of the parameter
// file's eight, only the arch index and the length are judged; the others need only be finite.

// Applies one hand-off text to the fields: "left" and "right" are followed by numbersPerSide
// numbers, "right" then by the record name; other tokens are skipped. A record is taken whole
// or not at all: when a number is missing, not a number as a whole token, not finite or out of
// range, or the name after "right" is missing, nothing is applied, the reason is set and false
// is returned. Tokens are cut at kMaxTokenLength bytes and the name at kMaxRecordNameLength,
// never inside a character. Diagnostics are appended to log.
bool applyHandoffText(const std::string& text, int numbersPerSide, HandoffFields& fields,
                      std::string& log, std::string* reason = nullptr);

enum class HandoffRead { kNone, kApplied, kRefused };

// One attempt: takes, in this order, a hand-off that an ended tool left unfinished, "insole
// parameters.txt", "insole_info.txt". The file is first renamed aside (takenPath), so the
// station sees it consumed at once and two tools never take the same one. An applied hand-off
// stays aside until finishHandoff; a refused one is kept under the same name ending in ".bad"
// (keptAs), replacing an older one, so nothing the station sent is lost.
HandoffRead readHandoffFile(const std::string& folder, HandoffFields& fields, std::string& log,
                            std::string* reason = nullptr, std::string* keptAs = nullptr);

// Ends the taken hand-off: deleted when every insole it asked for was saved; otherwise left
// aside for the next start to make again. Clears takenPath either way.
void finishHandoff(HandoffFields& fields, bool everyInsoleSaved, std::string& log);

// Whether a hand-off waits in folder: a new one, or one that an ended tool left unfinished.
bool handoffWaiting(const std::string& folder);

// Replaces characters that would leave the output folder or that file systems refuse
// (separators, ':', '*', '?', '"', '<', '>', '|', control characters) by '_', and leading dots
// too, so the file is never hidden.
std::string fileNameSafe(const std::string& name);

// The stored slope-limit switch: on when the file holds a non-zero integer, off when the file
// is missing or holds no number.
bool loadSlopeLimitSetting(const std::string& folder);
// Writes "0" or "1"; false when the file could not be written.
bool storeSlopeLimitSetting(const std::string& folder, bool on);

}  // namespace cobblet
