#include "pedalyx/report/central_database.h"

#include <libpq-fe.h>

#include <cctype>
#include <cstdio>
#include <memory>

#include "platform/files.h"

namespace {

bool isPasswordKeyword(const std::string& keyword) {
  return keyword == "password" || keyword == "sslpassword";
}

CentralConfig invalid(std::string problem) {
  CentralConfig config;
  config.status = CentralConfig::Status::Invalid;
  config.problem = std::move(problem);
  return config;
}

// libpq's parse message quotes pieces of the string, which may be a password's.
bool mayHoldPassword(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("password") != std::string::npos || lower.find('@') != std::string::npos;
}

}  // namespace

std::string CentralConfig::describe() const {
  std::string text;
  for (const auto& [keyword, value] : parameters) {
    if (!text.empty()) text += ' ';
    text += keyword + "=" + value;
  }
  return text;
}

CentralConfig parseCentralConnectionString(const std::string& text, bool* passwordRemoved) {
  if (passwordRemoved) *passwordRemoved = false;
  if (text.size() > kCentralConnectionStringLimit + 2)
    return invalid("longer than " + std::to_string(kCentralConnectionStringLimit) + " bytes");
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r' || text[end - 1] == ' ')) --end;
  const std::string line = text.substr(0, end);
  if (line.empty()) return invalid("empty");
  if (line.size() > kCentralConnectionStringLimit)
    return invalid("longer than " + std::to_string(kCentralConnectionStringLimit) + " bytes");
  for (unsigned char c : line) {
    if (c == '\n' || c == '\r') return invalid("more than one line");
    if (c < 0x20 || c == 0x7f) return invalid("holds a control character");
  }
  char* error = nullptr;
  std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
      PQconninfoParse(line.c_str(), &error), PQconninfoFree);
  if (!options) {
    std::string message = error && !mayHoldPassword(line) ? error : "";
    PQfreemem(error);
    while (!message.empty() && message.back() == '\n') message.pop_back();
    return invalid("not a connection string" + (message.empty() ? "" : ": " + message));
  }
  CentralConfig config;
  config.status = CentralConfig::Status::Ready;
  for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
    if (!option->val) continue;
    if (isPasswordKeyword(option->keyword)) {
      if (passwordRemoved) *passwordRemoved = true;
      continue;
    }
    config.parameters.emplace_back(option->keyword, option->val);
  }
  return config;
}

CentralConfig readCentralConfig(const std::string& folder) {
  const std::string path = platform::joinPath(folder, kCentralDatabaseFileName);
  if (!platform::fileExists(path)) return {};
  const auto text = platform::readWholeFile(path, kCentralConnectionStringLimit + 2);
  bool passwordRemoved = false;
  CentralConfig config = text ? parseCentralConnectionString(*text, &passwordRemoved)
                              : invalid("cannot be read or is longer than " +
                                        std::to_string(kCentralConnectionStringLimit) + " bytes");
  if (config.status == CentralConfig::Status::Invalid)
    std::fprintf(stderr, "%s is not used: %s\n", kCentralDatabaseFileName, config.problem.c_str());
  if (passwordRemoved)
    std::fprintf(stderr,
                 "%s holds a password, which is ignored: give it in the password file "
                 "(~/.pgpass) or in PGPASSWORD\n",
                 kCentralDatabaseFileName);
  return config;
}
