// The store's file: a new one is at the current version with the write-ahead log; a store of
// version 1 is brought to the current version with its records, closed; a newer or foreign file is
// never changed.
#include <sqlite3.h>

#include "pedalyx/report/examination_schema.h"
#include "store_fixture.h"

namespace report {
namespace {

// Version 1 as the first stores were written, frozen here: the migration must keep reading it.
const char* const kReleasedVersion1 = R"sql(
CREATE TABLE examinations (record_key INTEGER PRIMARY KEY, record_id TEXT NOT NULL UNIQUE,
  taken_at INTEGER NOT NULL, local_time TEXT NOT NULL, updated_at INTEGER NOT NULL,
  shop TEXT NOT NULL DEFAULT '', station TEXT NOT NULL DEFAULT '',
  origin TEXT NOT NULL DEFAULT 'station', report_name TEXT NOT NULL DEFAULT '',
  customer_phone TEXT NOT NULL DEFAULT '', customer_email TEXT NOT NULL DEFAULT '',
  customer_birth_year TEXT NOT NULL DEFAULT '', customer_birth_month TEXT NOT NULL DEFAULT '',
  customer_gender TEXT NOT NULL DEFAULT '', customer_id TEXT NOT NULL DEFAULT '',
  customer_age REAL, customer_height REAL, customer_weight REAL);
CREATE INDEX examinations_by_customer_id ON examinations (customer_id, taken_at);
CREATE INDEX examinations_by_phone ON examinations (customer_phone, taken_at);
CREATE TABLE figure_kinds (kind INTEGER PRIMARY KEY, figure_group TEXT NOT NULL,
  name TEXT NOT NULL, side TEXT NOT NULL DEFAULT '', UNIQUE (figure_group, name, side));
CREATE TABLE figures (record_key INTEGER NOT NULL REFERENCES examinations (record_key)
  ON DELETE CASCADE, kind INTEGER NOT NULL REFERENCES figure_kinds (kind), value REAL,
  text TEXT NOT NULL DEFAULT '', unit TEXT NOT NULL DEFAULT '', origin TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (record_key, kind)) WITHOUT ROWID;
CREATE TABLE files (record_key INTEGER NOT NULL REFERENCES examinations (record_key)
  ON DELETE CASCADE, path TEXT NOT NULL, role TEXT NOT NULL, sha256 TEXT NOT NULL,
  bytes INTEGER NOT NULL, PRIMARY KEY (record_key, path)) WITHOUT ROWID;
CREATE INDEX files_by_path ON files (path);
CREATE TABLE table_rows (record_key INTEGER NOT NULL REFERENCES examinations (record_key)
  ON DELETE CASCADE, table_name TEXT NOT NULL, row_sha256 TEXT NOT NULL,
  row_key TEXT NOT NULL DEFAULT '', PRIMARY KEY (record_key, table_name, row_sha256))
  WITHOUT ROWID;
CREATE INDEX table_rows_by_row ON table_rows (table_name, row_sha256);
CREATE TABLE import_problems (source TEXT NOT NULL, line INTEGER NOT NULL,
  reason TEXT NOT NULL, row_sha256 TEXT NOT NULL DEFAULT '');
CREATE TABLE store_events (name TEXT PRIMARY KEY NOT NULL, at INTEGER NOT NULL,
  detail TEXT NOT NULL DEFAULT '');
INSERT INTO examinations (record_key, record_id, taken_at, local_time, updated_at, customer_id)
  VALUES (7, '0b8e2a4e-1f7d-4c55-9a3e-5d2f0c1b7a90', 1780000000, '2026-05-28 20:26:40',
  1780000000, 'A123');
INSERT INTO figure_kinds (kind, figure_group, name, side) VALUES (3, 'size', 'length', 'left');
INSERT INTO figures (record_key, kind, value, unit) VALUES (7, 3, 251.5, 'mm');
PRAGMA user_version = 1;
PRAGMA application_id = 1346653272;
)sql";

void runSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* message = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
      << (message ? message : "");
  sqlite3_free(message);
  sqlite3_close(db);
}

TEST_F(StoreFolder, VersionOneStoreIsBroughtToTheCurrentVersionWithItsRecordsClosed) {
  const std::string path = platform::joinPath(folder, kExaminationStoreFile);
  runSql(path, kReleasedVersion1);
  auto store = openStore();
  ASSERT_TRUE(store);
  EXPECT_EQ(store->connection().queryText("PRAGMA user_version").value_or(""),
            std::to_string(kExaminationSchemaVersion));
  EXPECT_EQ(store->connection().queryText("PRAGMA journal_mode").value_or(""), "wal");
  EXPECT_EQ(store->connection().queryText("PRAGMA foreign_keys").value_or(""), "1");

  ExaminationRecord old;
  ASSERT_TRUE(store->read("0b8e2a4e-1f7d-4c55-9a3e-5d2f0c1b7a90", old));
  EXPECT_EQ(old.customer.id, "A123");
  ASSERT_NE(findFigure(old, "size", "length", "left"), nullptr);
  EXPECT_EQ(findFigure(old, "size", "length", "left")->value, 251.5);
  // The old record is closed, so it is in the outbox, and the new columns work on it.
  EXPECT_FALSE(old.open);
  const std::vector<OutboxItem> pending = store->pendingRecords(10);
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0].revision, 1);
  std::string error;
  EXPECT_TRUE(store->markSent(old.recordId, 1, error)) << error;
  EXPECT_EQ(store->outboxCounts().sent, 1);
  // Opening again changes nothing.
  store.reset();
  store = openStore();
  ASSERT_TRUE(store && store->read(old.recordId, old));
  EXPECT_EQ(old.outbox, OutboxState::kSent);
}

TEST_F(StoreFolder, NewerForeignAndDamagedFilesAreRefusedAndLeftAsTheyAre) {
  const std::string path = platform::joinPath(folder, kExaminationStoreFile);
  auto expectRefused = [&](const std::string& what) {
    const std::string before = platform::readWholeFile(path).value_or("");
    std::string error;
    EXPECT_FALSE(ExaminationStore::open(folder, error)) << what;
    EXPECT_FALSE(error.empty()) << what;
    EXPECT_EQ(platform::readWholeFile(path).value_or(""), before) << what << " was changed";
  };
  runSql(path, "CREATE TABLE t (x); PRAGMA user_version = " +
                   std::to_string(kExaminationSchemaVersion + 1) +
                   "; PRAGMA application_id = 1346653272;");
  expectRefused("a store of a newer station");
  std::filesystem::remove(path);
  runSql(path, "CREATE TABLE accounts (name TEXT);");
  expectRefused("another program's database");
  std::filesystem::remove(path);
  ASSERT_TRUE(platform::writeFileAtomic(path, std::string(4096, 'x')));
  expectRefused("a damaged file");
}

}  // namespace
}  // namespace report
