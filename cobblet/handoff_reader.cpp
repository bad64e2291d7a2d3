#include "cobblet/handoff_reader.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/files.h"

namespace cobblet {
namespace {

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Whitespace-separated tokens; CR and LF count as white space like blanks.
class TokenReader {
 public:
  explicit TokenReader(const std::string& text) : text_(text) {}

  // The next token cut at maxLength bytes; the cut-off rest is dropped. False at the end.
  bool next(size_t maxLength, std::string& token) {
    skipBlanks();
    if (pos_ >= text_.size()) return false;
    size_t end = pos_;
    while (end < text_.size() && !isBlank(text_[end])) ++end;
    token = text_.substr(pos_, std::min(end - pos_, maxLength));
    pos_ = end;
    return true;
  }

  // Reads a decimal number from the start of the next token, as a formatted read would: the
  // unread remainder of the token stays for the next read. Nothing is consumed on failure.
  bool number(float& value) {
    skipBlanks();
    size_t end = pos_;
    while (end < text_.size() && !isBlank(text_[end]) && end - pos_ < kMaxTokenLength) ++end;
    std::string token = text_.substr(pos_, end - pos_);
    if (token.empty()) return false;
    char* stop = nullptr;
    float parsed = std::strtof(token.c_str(), &stop);
    size_t used = static_cast<size_t>(stop - token.c_str());
    if (used == 0 || !std::isfinite(parsed)) return false;
    value = parsed;
    pos_ += used;
    return true;
  }

 private:
  void skipBlanks() {
    while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
  }
  const std::string& text_;
  size_t pos_ = 0;
};

void readSide(TokenReader& reader, int count, SideValues& side) {
  for (int i = 0; i < count && i < static_cast<int>(side.values.size()); ++i) {
    if (!reader.number(side.values[i])) return;
  }
}

}  // namespace

void applyHandoffText(const std::string& text, int numbersPerSide, HandoffFields& fields,
                      std::string& log) {
  TokenReader reader(text);
  std::string token;
  while (reader.next(kMaxTokenLength, token)) {
    if (token == "left") {
      log += "FOUND LEFT: \n";
      fields.leftPending = true;
      readSide(reader, numbersPerSide, fields.left);
      if (numbersPerSide == 8) {
        char number[64];
        for (int i = 0; i < 8; ++i) {
          std::snprintf(number, sizeof number, "%f ", fields.left.values[i]);
          log += number;
        }
      }
    } else if (token == "right") {
      log += "FOUND RIGHT: \n";
      fields.rightPending = true;
      readSide(reader, numbersPerSide, fields.right);
      std::string name;
      if (reader.next(kMaxRecordNameLength, name)) fields.recordName = name;
    }
  }
}

bool readHandoffFile(const std::string& folder, HandoffFields& fields, std::string& log) {
  std::string path = platform::joinPath(folder, kParametersPath);
  int numbersPerSide = 8;
  std::optional<std::string> text = platform::readWholeFile(path);
  if (!text) {
    path = platform::joinPath(folder, kHandoffPath);
    numbersPerSide = 9;
    text = platform::readWholeFile(path);
    if (!text) return false;
  }
  log += "Read it ~ \n\n";
  applyHandoffText(*text, numbersPerSide, fields, log);
  platform::removeFile(path);
  return true;
}

std::string fileNameSafe(const std::string& name) {
  std::string safe = name;
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
