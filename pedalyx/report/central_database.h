// The central database of a chain of shops: where it is ("central_database.txt" in the working
// directory, one libpq connection string) and the timeouts every use of it keeps.
#pragma once
#include <string>
#include <utility>
#include <vector>

constexpr const char* kCentralDatabaseFileName = "central_database.txt";
// Longest connection string accepted, in bytes.
constexpr size_t kCentralConnectionStringLimit = 1024;

struct CentralConfig {
  enum class Status {
    NotConfigured,  // no file: the station works alone
    Invalid,        // a file that is no usable connection string; `problem` says why
    Ready,
  };
  Status status = Status::NotConfigured;
  std::string problem;
  // The connection string as libpq parsed it, keyword and value, without any password.
  std::vector<std::pair<std::string, std::string>> parameters;

  bool configured() const { return status != Status::NotConfigured; }
  // "host=… port=… dbname=… user=…" for messages; never holds a password.
  std::string describe() const;
};

// Checks one connection string: a single line of at most kCentralConnectionStringLimit bytes
// without control characters that libpq can parse. A password in it is removed (passwords come
// from the password file or PGPASSWORD) and `passwordRemoved` is set.
CentralConfig parseCentralConnectionString(const std::string& text, bool* passwordRemoved);

// Reads "central_database.txt" in `folder`. A missing file is NotConfigured; a removed password
// or an invalid file is said on standard error, without the password.
CentralConfig readCentralConfig(const std::string& folder);

// Bounds of every wait on the server, so that a dead network never holds a caller longer.
struct CentralTimeouts {
  int connectMs = 10000;
  int statementMs = 30000;  // the server cancels a statement after this; we wait 5 s more
};
