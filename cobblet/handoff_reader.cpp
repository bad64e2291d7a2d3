#include "cobblet/handoff_reader.h"

#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/text_encoding.h"

namespace cobblet {
namespace {

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Whitespace-separated tokens; CR and LF count as white space like blanks.
class TokenReader {
 public:
  explicit TokenReader(const std::string& text) : text_(text) {}

  // The next token cut at maxLength bytes (never inside a character); the cut-off rest is
  // dropped. False at the end.
  bool next(size_t maxLength, std::string& token) {
    while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
    if (pos_ >= text_.size()) return false;
    size_t end = pos_;
    while (end < text_.size() && !isBlank(text_[end])) ++end;
    token = platform::cutAtCharacterBoundary(text_.substr(pos_, end - pos_), maxLength);
    pos_ = end;
    return true;
  }

 private:
  const std::string& text_;
  size_t pos_ = 0;
};

// A whole token that is a finite decimal number.
bool parseNumber(const std::string& token, float& value) {
  if (token.empty() || token.size() >= kMaxTokenLength) return false;
  char* stop = nullptr;
  const float parsed = std::strtof(token.c_str(), &stop);
  if (stop != token.c_str() + token.size() || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

// Why value i of a side cannot be meant, or nullptr when it can.
const char* outOfRange(int i, float value, int numbersPerSide) {
  if (numbersPerSide != platform::kHandoffNumbersPerSide && i >= 2) return nullptr;
  return platform::handoffNumberRefusal(i, value);
}

bool readSide(TokenReader& reader, const char* keyword, int count, SideValues& side,
              std::string& reason) {
  std::string token;
  for (int i = 0; i < count && i < static_cast<int>(side.values.size()); ++i) {
    if (!reader.next(kMaxTokenLength, token)) {
      reason =
          std::string("\"") + keyword + "\" has fewer than " + std::to_string(count) + " numbers";
      return false;
    }
    if (!parseNumber(token, side.values[i])) {
      reason = std::string("\"") + keyword + "\" number " + std::to_string(i + 1) + " \"" + token +
               "\" is not a finite number";
      return false;
    }
    if (const char* why = outOfRange(i, side.values[i], count)) {
      reason = std::string("\"") + keyword + "\" " + why + ": " + token;
      return false;
    }
  }
  return true;
}

// "insole_info" of "insole_info.txt".
std::string stemOf(const std::string& name) { return name.substr(0, name.rfind('.')); }

// The files a hand-off can come in, with the count of numbers per side of each.
struct HandoffKind {
  const char* name;
  int numbersPerSide;
};
constexpr HandoffKind kHandoffKinds[] = {{kParametersPath, 8},
                                         {kHandoffPath, platform::kHandoffNumbersPerSide}};

// The kind of a taken hand-off's name, when the tool that took it no longer runs. A tool
// never finishes its own, which it keeps aside only after an insole failed.
const HandoffKind* leftByEndedTool(const std::string& name) {
  for (const HandoffKind& kind : kHandoffKinds) {
    const std::string prefix = stemOf(kind.name) + kTakenHandoffMark;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    char* end = nullptr;
    const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
    if (end == name.c_str() + prefix.size() || *end != '-') return nullptr;
    return pid == ::getpid() || platform::processRunning(pid) ? nullptr : &kind;
  }
  return nullptr;
}

// The first waiting hand-off: its name in folder and its kind; nullptr when none waits.
const HandoffKind* waitingHandoff(const std::string& folder, std::string& name) {
  for (const std::string& entry : platform::listFolder(folder)) {
    if (const HandoffKind* kind = leftByEndedTool(entry)) {
      name = entry;
      return kind;
    }
  }
  for (const HandoffKind& kind : kHandoffKinds) {
    if (platform::fileExists(platform::joinPath(folder, kind.name))) {
      name = kind.name;
      return &kind;
    }
  }
  return nullptr;
}

}  // namespace

bool applyHandoffText(const std::string& text, int numbersPerSide, HandoffFields& fields,
                      std::string& log, std::string* reason) {
  // Read into a copy; the fields change only when the whole hand-off is sound.
  HandoffFields read = fields;
  std::string why;
  TokenReader reader(text);
  std::string token;
  bool sound = true;
  while (sound && reader.next(kMaxTokenLength, token)) {
    if (token == "left") {
      log += "FOUND LEFT: \n";
      read.leftPending = true;
      sound = readSide(reader, "left", numbersPerSide, read.left, why);
      if (sound && numbersPerSide == 8) {
        char number[64];
        for (int i = 0; i < 8; ++i) {
          std::snprintf(number, sizeof number, "%f ", read.left.values[i]);
          log += number;
        }
      }
    } else if (token == "right") {
      log += "FOUND RIGHT: \n";
      read.rightPending = true;
      sound = readSide(reader, "right", numbersPerSide, read.right, why);
      if (sound && !reader.next(kMaxRecordNameLength, read.recordName)) {
        why = "no record name after \"right\"";
        sound = false;
      }
    }
  }
  if (!sound) {
    log += "The hand-off is refused: " + why + "\n";
    if (reason != nullptr) *reason = why;
    return false;
  }
  fields = read;
  return true;
}

HandoffRead readHandoffFile(const std::string& folder, HandoffFields& fields, std::string& log,
                            std::string* reason, std::string* keptAs) {
  // A hand-off is a few hundred bytes; anything far larger is not one.
  constexpr size_t kLargestHandoffBytes = 1 << 16;
  std::string name;
  const HandoffKind* kind = waitingHandoff(folder, name);
  if (kind == nullptr) return HandoffRead::kNone;
  if (name != kind->name) log += "Finishing " + name + ", which an ended tool left\n";
  // Taken by renaming: of two tools only one can, and a new hand-off of the station never
  // replaces the one being fitted.
  static int taken = 0;
  const std::string stem = stemOf(kind->name);
  const std::string path =
      platform::joinPath(folder, stem + kTakenHandoffMark + std::to_string(::getpid()) + "-" +
                                     std::to_string(++taken));
  if (!platform::renameFile(platform::joinPath(folder, name), path)) return HandoffRead::kNone;
  const std::optional<std::string> text = platform::readWholeFile(path, kLargestHandoffBytes);
  log += "Read it ~ \n\n";
  std::string why = "the file cannot be read or is too long";
  if (text && applyHandoffText(*text, kind->numbersPerSide, fields, log, &why)) {
    fields.takenPath = path;
    return HandoffRead::kApplied;
  }
  const std::string aside = platform::joinPath(folder, stem + kRefusedHandoffEnding);
  if (!platform::renameFile(path, aside)) platform::removeFile(path);
  log += std::string(kind->name) + " is kept as " + aside + "\n";
  if (reason != nullptr) *reason = why;
  if (keptAs != nullptr) *keptAs = aside;
  return HandoffRead::kRefused;
}

void finishHandoff(HandoffFields& fields, bool everyInsoleSaved, std::string& log) {
  if (fields.takenPath.empty()) return;
  if (everyInsoleSaved) {
    platform::removeFile(fields.takenPath);
  } else {
    log += "Not every insole was saved: " + fields.takenPath + " is kept for the next start\n";
  }
  fields.takenPath.clear();
}

bool handoffWaiting(const std::string& folder) {
  std::string name;
  return waitingHandoff(folder, name) != nullptr;
}

std::string fileNameSafe(const std::string& name) {
  std::string safe = name;
  for (size_t i = 0; i < safe.size() && safe[i] == '.'; ++i) safe[i] = '_';
  for (char& c : safe) {
    unsigned char u = static_cast<unsigned char>(c);
    bool refused = u < 0x20 || u == 0x7f || c == '/' || c == '\\' || c == ':' || c == '*' ||
                   c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
    if (refused) c = '_';
  }
  return safe;
}

bool loadSlopeLimitSetting(const std::string& folder) {
  std::optional<std::string> text =
      platform::readWholeFile(platform::joinPath(folder, kSlopeLimitSettingPath));
  if (!text) return false;
  int value = 0;
  if (std::sscanf(text->c_str(), "%d", &value) != 1) return false;
  return value != 0;
}

bool storeSlopeLimitSetting(const std::string& folder, bool on) {
  return platform::writeFileAtomic(platform::joinPath(folder, kSlopeLimitSettingPath),
                                   on ? "1" : "0");
}

}  // namespace cobblet
