// A thin owner of one SQLite connection and its prepared statements, for the examination
// store. Every value reaches SQL through a bound parameter; statements are prepared once per
// connection and reused. A connection belongs to one thread at a time.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace report {

class SqlStatement;

class SqlConnection {
 public:
  SqlConnection() = default;
  ~SqlConnection();
  SqlConnection(const SqlConnection&) = delete;
  SqlConnection& operator=(const SqlConnection&) = delete;

  // Opens the file; readOnly never creates or writes it. False with error() set on failure.
  bool open(const std::string& path, bool readOnly);
  bool isOpen() const { return db_ != nullptr; }

  // Runs SQL without parameters (schema and pragmas only). False with error() set.
  bool execute(const char* sql);
  // The first column of the first row of a parameterless query as text; nothing on failure.
  std::optional<std::string> queryText(const char* sql);

  // The statement for this SQL text, prepared at first use and reset for a new use: its
  // parameters are cleared. Null on failure, error() set.
  SqlStatement* statement(const char* sql);

  // BEGIN IMMEDIATE: the write lock is taken at once, not halfway through. Refused while the
  // station's writes are made to fail as on a full disk (platform::injectedWriteError).
  bool begin();
  // True, with error() set, while writes are made to fail: a write outside a transaction asks.
  bool writesRefused();
  bool commit();
  void rollback();

  // Rows changed by the last INSERT, UPDATE or DELETE, and the rowid of the last INSERT.
  int64_t changes() const;
  int64_t lastInsertRowid() const;

  const std::string& error() const { return error_; }
  void setError(const std::string& context);  // error() = context + the connection's message
  sqlite3* handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
  std::map<std::string, std::unique_ptr<SqlStatement>> statements_;  // by SQL text
  std::string error_;
};

class SqlStatement {
 public:
  explicit SqlStatement(sqlite3_stmt* statement) : statement_(statement) {}
  ~SqlStatement();
  SqlStatement(const SqlStatement&) = delete;
  SqlStatement& operator=(const SqlStatement&) = delete;

  // Parameters count from 1, as in SQL's ?1.
  SqlStatement& bind(int index, const std::string& text);
  SqlStatement& bind(int index, int64_t value);
  SqlStatement& bindReal(int index, double value);
  SqlStatement& bind(int index, const std::optional<double>& value);  // NULL when empty
  SqlStatement& bindNull(int index);
  // A text parameter that is NULL when empty.
  SqlStatement& bindTextOrNull(int index, const std::string& text);

  // One step: true when a row is ready. done() tells an ended statement from a failed one.
  bool step();
  bool done() const { return done_; }
  // Runs a statement that returns no rows; true when it completed.
  bool run();

  std::string text(int column) const;
  int64_t integer(int column) const;
  std::optional<double> real(int column) const;  // NULL is empty
  bool isNull(int column) const;

  void reset();

 private:
  sqlite3_stmt* statement_;
  bool done_ = false;
};

}  // namespace report
