#include "pedalyx/report/central_visits.h"

#include <algorithm>
#include <ctime>
#include <set>

#include "pedalyx/report/examination_parts.h"
#include "pedalyx/report/store_sql.h"
#include "platform/files.h"
#include "platform/sha256.h"

namespace report {
namespace {

// The record's JSON is read with SQLite's own JSON functions, as it was made.
constexpr const char* kSelectHead = R"sql(
SELECT json_valid(?1), json_extract(?1, '$.local_time'), json_extract(?1, '$.report_name'),
  json_extract(?1, '$.origin'), json_extract(?1, '$.customer.email'),
  json_extract(?1, '$.customer.birth_year'), json_extract(?1, '$.customer.birth_month'),
  json_extract(?1, '$.customer.gender'), json_extract(?1, '$.customer.age'),
  json_extract(?1, '$.customer.height'), json_extract(?1, '$.customer.weight'),
  json_type(?1, '$.figures') = 'array', json_type(?1, '$.files') = 'array'
)sql";
constexpr const char* kSelectFigures = R"sql(
SELECT json_extract(value, '$.group'), json_extract(value, '$.name'),
  json_extract(value, '$.side'), json_extract(value, '$.value'), json_extract(value, '$.text'),
  json_extract(value, '$.unit'), json_extract(value, '$.origin')
FROM json_each(?1, '$.figures') WHERE type = 'object'
)sql";
constexpr const char* kSelectFiles = R"sql(
SELECT json_extract(value, '$.path'), json_extract(value, '$.role'),
  json_extract(value, '$.sha256'), json_extract(value, '$.bytes')
FROM json_each(?1, '$.files') WHERE type = 'object'
)sql";

int64_t secondsOfUtc(const std::string& text) {
  std::tm utc{};
  if (std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%d", &utc.tm_year, &utc.tm_mon, &utc.tm_mday,
                  &utc.tm_hour, &utc.tm_min, &utc.tm_sec) != 6)
    return 0;
  utc.tm_year -= 1900;
  utc.tm_mon -= 1;
  return static_cast<int64_t>(timegm(&utc));
}

std::string localTimeOf(int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&time, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

void readJson(const std::string& json, ExaminationRecord& r) {
  SqlConnection sql;
  if (!sql.open(":memory:", false)) return;
  SqlStatement* head = sql.statement(kSelectHead);
  if (head == nullptr || !head->bind(1, json).step() || head->integer(0) != 1) return;
  if (!head->isNull(1)) r.localTime = head->text(1);
  r.reportName = head->text(2);
  if (!head->isNull(3)) r.origin = head->text(3);
  r.customer.email = head->text(4);
  r.customer.birthYear = head->text(5);
  r.customer.birthMonth = head->text(6);
  r.customer.gender = head->text(7);
  r.customer.age = head->real(8);
  r.customer.height = head->real(9);
  r.customer.weight = head->real(10);
  const bool figures = head->integer(11) == 1, files = head->integer(12) == 1;
  head->reset();
  SqlStatement* select = figures ? sql.statement(kSelectFigures) : nullptr;
  if (select != nullptr) select->bind(1, json);
  while (select != nullptr && select->step()) {
    ExaminationFigure f;
    f.group = select->text(0);
    f.name = select->text(1);
    f.side = select->text(2);
    f.value = select->real(3);
    f.text = select->text(4);
    f.unit = select->text(5);
    f.origin = select->text(6);
    r.figures.push_back(std::move(f));
  }
  select = files ? sql.statement(kSelectFiles) : nullptr;
  if (select != nullptr) select->bind(1, json);
  while (select != nullptr && select->step()) {
    ExaminationFile f;
    f.path = select->text(0);
    f.role = select->text(1);
    f.sha256 = select->text(2);
    f.bytes = select->integer(3);
    r.files.push_back(std::move(f));
  }
}

}  // namespace

ExaminationRecord recordOfCentralVisit(const CentralVisit& visit) {
  ExaminationRecord r;
  r.recordId = visit.recordId;
  r.shop = visit.shop;
  r.station = visit.station;
  r.takenAt = secondsOfUtc(visit.takenAtUtc);
  r.customer.phone = visit.customerPhone;
  r.customer.id = visit.customerId;
  readJson(visit.figuresJson, r);
  if (r.localTime.empty()) r.localTime = localTimeOf(r.takenAt);
  r.open = false;
  r.outbox = OutboxState::kSent;
  for (ExaminationFile& file : r.files) {
    const bool held = std::any_of(visit.files.begin(), visit.files.end(), [&](const auto& f) {
      return f.name == file.path && f.sha256 == file.sha256;
    });
    file.state = held ? FileState::kUnchecked : FileState::kMissing;
  }
  return r;
}

void mergeCentralVisits(std::vector<ExaminationRecord>& records, std::vector<char>& fromCentre,
                        const std::vector<CentralVisit>& visits, const std::string& ownShop) {
  std::vector<std::pair<ExaminationRecord, char>> merged;
  std::set<std::string> own;
  for (ExaminationRecord& r : records) {
    if (r.shop.empty()) r.shop = ownShop;
    own.insert(r.recordId);
    merged.emplace_back(std::move(r), 0);
  }
  for (const CentralVisit& visit : visits) {
    if (own.insert(visit.recordId).second) merged.emplace_back(recordOfCentralVisit(visit), 1);
  }
  std::stable_sort(merged.begin(), merged.end(),
                   [](const auto& a, const auto& b) { return a.first.takenAt > b.first.takenAt; });
  records.clear();
  fromCentre.clear();
  for (auto& [record, central] : merged) {
    records.push_back(std::move(record));
    fromCentre.push_back(central);
  }
}

bool fetchCentralPicture(CentralReader& reader, const std::string& folder,
                         ExaminationRecord& record) {
  for (ExaminationFile& file : record.files) {
    if (file.role != "pressure_png" || file.state == FileState::kIntact) continue;
    // The path and size come from another station: only a file below the working directory
    // and no longer than the record's is read here.
    const size_t limit = file.bytes > 0 ? static_cast<size_t>(file.bytes) : 0;
    const auto here = isStationPath(file.path)
                          ? platform::readWholeFile(platform::joinPath(folder, file.path), limit)
                          : std::nullopt;
    if (here && platform::sha256Hex(*here) == file.sha256) {
      file.state = FileState::kIntact;
      continue;
    }
    // A name of our own making: the record's UUID and the file's path come from the centre.
    const std::string cached = platform::joinPath(
        kCentralCacheFolder, platform::sha256Hex(record.recordId + "\n" + file.path) + ".png");
    const std::string cachedPath = platform::joinPath(folder, cached);
    const auto kept = platform::readWholeFile(cachedPath, limit);
    if (kept && platform::sha256Hex(*kept) == file.sha256) {
      file.path = cached;
      file.state = FileState::kIntact;
      continue;
    }
    if (file.state == FileState::kMissing) continue;  // the centre does not hold it
    const CentralFile fetched = reader.file(record.recordId, file.path);
    if (fetched.answer != CentralAnswer::Answered) return false;
    if (!fetched.found) {
      file.state = FileState::kMissing;
      continue;
    }
    const std::string bytes(fetched.bytes.begin(), fetched.bytes.end());
    if (!fetched.checksumMatches || fetched.sha256 != file.sha256 ||
        platform::sha256Hex(bytes) != file.sha256) {
      file.state = FileState::kChanged;
      continue;
    }
    platform::makeDirectory(platform::joinPath(folder, kCentralCacheFolder));
    if (platform::writeFileAtomic(cachedPath, bytes)) {
      file.path = cached;
      file.state = FileState::kIntact;
    } else {
      file.state = FileState::kMissing;
    }
  }
  // The other files stay at the centre, which holds them with the record's checksums.
  for (ExaminationFile& file : record.files)
    if (file.state == FileState::kUnchecked) file.state = FileState::kIntact;
  return true;
}

}  // namespace report
