#include "pedalyx/report/examination_schema.h"

#include "pedalyx/report/store_sql.h"

namespace report {
namespace {

// Version 1: the records, their figures, files and CSV rows. Texts compare byte for byte
// (SQLite's BINARY collation), so an ID is found exactly as it was typed. Inside the store a
// record is known by a small integer and a figure by its kind (group, name, side), so that the
// many figures of a busy shop take little room; the UUID is the record's name outside.
const char* const kVersion1 = R"sql(
CREATE TABLE examinations (
  record_key INTEGER PRIMARY KEY,
  record_id TEXT NOT NULL UNIQUE,
  taken_at INTEGER NOT NULL,
  local_time TEXT NOT NULL,
  updated_at INTEGER NOT NULL,
  shop TEXT NOT NULL DEFAULT '',
  station TEXT NOT NULL DEFAULT '',
  origin TEXT NOT NULL DEFAULT 'station',
  report_name TEXT NOT NULL DEFAULT '',
  customer_phone TEXT NOT NULL DEFAULT '',
  customer_email TEXT NOT NULL DEFAULT '',
  customer_birth_year TEXT NOT NULL DEFAULT '',
  customer_birth_month TEXT NOT NULL DEFAULT '',
  customer_gender TEXT NOT NULL DEFAULT '',
  customer_id TEXT NOT NULL DEFAULT '',
  customer_age REAL,
  customer_height REAL,
  customer_weight REAL);
CREATE INDEX examinations_by_customer_id ON examinations (customer_id, taken_at);
CREATE INDEX examinations_by_phone ON examinations (customer_phone, taken_at);
CREATE TABLE figure_kinds (
  kind INTEGER PRIMARY KEY,
  figure_group TEXT NOT NULL,
  name TEXT NOT NULL,
  side TEXT NOT NULL DEFAULT '',
  UNIQUE (figure_group, name, side));
CREATE TABLE figures (
  record_key INTEGER NOT NULL REFERENCES examinations (record_key) ON DELETE CASCADE,
  kind INTEGER NOT NULL REFERENCES figure_kinds (kind),
  value REAL,
  text TEXT NOT NULL DEFAULT '',
  unit TEXT NOT NULL DEFAULT '',
  origin TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (record_key, kind)) WITHOUT ROWID;
CREATE TABLE files (
  record_key INTEGER NOT NULL REFERENCES examinations (record_key) ON DELETE CASCADE,
  path TEXT NOT NULL,
  role TEXT NOT NULL,
  sha256 TEXT NOT NULL,
  bytes INTEGER NOT NULL,
  PRIMARY KEY (record_key, path)) WITHOUT ROWID;
CREATE INDEX files_by_path ON files (path);
CREATE TABLE table_rows (
  record_key INTEGER NOT NULL REFERENCES examinations (record_key) ON DELETE CASCADE,
  table_name TEXT NOT NULL,
  row_sha256 TEXT NOT NULL,
  row_key TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (record_key, table_name, row_sha256)) WITHOUT ROWID;
CREATE INDEX table_rows_by_row ON table_rows (table_name, row_sha256);
CREATE TABLE import_problems (
  source TEXT NOT NULL,
  line INTEGER NOT NULL,
  reason TEXT NOT NULL,
  row_sha256 TEXT NOT NULL DEFAULT '');
CREATE TABLE store_events (
  name TEXT PRIMARY KEY NOT NULL,
  at INTEGER NOT NULL,
  detail TEXT NOT NULL DEFAULT '');
)sql";

// Version 2: the outbox of the central database. A record is pending until the revision it
// has was sent; a completion after sending makes it pending again. Erased records are kept
// by their UUID alone until the centre has erased them too.
const char* const kVersion2 = R"sql(
ALTER TABLE examinations ADD COLUMN revision INTEGER NOT NULL DEFAULT 1;
ALTER TABLE examinations ADD COLUMN outbox_state TEXT NOT NULL DEFAULT 'pending'
  CHECK (outbox_state IN ('pending', 'sent', 'refused'));
ALTER TABLE examinations ADD COLUMN outbox_reason TEXT NOT NULL DEFAULT '';
ALTER TABLE examinations ADD COLUMN sent_revision INTEGER NOT NULL DEFAULT 0;
ALTER TABLE examinations ADD COLUMN outbox_changed_at INTEGER;
CREATE INDEX examinations_by_outbox ON examinations (outbox_state, taken_at);
CREATE TABLE erased_records (
  record_id TEXT PRIMARY KEY NOT NULL,
  erased_at INTEGER NOT NULL,
  outbox_state TEXT NOT NULL DEFAULT 'pending' CHECK (outbox_state IN ('pending', 'sent')));
)sql";

// Version 3: a record is open while its examination may still add parts, and closed for good
// afterwards; the central database takes only closed records, since it keeps the first version
// it receives. Records of older versions are closed. An unreadable row the import found keeps
// its kind and detail (a field count, a column), so the history can name it in its language.
const char* const kVersion3 = R"sql(
ALTER TABLE examinations ADD COLUMN closed_at INTEGER;
UPDATE examinations SET closed_at = updated_at;
CREATE INDEX examinations_open ON examinations (updated_at) WHERE closed_at IS NULL;
ALTER TABLE import_problems ADD COLUMN problem INTEGER NOT NULL DEFAULT 0;
ALTER TABLE import_problems ADD COLUMN detail INTEGER NOT NULL DEFAULT 0;
)sql";

// Version 4: a customer's erasure the central database has still to do, by the exact phone or
// ID; the row goes once the centre has done it, so the customer is kept no longer than needed.
const char* const kVersion4 = R"sql(
CREATE TABLE central_erasures (
  erasure_key INTEGER PRIMARY KEY,
  phone TEXT NOT NULL,
  customer_id TEXT NOT NULL,
  station TEXT NOT NULL,
  requested_at INTEGER NOT NULL
);
)sql";

const char* const kSteps[kExaminationSchemaVersion] = {kVersion1, kVersion2, kVersion3, kVersion4};

bool readInteger(SqlConnection& connection, const char* sql, long long& value) {
  const std::optional<std::string> text = connection.queryText(sql);
  if (!text) return false;
  value = std::stoll(text->empty() ? "0" : *text);
  return true;
}

}  // namespace

bool examinationStoreIsOurs(SqlConnection& connection, std::string& error) {
  long long version = 0, application = 0, objects = 0;
  if (!readInteger(connection, "PRAGMA user_version", version) ||
      !readInteger(connection, "PRAGMA application_id", application) ||
      !readInteger(connection, "SELECT count(*) FROM sqlite_schema", objects)) {
    error = "cannot read the store: " + connection.error();
    return false;
  }
  if ((application != 0 && application != kExaminationStoreApplicationId) ||
      (version == 0 && objects != 0)) {
    error = "the file is not an examination store";
    return false;
  }
  if (version > kExaminationSchemaVersion) {
    error = "the store was written by a newer station (version " + std::to_string(version) + ")";
    return false;
  }
  return true;
}

bool migrateExaminationStore(SqlConnection& connection, std::string& error) {
  long long version = 0;
  if (!examinationStoreIsOurs(connection, error) ||
      !readInteger(connection, "PRAGMA user_version", version)) {
    if (error.empty()) error = "cannot read the store: " + connection.error();
    return false;
  }
  for (long long from = version; from < kExaminationSchemaVersion; ++from) {
    const std::string stamp =
        "PRAGMA user_version = " + std::to_string(from + 1) +
        "; PRAGMA application_id = " + std::to_string(kExaminationStoreApplicationId) + ";";
    if (!connection.begin() || !connection.execute(kSteps[from]) ||
        !connection.execute(stamp.c_str()) || !connection.commit()) {
      error = "cannot bring the store to version " + std::to_string(from + 1) + ": " +
              connection.error();
      connection.rollback();
      return false;
    }
  }
  return true;
}

}  // namespace report
