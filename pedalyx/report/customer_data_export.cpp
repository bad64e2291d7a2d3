#include "pedalyx/report/customer_data_export.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "pedalyx/report/examination_reader.h"
#include "pedalyx/report/measurement_database.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/sha256.h"

namespace report {
namespace {

const char* const kByteOrderMark = "\xEF\xBB\xBF";

std::string number(const std::optional<double>& value) {
  if (!value) return std::string();
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", *value);
  return text;
}

std::string csvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + quoteCsvField(fields[i]);
  return line + "\n";
}

// Makes the folders of a relative path below root.
bool makeFoldersFor(const std::string& root, const std::string& relative) {
  std::string folder = root;
  size_t start = 0;
  for (size_t slash; (slash = relative.find('/', start)) != std::string::npos; start = slash + 1) {
    folder = platform::joinPath(folder, relative.substr(start, slash - start));
    if (!platform::makeDirectory(folder)) return false;
  }
  return true;
}

}  // namespace

CustomerDataExport exportCustomerData(ExaminationStore& store, const std::string& id,
                                      const std::string& phone, const std::string& destination,
                                      int64_t now) {
  CustomerDataExport result;
  std::vector<std::string> ids;
  if (!store_reading::customerRecordIds(store.connection(), id, phone, ids)) {
    result.error = "cannot read the examination store: " + store.connection().error();
    return result;
  }
  std::vector<ExaminationRecord> records(ids.size());
  std::string json = "[";
  for (size_t i = 0; i < ids.size(); ++i) {
    if (!store.read(ids[i], records[i])) {
      result.error = "cannot read the examination store: " + store.connection().error();
      return result;
    }
    json += (i ? ",\n" : "\n") + store.recordJson(ids[i]);
  }
  json += "\n]\n";
  checkFiles(store.folder(), records);

  std::string recordsCsv = kByteOrderMark;
  recordsCsv += csvLine({"record_id", "local_time", "taken_at", "shop", "station", "origin",
                         "report_name", "phone", "email", "birth_year", "birth_month", "gender",
                         "id", "age", "height", "weight"});
  std::string figuresCsv = kByteOrderMark;
  figuresCsv += csvLine({"record_id", "group", "name", "side", "value", "text", "unit", "origin"});
  std::string filesCsv = kByteOrderMark;
  filesCsv += csvLine({"record_id", "role", "path", "sha256", "bytes", "state"});
  for (const ExaminationRecord& r : records) {
    const CustomerData& c = r.customer;
    recordsCsv += csvLine({r.recordId, r.localTime, std::to_string(r.takenAt), r.shop, r.station,
                           r.origin, r.reportName, c.phone, c.email, c.birthYear, c.birthMonth,
                           c.gender, c.id, number(c.age), number(c.height), number(c.weight)});
    for (const ExaminationFigure& f : r.figures)
      figuresCsv +=
          csvLine({r.recordId, f.group, f.name, f.side, number(f.value), f.text, f.unit, f.origin});
    for (const ExaminationFile& f : r.files)
      filesCsv += csvLine(
          {r.recordId, f.role, f.path, f.sha256, std::to_string(f.bytes), fileStateName(f.state)});
  }

  // Everything goes into a temporary folder first; the rename makes it appear whole.
  const platform::LocalTime t = platform::localTime(now);
  char name[64];
  std::snprintf(name, sizeof name, "customer_%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  std::string pattern = platform::joinPath(
      destination, std::string(name) + ".partial-" + std::to_string(getpid()) + "-XXXXXX");
  if (mkdtemp(pattern.data()) == nullptr) {
    result.error = "cannot make a folder in " + destination;
    return result;
  }
  const std::string work = pattern;
  bool ok = platform::writeFileAtomic(platform::joinPath(work, "records.json"), json) &&
            platform::writeFileAtomic(platform::joinPath(work, "records.csv"), recordsCsv) &&
            platform::writeFileAtomic(platform::joinPath(work, "figures.csv"), figuresCsv) &&
            platform::writeFileAtomic(platform::joinPath(work, "files.csv"), filesCsv);
  for (const ExaminationRecord& r : records) {
    for (const ExaminationFile& f : r.files) {
      if (!ok) break;
      const std::string copy = "files/" + f.path;
      if (f.state != FileState::kIntact || platform::fileExists(platform::joinPath(work, copy))) {
        if (f.state != FileState::kIntact) result.missingFiles.push_back(f.path);
        continue;
      }
      // The bytes copied are the bytes checked: a file changed since the check is not copied.
      const auto bytes = platform::readWholeFile(platform::joinPath(store.folder(), f.path));
      if (!bytes || platform::sha256Hex(*bytes) != f.sha256) {
        result.missingFiles.push_back(f.path);
        continue;
      }
      ok = makeFoldersFor(work, copy) &&
           platform::writeFileAtomic(platform::joinPath(work, copy), *bytes);
      result.files += ok ? 1 : 0;
    }
  }
  std::string target = platform::joinPath(destination, name);
  for (int n = 2; ok && platform::fileExists(target); ++n)
    target = platform::joinPath(destination, std::string(name) + "-" + std::to_string(n));
  if (!ok || !platform::renameFile(work, target)) {
    std::error_code ignored;
    std::filesystem::remove_all(work, ignored);
    result.error = "cannot write the customer's folder in " + destination;
    result.files = 0;
    return result;
  }
  result.written = true;
  result.folder = target;
  result.records = static_cast<int>(records.size());
  return result;
}

}  // namespace report
