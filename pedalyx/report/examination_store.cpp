#include "pedalyx/report/examination_store.h"

#include <cstdio>
#include <set>

#include "pedalyx/report/examination_parts.h"
#include "pedalyx/report/examination_reader.h"
#include "pedalyx/report/examination_schema.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/random_id.h"
#include "platform/sha256.h"

namespace report {
namespace {

constexpr const char* kInsertRecord =
    "INSERT INTO examinations (record_id, taken_at, local_time, updated_at, shop, station, origin,"
    " report_name, customer_phone, customer_email, customer_birth_year, customer_birth_month,"
    " customer_gender, customer_id, customer_age, customer_height, customer_weight,"
    " outbox_changed_at, closed_at)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?4, ?18)";
constexpr const char* kInsertKind =
    "INSERT INTO figure_kinds (figure_group, name, side) VALUES (?1, ?2, ?3)"
    " ON CONFLICT DO NOTHING";
constexpr const char* kSelectKind =
    "SELECT kind FROM figure_kinds WHERE figure_group = ?1 AND name = ?2 AND side = ?3";
constexpr const char* kSelectKey =
    "SELECT record_key, closed_at IS NULL FROM examinations WHERE record_id = ?1";
// A figure given twice in one part: the later one stands.
constexpr const char* kInsertFigure =
    "INSERT INTO figures (record_key, kind, value, text, unit, origin)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT DO UPDATE SET value = excluded.value,"
    " text = excluded.text, unit = excluded.unit, origin = excluded.origin";
constexpr const char* kInsertFile =
    "INSERT INTO files (record_key, path, role, sha256, bytes) VALUES (?1, ?2, ?3, ?4, ?5)"
    " ON CONFLICT DO UPDATE SET role = excluded.role, sha256 = excluded.sha256,"
    " bytes = excluded.bytes";
constexpr const char* kInsertRow =
    "INSERT OR IGNORE INTO table_rows (record_key, table_name, row_sha256, row_key)"
    " VALUES (?1, ?2, ?3, ?4)";
// Only what the part gives replaces what is stored (NULL keeps the stored value).
constexpr const char* kCompleteRecord =
    "UPDATE examinations SET customer_phone = coalesce(?2, customer_phone),"
    " customer_email = coalesce(?3, customer_email),"
    " customer_birth_year = coalesce(?4, customer_birth_year),"
    " customer_birth_month = coalesce(?5, customer_birth_month),"
    " customer_gender = coalesce(?6, customer_gender), customer_id = coalesce(?7, customer_id),"
    " customer_age = coalesce(?8, customer_age), customer_height = coalesce(?9, customer_height),"
    " customer_weight = coalesce(?10, customer_weight), report_name = coalesce(?11, report_name),"
    " updated_at = ?12, revision = revision + 1, outbox_state = 'pending', outbox_reason = '',"
    " outbox_changed_at = ?12 WHERE record_key = ?1";
constexpr const char* kDeleteRowsOfKey =
    "DELETE FROM table_rows WHERE record_key = ?1 AND table_name = ?2"
    " AND substr(row_key, 1, length(?3)) = ?3";
constexpr const char* kDeleteGroup =
    "DELETE FROM figures WHERE record_key = ?1"
    " AND kind IN (SELECT kind FROM figure_kinds WHERE figure_group = ?2)";
constexpr const char* kHoldsRow =
    "SELECT 1 FROM table_rows WHERE table_name = ?1 AND row_sha256 = ?2 LIMIT 1";
constexpr const char* kHoldsFile = "SELECT 1 FROM files WHERE path = ?1 LIMIT 1";
constexpr const char* kHoldersOfFile =
    "SELECT record_id FROM files JOIN examinations USING (record_key) WHERE path = ?1";
constexpr const char* kDeleteRecord = "DELETE FROM examinations WHERE record_id = ?1";
constexpr const char* kCloseRecord =
    "UPDATE examinations SET closed_at = ?2 WHERE record_id = ?1 AND closed_at IS NULL";
constexpr const char* kCloseAllOpen =
    "UPDATE examinations SET closed_at = ?1 WHERE closed_at IS NULL";
constexpr const char* kCloseIdle =
    "UPDATE examinations SET closed_at = ?1 WHERE closed_at IS NULL AND updated_at <= ?2";
constexpr const char* kKeepErased =
    "INSERT OR REPLACE INTO erased_records (record_id, erased_at) VALUES (?1, ?2)";

std::string localTimeText(int64_t seconds) {
  const platform::LocalTime t = platform::localTime(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

bool exists(SqlStatement* query) {
  if (query == nullptr) return false;
  const bool found = query->step();
  query->reset();
  return found;
}

}  // namespace

std::vector<std::string> takeChecksums(const std::string& folder,
                                       std::vector<ExaminationFile>& files) {
  std::vector<std::string> missing;
  std::vector<ExaminationFile> kept;
  for (ExaminationFile& file : files) {
    // Only files below the working directory: the store's paths are also what an erasure deletes.
    if (!isStationPath(file.path)) {
      missing.push_back(file.path);
      continue;
    }
    if (file.sha256.empty()) {
      const auto checksum = platform::sha256OfFile(platform::joinPath(folder, file.path));
      if (!checksum) {
        missing.push_back(file.path);
        continue;
      }
      file.sha256 = checksum->sha256;
      file.bytes = checksum->bytes;
    }
    kept.push_back(file);
  }
  files = kept;
  return missing;
}

std::unique_ptr<ExaminationStore> ExaminationStore::open(const std::string& folder,
                                                         std::string& error) {
  std::unique_ptr<ExaminationStore> store(new ExaminationStore(folder));
  const std::string path = platform::joinPath(folder, kExaminationStoreFile);
  SqlConnection& sql = store->sql_;
  // Even opening writes (a new file, the log beside it): not while writes are made to fail.
  if (sql.writesRefused()) {
    error = path + ": " + sql.error();
    return nullptr;
  }
  if (!sql.open(path, false)) {
    error = sql.error();
    return nullptr;
  }
  // Read before anything is written: a damaged, foreign or newer file stays as it is.
  if (!examinationStoreIsOurs(sql, error)) {
    error = path + ": " + error;
    return nullptr;
  }
  const std::optional<std::string> mode = sql.queryText("PRAGMA journal_mode = WAL");
  if (!mode || *mode != "wal") {
    error = path + ": " + (mode ? "no write-ahead log (" + *mode + ")" : sql.error());
    return nullptr;
  }
  // FULL syncs every commit, so a record survives a power cut as the CSV row before it does.
  if (!sql.execute("PRAGMA foreign_keys = ON; PRAGMA synchronous = FULL;") ||
      !migrateExaminationStore(sql, error)) {
    if (error.empty()) error = sql.error();
    error = path + ": " + error;
    return nullptr;
  }
  return store;
}

bool ExaminationStore::finish(bool ok, const char* failure, std::string& error) {
  if (ok) {
    if (sql_.commit()) return true;
    error = failure + sql_.error();  // commit() rolled back and kept the reason
    kinds_.clear();
    return false;
  }
  sql_.setError(failure);
  error = sql_.error();
  sql_.rollback();
  kinds_.clear();  // kinds made in the rolled-back transaction are gone
  return false;
}

bool ExaminationStore::insertRecord(const ExaminationRecord& r, int64_t now, int64_t& key) {
  SqlStatement* insert = sql_.statement(kInsertRecord);
  if (insert == nullptr) return false;
  const CustomerData& c = r.customer;
  insert->bind(1, r.recordId).bind(2, r.takenAt).bind(3, r.localTime).bind(4, now);
  insert->bind(5, r.shop).bind(6, r.station).bind(7, r.origin).bind(8, r.reportName);
  insert->bind(9, c.phone).bind(10, c.email).bind(11, c.birthYear).bind(12, c.birthMonth);
  insert->bind(13, c.gender).bind(14, c.id).bind(15, c.age).bind(16, c.height).bind(17, c.weight);
  if (r.open)
    insert->bindNull(18);
  else
    insert->bind(18, now);
  if (!insert->run()) return false;
  key = sql_.lastInsertRowid();
  return true;
}

bool ExaminationStore::kindOf(const ExaminationFigure& f, int64_t& kind) {
  const auto name = std::make_tuple(f.group, f.name, f.side);
  const auto known = kinds_.find(name);
  if (known != kinds_.end()) {
    kind = known->second;
    return true;
  }
  SqlStatement* insert = sql_.statement(kInsertKind);
  if (insert == nullptr || !insert->bind(1, f.group).bind(2, f.name).bind(3, f.side).run())
    return false;
  SqlStatement* select = sql_.statement(kSelectKind);
  if (select == nullptr || !select->bind(1, f.group).bind(2, f.name).bind(3, f.side).step())
    return false;
  kind = select->integer(0);
  select->reset();
  kinds_[name] = kind;
  return true;
}

bool ExaminationStore::insertDetails(int64_t recordKey,
                                     const std::vector<ExaminationFigure>& figures,
                                     const std::vector<ExaminationFile>& files,
                                     const std::vector<TableRowLink>& rows) {
  for (const ExaminationFigure& f : figures) {
    int64_t kind = 0;
    if (!kindOf(f, kind)) return false;
    SqlStatement* insert = sql_.statement(kInsertFigure);
    if (insert == nullptr) return false;
    insert->bind(1, recordKey).bind(2, kind).bind(3, f.value).bind(4, f.text);
    if (!insert->bind(5, f.unit).bind(6, f.origin).run()) return false;
  }
  for (const ExaminationFile& f : files) {
    SqlStatement* insert = sql_.statement(kInsertFile);
    if (insert == nullptr) return false;
    insert->bind(1, recordKey).bind(2, f.path).bind(3, f.role).bind(4, f.sha256);
    if (!insert->bind(5, f.bytes).run()) return false;
  }
  for (const TableRowLink& row : rows) {
    SqlStatement* insert = sql_.statement(kInsertRow);
    if (insert == nullptr) return false;
    if (!insert->bind(1, recordKey).bind(2, row.table).bind(3, row.sha256).bind(4, row.key).run())
      return false;
  }
  return true;
}

StoreWrite ExaminationStore::create(ExaminationRecord record) {
  StoreWrite result;
  if (record.recordId.empty()) record.recordId = platform::randomUuid();
  if (record.recordId.empty()) {
    result.error = "no random numbers for a record identifier";
    return result;
  }
  result.missingFiles = takeChecksums(folder_, record.files);
  std::vector<ExaminationRecord> one{record};
  result.written = createAll(one, result.error);
  if (result.written) result.recordId = record.recordId;
  return result;
}

bool ExaminationStore::createAll(std::vector<ExaminationRecord>& records, std::string& error,
                                 const std::function<bool(SqlConnection&)>& alsoInTransaction) {
  const int64_t now = platform::epochSeconds();
  for (ExaminationRecord& r : records) {
    if (r.recordId.empty()) r.recordId = platform::randomUuid();
    if (r.takenAt == 0) r.takenAt = now;
    if (r.localTime.empty()) r.localTime = localTimeText(r.takenAt);
  }
  bool ok = sql_.begin();
  for (size_t i = 0; ok && i < records.size(); ++i) {
    const ExaminationRecord& r = records[i];
    int64_t key = 0;
    ok = !r.recordId.empty() && insertRecord(r, now, key) &&
         insertDetails(key, r.figures, r.files, r.rows);
  }
  if (ok && alsoInTransaction) ok = alsoInTransaction(sql_);
  return finish(ok, "the examination store was not written: ", error);
}

StoreWrite ExaminationStore::complete(const std::string& recordId, const ExaminationPart& part) {
  StoreWrite result;
  result.recordId = recordId;
  std::vector<ExaminationFile> files = part.files;
  result.missingFiles = takeChecksums(folder_, files);
  const int64_t now = platform::epochSeconds();
  bool ok = sql_.begin();
  SqlStatement* select = ok ? sql_.statement(kSelectKey) : nullptr;
  ok = select != nullptr;
  const bool found = ok && select->bind(1, recordId).step();
  const int64_t key = found ? select->integer(0) : 0;
  const bool open = found && select->integer(1) != 0;
  if (select != nullptr) {
    ok = found || select->done();
    select->reset();
  }
  if (ok && !open) {
    // A closed record may already be at the centre, which keeps the version it took first.
    sql_.rollback();
    result.error = (found ? "the examination store's record is closed: "
                          : "the examination store holds no record ") +
                   recordId;
    result.noSuchRecord = !found;
    result.recordClosed = found;
    return result;
  }
  SqlStatement* update = ok ? sql_.statement(kCompleteRecord) : nullptr;
  if (update != nullptr) {
    const CustomerData& c = part.customer;
    update->bind(1, key).bindTextOrNull(2, c.phone).bindTextOrNull(3, c.email);
    update->bindTextOrNull(4, c.birthYear).bindTextOrNull(5, c.birthMonth);
    update->bindTextOrNull(6, c.gender).bindTextOrNull(7, c.id).bind(8, c.age).bind(9, c.height);
    update->bind(10, c.weight).bindTextOrNull(11, part.reportName).bind(12, now);
  }
  ok = update != nullptr && update->run();
  std::set<std::string> groups;
  for (const ExaminationFigure& f : part.figures) groups.insert(f.group);
  for (auto g = groups.begin(); ok && g != groups.end(); ++g) {
    SqlStatement* remove = sql_.statement(kDeleteGroup);
    ok = remove != nullptr && remove->bind(1, key).bind(2, *g).run();
  }
  if (!part.replacedRowKeyPrefix.empty()) {
    std::set<std::string> tables;
    for (const TableRowLink& row : part.rows) tables.insert(row.table);
    for (auto t = tables.begin(); ok && t != tables.end(); ++t) {
      SqlStatement* remove = sql_.statement(kDeleteRowsOfKey);
      ok = remove != nullptr &&
           remove->bind(1, key).bind(2, *t).bind(3, part.replacedRowKeyPrefix).run();
    }
  }
  ok = ok && insertDetails(key, part.figures, files, part.rows);
  result.written = finish(ok, "the examination store was not written: ", result.error);
  return result;
}

bool ExaminationStore::read(const std::string& recordId, ExaminationRecord& record) {
  return store_reading::readRecord(sql_, recordId, record);
}

std::string ExaminationStore::recordJson(const std::string& recordId) {
  return store_reading::recordJson(sql_, recordId);
}

bool ExaminationStore::holdsRow(const std::string& table, const std::string& sha256) {
  SqlStatement* query = sql_.statement(kHoldsRow);
  return query != nullptr && exists(&query->bind(1, table).bind(2, sha256));
}

bool ExaminationStore::holdsFile(const std::string& path) {
  SqlStatement* query = sql_.statement(kHoldsFile);
  return query != nullptr && exists(&query->bind(1, path));
}

std::vector<std::string> ExaminationStore::recordsHoldingFile(const std::string& path) {
  std::vector<std::string> ids;
  SqlStatement* query = sql_.statement(kHoldersOfFile);
  if (query != nullptr) query->bind(1, path);
  while (query != nullptr && query->step()) ids.push_back(query->text(0));
  return ids;
}

bool ExaminationStore::close(const std::string& recordId, std::string& error) {
  bool ok = sql_.begin();
  SqlStatement* update = ok ? sql_.statement(kCloseRecord) : nullptr;
  ok = update != nullptr && update->bind(1, recordId).bind(2, platform::epochSeconds()).run();
  return finish(ok, "the examination store was not changed: ", error);
}

int ExaminationStore::closeOpenRecords(int64_t idleSince, std::string& error) {
  bool ok = sql_.begin();
  SqlStatement* update = ok ? sql_.statement(idleSince > 0 ? kCloseIdle : kCloseAllOpen) : nullptr;
  if (update != nullptr) update->bind(1, platform::epochSeconds());
  if (update != nullptr && idleSince > 0) update->bind(2, idleSince);
  ok = update != nullptr && update->run();
  const int64_t closed = ok ? sql_.changes() : 0;
  return finish(ok, "the examination store was not changed: ", error) ? static_cast<int>(closed)
                                                                      : -1;
}

bool ExaminationStore::erase(const std::vector<std::string>& recordIds, std::string& error) {
  const int64_t now = platform::epochSeconds();
  bool ok = sql_.begin();
  for (size_t i = 0; ok && i < recordIds.size(); ++i) {
    SqlStatement* remove = sql_.statement(kDeleteRecord);
    ok = remove != nullptr && remove->bind(1, recordIds[i]).run();
    SqlStatement* keep = ok ? sql_.statement(kKeepErased) : nullptr;
    ok = keep != nullptr && keep->bind(1, recordIds[i]).bind(2, now).run();
  }
  return finish(ok, "the examination store was not changed: ", error);
}

}  // namespace report
