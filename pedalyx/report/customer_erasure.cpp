#include "pedalyx/report/customer_erasure.h"

#include <cstdio>
#include <set>

#include "pedalyx/report/csv_table.h"
#include "pedalyx/report/customer_history.h"
#include "pedalyx/report/database_rows.h"
#include "pedalyx/report/examination_parts.h"
#include "pedalyx/report/examination_reader.h"
#include "pedalyx/report/gait_store.h"
#include "pedalyx/report/measurement_database.h"
#include "pedalyx/report/report_export.h"
#include "pedalyx/report/sway_store.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text_encoding.h"

namespace report {
namespace {

struct TableKind {
  const char* name;
  RowLayout layout;
};
const TableKind kTables[3] = {{kDatabaseFile, RowLayout::kLineFeedFirst},
                              {kSwayTableName, RowLayout::kLineFeedLast},
                              {kGaitTableName, RowLayout::kLineFeedLast}};

RowLayout layoutOf(const std::string& table) {
  for (const TableKind& kind : kTables)
    if (table == kind.name) return kind.layout;
  return RowLayout::kLineFeedFirst;
}

// The Big5 bytes a table holds for the key, and whether they tell the key apart from every
// other: Big5 keeps every character, and no '?' stands in it that could be a lost one.
std::string tableBytesOf(const std::string& key, bool& exact) {
  const std::string bytes = toAnsi(key);
  exact = platform::big5ToUtf8(bytes) == key && key.find('?') == std::string::npos;
  return bytes;
}

bool fileNameIsExact(const std::string& key) {
  return phoneForFileName(key) == key && key.find('_') == std::string::npos;
}

void addFile(ExaminationStore& store, const std::set<std::string>& own, const std::string& path,
             std::set<std::string>& seen, ErasurePlan& plan) {
  if (!isStationPath(path) || !seen.insert(path).second) return;
  if (!platform::fileExists(platform::joinPath(store.folder(), path))) return;
  for (const std::string& holder : store.recordsHoldingFile(path)) {
    if (own.count(holder) == 0) {
      plan.sharedFiles.push_back(path);
      return;
    }
  }
  plan.files.push_back(path);
}

}  // namespace

int ErasurePlan::rowCount() const {
  int rows = 0;
  for (const ErasureTable& table : tables) rows += static_cast<int>(table.checksums.size());
  return rows;
}

bool planErasure(ExaminationStore& store, const std::string& id, const std::string& phone,
                 ErasurePlan& plan, std::string& error) {
  plan = ErasurePlan{};
  if (!store_reading::customerRecordIds(store.connection(), id, phone, plan.recordIds)) {
    error = "cannot read the examination store: " + store.connection().error();
    return false;
  }
  const std::set<std::string> own(plan.recordIds.begin(), plan.recordIds.end());
  std::set<std::string> rowsOfRecords, seenFiles;
  std::vector<std::string> recordFiles;
  for (const std::string& recordId : plan.recordIds) {
    ExaminationRecord record;
    if (!store.read(recordId, record)) {
      error = "cannot read the examination store: " + store.connection().error();
      return false;
    }
    plan.recordTimes.push_back(record.localTime);
    for (const TableRowLink& row : record.rows) rowsOfRecords.insert(row.table + "/" + row.sha256);
    for (const ExaminationFile& file : record.files) recordFiles.push_back(file.path);
  }
  std::vector<std::pair<std::string, bool>> keys;  // table bytes of the ID and phone, exact
  for (const std::string* key : {&id, &phone}) {
    bool exact = false;
    if (!key->empty()) keys.emplace_back(tableBytesOf(*key, exact), exact);
  }
  std::vector<std::string> unheldRecordNames;  // of sway rows erased without a record
  std::vector<std::string> unheldWalkNames;    // of walking rows likewise
  std::vector<std::string> unheldStamps;       // of database rows likewise
  for (const TableKind& kind : kTables) {
    ErasureTable table{kind.name, {}, {}};
    const std::string path = platform::joinPath(store.folder(), kind.name);
    const std::string bytes = platform::readWholeFile(path).value_or("");
    if (bytes.empty() && platform::fileExists(path)) {
      error = "cannot read " + path;
      return false;
    }
    for (const TableRow& place : splitTable(bytes, kind.layout).rows) {
      const std::string content = rowContent(bytes, place, kind.layout);
      const std::string sha = rowChecksum(content);
      bool take = rowsOfRecords.count(std::string(kind.name) + "/" + sha) != 0;
      const auto fields = splitFields(content);
      if (!take && fields && fields->size() >= 2 && !store.holdsRow(kind.name, sha)) {
        for (const auto& key : keys) {
          if ((*fields)[1] != key.first) continue;
          take = key.second;
          if (!take) ++plan.undecidedRows;
          if (take && kind.layout == RowLayout::kLineFeedFirst)
            unheldStamps.push_back((*fields)[0]);
          if (take && kind.layout == RowLayout::kLineFeedLast)
            (std::string(kind.name) == kGaitTableName ? unheldWalkNames : unheldRecordNames)
                .push_back(platform::big5ToUtf8((*fields)[0]));
          break;
        }
      }
      if (take) {
        table.checksums.push_back(sha);
        table.lines.push_back(place.line);
      }
    }
    plan.tables.push_back(table);
  }
  for (const std::string& path : recordFiles) addFile(store, own, path, seenFiles, plan);
  // Files of what no record holds: the reports named with the customer's phone or ID, the
  // bitmaps of their rows and the traces of their recordings.
  for (const ReportFiles& files : listReportFiles(store.folder())) {
    for (const std::string* key : {&id, &phone}) {
      if (key->empty() || files.phone != phoneForFileName(*key)) continue;
      if (!fileNameIsExact(*key)) {
        ++plan.undecidedFiles;
        break;
      }
      for (const std::string* file : {&files.pdf, &files.picture, &files.leftInsole,
                                      &files.rightInsole, &files.leftModel, &files.rightModel}) {
        const std::string relative = stationPathOf(store.folder(), *file);
        if (!file->empty() && !store.holdsFile(relative))
          addFile(store, own, relative, seenFiles, plan);
      }
      break;
    }
  }
  const std::string bitmapFolder = platform::joinPath(store.folder(), "PressureImage");
  for (const std::string& name : platform::listFolder(bitmapFolder)) {
    for (const std::string& stamp : unheldStamps) {
      if (name.compare(0, stamp.size() + 1, stamp + "_") != 0) continue;
      const std::string relative = std::string("PressureImage/") + name;
      if (!store.holdsFile(relative)) addFile(store, own, relative, seenFiles, plan);
    }
  }
  for (const std::string& recordName : unheldRecordNames) {
    for (const char* suffix : {"_eo.csv", "_ec.csv"}) {
      const std::string relative = std::string(kSwayTraceFolder) + "/" + recordName + suffix;
      if (!store.holdsFile(relative)) addFile(store, own, relative, seenFiles, plan);
    }
  }
  // A walking recording's contacts: "GAIT/<record>_<n>.csv" and ".png".
  const std::string walkFolder = platform::joinPath(store.folder(), kGaitFolder);
  for (const std::string& name : platform::listFolder(walkFolder)) {
    for (const std::string& recordName : unheldWalkNames) {
      if (name.compare(0, recordName.size() + 1, recordName + "_") != 0) continue;
      const std::string relative = std::string(kGaitFolder) + "/" + name;
      if (!store.holdsFile(relative)) addFile(store, own, relative, seenFiles, plan);
    }
  }
  return true;
}

std::string describeErasurePlan(const ErasurePlan& plan, bool simplified) {
  char text[512];
  std::snprintf(text, sizeof text,
                simplified ? "将删除 %zu 笔检查记录、%d 列表格数据、%zu 个档案。\n"
                           : "將刪除 %zu 筆檢查記錄、%d 列表格資料、%zu 個檔案。\n",
                plan.recordIds.size(), plan.rowCount(), plan.files.size());
  std::string description = text;
  for (const std::string& time : plan.recordTimes)
    description += (simplified ? "检查记录 " : "檢查記錄 ") + time + "\n";
  for (const ErasureTable& table : plan.tables) {
    for (int line : table.lines)
      description += table.table + " 第 " + std::to_string(line) + " 行\n";
  }
  for (const std::string& file : plan.files) description += file + "\n";
  if (!plan.sharedFiles.empty() || plan.undecidedRows > 0 || plan.undecidedFiles > 0) {
    std::snprintf(
        text, sizeof text,
        simplified ? "保留：%zu 个档案也属于其他记录，%d 列与 %d 个档案无法确定是否属于此顾客。\n"
                   : "保留：%zu 個檔案也屬於其他記錄，%d 列與 %d 個檔案無法確定是否屬於此顧客。\n",
        plan.sharedFiles.size(), plan.undecidedRows, plan.undecidedFiles);
    description += text;
  }
  return description;
}

ErasureResult eraseCustomer(ExaminationStore& store, const ErasurePlan& plan) {
  ErasureResult result;
  for (const ErasureTable& table : plan.tables) {
    if (table.checksums.empty()) continue;
    const RowLayout layout = layoutOf(table.table);
    const std::string path = platform::joinPath(store.folder(), table.table);
    const std::optional<std::string> bytes = platform::readWholeFile(path);
    int removed = 0;
    const std::string kept = bytes ? tableWithout(*bytes, layout, table.checksums, removed) : "";
    if (!bytes || (removed > 0 && !platform::writeFileAtomic(path, kept))) {
      result.error = "cannot write " + path;
      return result;
    }
    result.rows += removed;
  }
  for (const std::string& file : plan.files) {
    if (platform::removeFile(platform::joinPath(store.folder(), file))) {
      ++result.files;
    } else {
      result.filesNotDeleted.push_back(file);
    }
  }
  if (!store.erase(plan.recordIds, result.error)) return result;
  result.records = static_cast<int>(plan.recordIds.size());
  const platform::LocalTime t = platform::localTime(platform::epochSeconds());
  char line[160];
  std::snprintf(line, sizeof line,
                "%04d-%02d-%02d %02d:%02d:%02d erased %d records, %d table rows, %d files%s\n",
                t.year, t.month, t.day, t.hour, t.minute, t.second, result.records, result.rows,
                result.files, result.filesNotDeleted.empty() ? "" : " (some files not deleted)");
  if (!platform::appendWhole(platform::joinPath(store.folder(), kErasureLogFile), line)) {
    result.error = std::string("cannot write ") + kErasureLogFile;
    return result;
  }
  result.done = result.filesNotDeleted.empty();
  if (!result.done) result.error = "some files could not be deleted";
  return result;
}

}  // namespace report
