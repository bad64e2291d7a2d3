// One connection to the central database in which no wait outlasts its timeout: a
// non-blocking connect, every statement sent with bound parameters through libpq's pipeline (one
// round trip per transaction), and a socket watched with poll() against a deadline. Used by one
// thread at a time.
#pragma once
#include <libpq-fe.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "pedalyx/report/central_database.h"

// One bound parameter: SQL NULL, a text, or binary bytes (for bytea). Points into the caller's
// data, which must outlive the statement's run.
struct CentralParameter {
  const char* data = nullptr;
  int size = 0;
  bool binary = false;

  static CentralParameter null() { return {}; }
  static CentralParameter text(const std::string& value) {
    return {value.c_str(), static_cast<int>(value.size()), false};
  }
  // An empty text is NULL (no phone, no ID).
  static CentralParameter textOrNull(const std::string& value) {
    return value.empty() ? null() : text(value);
  }
  static CentralParameter bytes(const std::vector<unsigned char>& value) {
    static const char empty = 0;
    return {value.empty() ? &empty : reinterpret_cast<const char*>(value.data()),
            static_cast<int>(value.size()), true};
  }
};

struct CentralStatement {
  std::string sql;
  std::vector<CentralParameter> parameters;
  bool binaryResults = false;  // every column in binary (bytea as its bytes) instead of text
};

struct CentralReply {
  enum class Kind {
    Done,         // the statement (or the whole transaction) ran
    ServerError,  // the server refused it; sqlState and message say why; the connection is fine
    Lost,         // the connection failed or the deadline passed; the connection is unusable
  };
  Kind kind = Kind::Lost;
  std::string sqlState;  // five characters of the server's error, "23505"
  std::string message;   // the server's primary message or what failed on our side
  std::shared_ptr<PGresult> rows;

  int rowCount() const { return rows ? PQntuples(rows.get()) : 0; }
  bool isNull(int row, int column) const { return PQgetisnull(rows.get(), row, column) != 0; }
  std::string text(int row, int column) const {
    return std::string(PQgetvalue(rows.get(), row, column), PQgetlength(rows.get(), row, column));
  }
};

class CentralConnection {
 public:
  // Connects within timeouts.connectMs and sets the session's statement timeout and UTC time
  // zone. `abort`, when given and set by another thread, ends every wait of this connection
  // early. Null with `error` set when the server cannot be reached or refuses the login.
  static std::unique_ptr<CentralConnection> open(const CentralConfig& config,
                                                 const CentralTimeouts& timeouts,
                                                 const std::atomic<bool>* abort,
                                                 std::string* error);
  ~CentralConnection();
  CentralConnection(const CentralConnection&) = delete;
  CentralConnection& operator=(const CentralConnection&) = delete;

  // One statement, within statementMs plus 5 s.
  CentralReply execute(const CentralStatement& statement);
  // Several statements in one round trip, each on its own, within the same bound in all.
  std::vector<CentralReply> executeAll(const std::vector<CentralStatement>& statements);
  // The statements in one transaction, within the same bound in all: Done once the server
  // committed; otherwise the first failing statement's error, or Lost (then the transaction may
  // or may not have been committed).
  CentralReply transaction(const std::vector<CentralStatement>& statements);
  // False once a reply was Lost.
  bool usable() const { return usable_; }

 private:
  CentralConnection(PGconn* connection, const CentralTimeouts& timeouts,
                    const std::atomic<bool>* abort);
  std::vector<CentralReply> runPipeline(const std::vector<CentralStatement>& statements);

  PGconn* connection_;
  CentralTimeouts timeouts_;
  const std::atomic<bool>* abort_;
  bool usable_ = true;
};
