#include "pedalyx/report/examination_reader.h"

#include <map>

#include "pedalyx/report/examination_parts.h"
#include "pedalyx/report/examination_schema.h"
#include "platform/files.h"
#include "platform/sha256.h"

namespace report {
namespace store_reading {
namespace {

constexpr const char* kSelectRecord =
    "SELECT record_id, taken_at, local_time, shop, station, origin, report_name, customer_phone,"
    " customer_email, customer_birth_year, customer_birth_month, customer_gender, customer_id,"
    " customer_age, customer_height, customer_weight, revision, outbox_state, outbox_reason,"
    " record_key, closed_at IS NULL FROM examinations WHERE record_id = ?1";
constexpr const char* kSelectFigures =
    "SELECT figure_group, name, side, value, text, unit, origin FROM figures"
    " JOIN figure_kinds USING (kind) WHERE record_key = ?1 ORDER BY figure_group, name, side";
constexpr const char* kSelectFiles =
    "SELECT path, role, sha256, bytes FROM files WHERE record_key = ?1 ORDER BY role, path";
constexpr const char* kSelectRows =
    "SELECT table_name, row_sha256, row_key FROM table_rows WHERE record_key = ?1"
    " ORDER BY table_name, row_key, row_sha256";
// An empty key is bound as NULL, which equals nothing: records without an ID stay apart.
constexpr const char* kSelectCustomer =
    "SELECT record_id FROM examinations WHERE customer_id IN (?1, ?2) OR customer_phone IN (?1, ?2)"
    " ORDER BY taken_at DESC, rowid DESC";
constexpr const char* kSelectJson = R"sql(
SELECT json_object(
  'record_id', e.record_id, 'revision', e.revision, 'taken_at', e.taken_at,
  'local_time', e.local_time, 'shop', e.shop, 'station', e.station, 'origin', e.origin,
  'report_name', e.report_name,
  'customer', json_object('phone', e.customer_phone, 'email', e.customer_email,
    'birth_year', e.customer_birth_year, 'birth_month', e.customer_birth_month,
    'gender', e.customer_gender, 'id', e.customer_id, 'age', e.customer_age,
    'height', e.customer_height, 'weight', e.customer_weight),
  'figures', (SELECT json_group_array(json_object('group', figure_group, 'name', name,
      'side', side, 'value', value, 'text', text, 'unit', unit, 'origin', origin))
    FROM (SELECT * FROM figures JOIN figure_kinds USING (kind)
          WHERE record_key = e.record_key ORDER BY figure_group, name, side)),
  'files', (SELECT json_group_array(json_object('path', path, 'role', role, 'sha256', sha256,
      'bytes', bytes))
    FROM (SELECT * FROM files WHERE record_key = e.record_key ORDER BY role, path)),
  'rows', (SELECT json_group_array(json_object('table', table_name, 'sha256', row_sha256,
      'key', row_key))
    FROM (SELECT * FROM table_rows WHERE record_key = e.record_key
          ORDER BY table_name, row_key, row_sha256)))
FROM examinations e WHERE e.record_id = ?1
)sql";

OutboxState outboxStateOf(const std::string& name) {
  if (name == "sent") return OutboxState::kSent;
  if (name == "refused") return OutboxState::kRefused;
  return OutboxState::kPending;
}

}  // namespace

bool readRecord(SqlConnection& sql, const std::string& recordId, ExaminationRecord& r) {
  SqlStatement* head = sql.statement(kSelectRecord);
  if (head == nullptr || !head->bind(1, recordId).step()) return false;
  r = ExaminationRecord{};
  r.recordId = head->text(0);
  r.takenAt = head->integer(1);
  r.localTime = head->text(2);
  r.shop = head->text(3);
  r.station = head->text(4);
  r.origin = head->text(5);
  r.reportName = head->text(6);
  CustomerData& c = r.customer;
  c.phone = head->text(7);
  c.email = head->text(8);
  c.birthYear = head->text(9);
  c.birthMonth = head->text(10);
  c.gender = head->text(11);
  c.id = head->text(12);
  c.age = head->real(13);
  c.height = head->real(14);
  c.weight = head->real(15);
  r.revision = head->integer(16);
  r.outbox = outboxStateOf(head->text(17));
  r.outboxReason = head->text(18);
  const int64_t key = head->integer(19);
  r.open = head->integer(20) != 0;
  head->reset();

  SqlStatement* figures = sql.statement(kSelectFigures);
  if (figures == nullptr) return false;
  figures->bind(1, key);
  while (figures->step()) {
    r.figures.push_back({figures->text(0), figures->text(1), figures->text(2), figures->real(3),
                         figures->text(4), figures->text(5), figures->text(6)});
  }
  SqlStatement* files = sql.statement(kSelectFiles);
  if (files == nullptr) return false;
  files->bind(1, key);
  while (files->step()) {
    r.files.push_back({files->text(0), files->text(1), files->text(2), files->integer(3)});
  }
  SqlStatement* rows = sql.statement(kSelectRows);
  if (rows == nullptr) return false;
  rows->bind(1, key);
  while (rows->step()) r.rows.push_back({rows->text(0), rows->text(1), rows->text(2)});
  return figures->done() && files->done() && rows->done();
}

bool customerRecordIds(SqlConnection& sql, const std::string& id, const std::string& phone,
                       std::vector<std::string>& recordIds) {
  SqlStatement* select = sql.statement(kSelectCustomer);
  if (select == nullptr) return false;
  select->bindTextOrNull(1, id).bindTextOrNull(2, phone);
  while (select->step()) recordIds.push_back(select->text(0));
  return select->done();
}

std::string recordJson(SqlConnection& sql, const std::string& recordId) {
  SqlStatement* select = sql.statement(kSelectJson);
  if (select == nullptr || !select->bind(1, recordId).step()) return std::string();
  std::string json = select->text(0);
  select->reset();  // a statement left on its row would hold the read transaction open
  return json;
}

}  // namespace store_reading

std::unique_ptr<ExaminationReader> ExaminationReader::open(const std::string& folder,
                                                           std::string& error) {
  const std::string path = platform::joinPath(folder, kExaminationStoreFile);
  if (!platform::fileExists(path)) {
    error = "no examination store in " + folder;
    return nullptr;
  }
  std::unique_ptr<ExaminationReader> reader(new ExaminationReader);
  if (!reader->sql_.open(path, true)) {
    error = reader->sql_.error();
    return nullptr;
  }
  const std::optional<std::string> version = reader->sql_.queryText("PRAGMA user_version");
  if (!version || std::stoll(version->empty() ? "0" : *version) != kExaminationSchemaVersion) {
    error = "the examination store is not at version " + std::to_string(kExaminationSchemaVersion);
    return nullptr;
  }
  return reader;
}

bool ExaminationReader::findCustomer(const std::string& id, const std::string& phone,
                                     std::vector<ExaminationRecord>& records, std::string& error) {
  records.clear();
  // One read transaction: the records are read as one moment of the store.
  if (!sql_.execute("BEGIN")) {
    error = sql_.error();
    return false;
  }
  std::vector<std::string> ids;
  bool ok = store_reading::customerRecordIds(sql_, id, phone, ids);
  for (size_t i = 0; ok && i < ids.size(); ++i) {
    records.emplace_back();
    ok = store_reading::readRecord(sql_, ids[i], records.back());
  }
  if (!ok) sql_.setError("cannot read the examination store: ");
  error = ok ? "" : sql_.error();
  sql_.execute("COMMIT");
  return ok;
}

bool ExaminationReader::importProblems(std::vector<ImportProblem>& problems, std::string& error) {
  problems.clear();
  SqlStatement* select = sql_.statement(
      "SELECT source, line, reason, problem, detail FROM import_problems ORDER BY source, line");
  while (select != nullptr && select->step()) {
    problems.push_back({select->text(0), static_cast<int>(select->integer(1)), select->text(2),
                        static_cast<int>(select->integer(3)),
                        static_cast<int>(select->integer(4))});
  }
  if (select != nullptr && select->done()) return true;
  error = "cannot read the examination store: " + sql_.error();
  return false;
}

void checkFiles(const std::string& folder, std::vector<ExaminationRecord>& records) {
  std::map<std::string, std::optional<platform::FileChecksum>> checked;
  for (ExaminationRecord& record : records) {
    for (ExaminationFile& file : record.files) {
      // A path outside the working directory (only a crafted store holds one) is never read.
      if (!isStationPath(file.path)) {
        file.state = FileState::kMissing;
        continue;
      }
      const std::string path = platform::joinPath(folder, file.path);
      auto found = checked.find(path);
      if (found == checked.end()) found = checked.emplace(path, platform::sha256OfFile(path)).first;
      if (!found->second) {
        file.state = platform::fileExists(path) ? FileState::kChanged : FileState::kMissing;
      } else {
        file.state =
            found->second->sha256 == file.sha256 ? FileState::kIntact : FileState::kChanged;
      }
    }
  }
}

}  // namespace report
