#include "pedalyx/report/store_sql.h"

#include <sqlite3.h>

#include <cstring>

#include "platform/files.h"

namespace report {

SqlConnection::~SqlConnection() {
  statements_.clear();  // finalized before the connection closes
  if (db_ != nullptr) sqlite3_close(db_);
}

bool SqlConnection::open(const std::string& path, bool readOnly) {
  const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    setError("cannot open " + path + ": ");
    sqlite3_close(db_);
    db_ = nullptr;
    return false;
  }
  sqlite3_extended_result_codes(db_, 1);
  // Another connection (the reader, the sender, a second station on the folder) may hold the
  // lock for a moment; wait for it instead of failing.
  sqlite3_busy_timeout(db_, 5000);
  return true;
}

void SqlConnection::setError(const std::string& context) {
  // A step refused before SQLite was asked (writesRefused) left its reason, not SQLite's.
  const bool ours = db_ != nullptr && sqlite3_errcode(db_) == SQLITE_OK && !error_.empty();
  error_ = context + (ours ? error_ : db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory");
}

bool SqlConnection::execute(const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  error_ = message != nullptr ? message : sqlite3_errmsg(db_);
  sqlite3_free(message);
  return false;
}

std::optional<std::string> SqlConnection::queryText(const char* sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_, sql, -1, &raw, nullptr) != SQLITE_OK) {
    setError("");
    return std::nullopt;
  }
  SqlStatement statement(raw);
  if (!statement.step()) {
    if (!statement.done()) setError("");
    return std::nullopt;
  }
  return statement.text(0);
}

SqlStatement* SqlConnection::statement(const char* sql) {
  auto found = statements_.find(sql);
  if (found != statements_.end()) {
    found->second->reset();
    return found->second.get();
  }
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr) != SQLITE_OK) {
    setError("");
    return nullptr;
  }
  auto& slot = statements_[sql];
  slot = std::make_unique<SqlStatement>(raw);
  return slot.get();
}

int64_t SqlConnection::changes() const { return sqlite3_changes64(db_); }

int64_t SqlConnection::lastInsertRowid() const { return sqlite3_last_insert_rowid(db_); }

bool SqlConnection::begin() { return !writesRefused() && execute("BEGIN IMMEDIATE"); }

bool SqlConnection::writesRefused() {
  const int injected = platform::injectedWriteError();
  if (injected == 0) return false;
  error_ = std::strerror(injected);
  return true;
}

bool SqlConnection::commit() {
  if (execute("COMMIT")) return true;
  const std::string reason = error_;
  rollback();
  error_ = reason;
  return false;
}

void SqlConnection::rollback() {
  if (db_ != nullptr && !sqlite3_get_autocommit(db_))
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

SqlStatement::~SqlStatement() { sqlite3_finalize(statement_); }

SqlStatement& SqlStatement::bind(int index, const std::string& text) {
  sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                    SQLITE_TRANSIENT);
  return *this;
}

SqlStatement& SqlStatement::bind(int index, int64_t value) {
  sqlite3_bind_int64(statement_, index, value);
  return *this;
}

SqlStatement& SqlStatement::bindReal(int index, double value) {
  sqlite3_bind_double(statement_, index, value);
  return *this;
}

SqlStatement& SqlStatement::bind(int index, const std::optional<double>& value) {
  return value ? bindReal(index, *value) : bindNull(index);
}

SqlStatement& SqlStatement::bindNull(int index) {
  sqlite3_bind_null(statement_, index);
  return *this;
}

SqlStatement& SqlStatement::bindTextOrNull(int index, const std::string& text) {
  return text.empty() ? bindNull(index) : bind(index, text);
}

bool SqlStatement::step() {
  const int result = sqlite3_step(statement_);
  done_ = result == SQLITE_DONE;
  return result == SQLITE_ROW;
}

bool SqlStatement::run() {
  while (step()) {
  }
  return done_;
}

std::string SqlStatement::text(int column) const {
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  if (bytes == nullptr) return std::string();
  return std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
}

int64_t SqlStatement::integer(int column) const { return sqlite3_column_int64(statement_, column); }

std::optional<double> SqlStatement::real(int column) const {
  if (isNull(column)) return std::nullopt;
  return sqlite3_column_double(statement_, column);
}

bool SqlStatement::isNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

void SqlStatement::reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
  done_ = false;
}

}  // namespace report
