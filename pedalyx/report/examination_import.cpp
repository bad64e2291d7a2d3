#include "pedalyx/report/examination_import.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "pedalyx/report/csv_table.h"
#include "pedalyx/report/customer_history.h"
#include "pedalyx/report/examination_parts.h"
#include "pedalyx/report/report_export.h"
#include "pedalyx/report/sway_rows.h"
#include "pedalyx/report/visit_figures.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text_encoding.h"

namespace report {
namespace {

constexpr const char* kImportFinished = "import_finished";

struct OldRow {
  DatabaseRow row;
  std::string sha;
  std::vector<std::string> fields;
};

struct SwaySession {
  std::string recordName, id;
  int64_t when = 0;
  std::vector<const SwayRow*> rows;
};

struct ImportedVisit {
  const OldRow* row = nullptr;
  std::optional<ReportFiles> files;
  const SwaySession* sway = nullptr;
  int64_t minute = 0;  // local YYYYMMDDhhmm
  std::string key;     // the customer as report names carry it
};

std::string reasonOf(const DatabaseRow& row) {
  switch (row.problem) {
    case RowProblem::kFieldCount:
      return "expected 51 fields, found " + std::to_string(row.problemDetail);
    case RowProblem::kNoStamp:
      return "column 1 holds no time stamp";
    case RowProblem::kNotANumber:
      return "column " + std::to_string(row.problemDetail) + " is not a number";
    case RowProblem::kUnclosedQuote:
      return "a quote is not closed";
    case RowProblem::kStrayQuote:
      return "column " + std::to_string(row.problemDetail) + " holds a stray quote";
    case RowProblem::kNone:
      break;
  }
  return "unreadable";
}

// The database rows, each read by the history's own row reader; unreadable ones are problems.
std::vector<OldRow> readOldRows(const std::string& bytes, std::vector<ImportProblem>& problems) {
  std::vector<OldRow> rows;
  const TableLayout table = splitTable(bytes, RowLayout::kLineFeedFirst);
  for (const TableRow& place : table.rows) {
    const std::string content = rowContent(bytes, place, RowLayout::kLineFeedFirst);
    const std::vector<DatabaseRow> read = readDatabaseRows("H\n" + content);
    if (content.empty() || read.empty()) continue;  // an empty line holds no save
    OldRow old{read.front(), rowChecksum(content),
               splitFields(content).value_or(std::vector<std::string>())};
    old.row.line = place.line;
    if (!old.row.readable || old.fields.size() != 52) {
      problems.push_back({kDatabaseFile, place.line, reasonOf(old.row),
                          static_cast<int>(old.row.problem), old.row.problemDetail});
      continue;
    }
    rows.push_back(old);
  }
  return rows;
}

double numberOf(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return end != text.c_str() && std::isfinite(value) ? value : 0;
}

// The analysis window's values again from a row's 51 fields (the ID as far as Big5 kept it).
MeasurementRecord measurementOfFields(const std::vector<std::string>& f) {
  MeasurementRecord m;
  m.id = platform::big5ToUtf8(f[1]);
  m.genderItem = genderItemOfWord(platform::big5ToUtf8(f[2]));
  m.age = numberOf(f[3]), m.height = numberOf(f[4]), m.weight = numberOf(f[5]);
  for (int s = 0; s < 2; ++s) {
    m.navicularDrop[s] = numberOf(f[6 + s]);
    m.footLength[s] = numberOf(f[8 + s]);
    m.footWidth[s] = numberOf(f[10 + s]);
    m.halluxAngle[s] = numberOf(f[12 + s]);
    m.archLow[s] = numberOf(f[15 + s]);
    m.archEven[s] = numberOf(f[17 + s]);
    m.archHigh[s] = numberOf(f[19 + s]);
  }
  // Only the low split's caption is in the row; the others follow from it.
  m.captionLow = platform::big5ToUtf8(f[14]);
  const size_t slash = m.captionLow.find('/');
  if (slash != std::string::npos) {
    m.leftShare = numberOf(m.captionLow.substr(0, slash));
    m.rightShare = numberOf(m.captionLow.substr(slash + 1));
    m.captionHigh = m.captionLow.substr(slash + 1) + "/" + m.captionLow.substr(0, slash);
  }
  const int leftFields[6] = {4, 5, 2, 3, 0, 1};
  for (int k = 0; k < 6; ++k) {
    m.zones[leftFields[k]] = numberOf(f[21 + k]);
    m.zones[6 + leftFields[k]] = numberOf(f[27 + k]);
    m.caseTexts[k] = platform::big5ToUtf8(f[33 + 3 * k]);
    m.caseLeft[k] = f[34 + 3 * k] == "1";
    m.caseRight[k] = f[35 + 3 * k] == "1";
  }
  return m;
}

// The balance bitmaps of PressureImage/ by the stamp their names begin with.
std::map<std::string, std::vector<std::string>> bitmapsByStamp(const std::string& folder) {
  std::map<std::string, std::vector<std::string>> bitmaps;
  const std::string sub = platform::joinPath(folder, "PressureImage");
  for (const std::string& name : platform::listFolder(sub)) {
    const size_t cut = name.find('_');
    if (cut == std::string::npos || name.size() < 4 || name.compare(name.size() - 4, 4, ".bmp"))
      continue;
    bitmaps[name.substr(0, cut)].push_back(platform::joinPath(sub, name));
  }
  return bitmaps;
}

std::vector<ImportedVisit> visitsOfRowsAndReports(const std::vector<OldRow>& rows,
                                                  const std::vector<ReportFiles>& reports) {
  std::map<std::string, std::vector<ReportFiles>> reportsByKey;
  for (const ReportFiles& files : reports) reportsByKey[files.phone].push_back(files);
  std::map<std::string, std::vector<DatabaseRow>> rowsByKey;
  std::map<int, const OldRow*> rowByLine;
  for (const OldRow& old : rows) {
    std::string key = phoneForFileName(old.row.id);
    if (old.row.id.empty()) {
      const ReportFiles* nearest = nearestReport(reports, old.row);
      key = nearest != nullptr ? nearest->phone : "";
    }
    rowsByKey[key].push_back(old.row);
    rowByLine[old.row.line] = &old;
    reportsByKey[key];  // every key of a row gets its (maybe empty) list of reports
  }
  std::vector<ImportedVisit> visits;
  for (const auto& entry : reportsByKey) {
    for (const Visit& visit : joinVisits(entry.second, rowsByKey[entry.first])) {
      ImportedVisit v;
      v.row = visit.row ? rowByLine[visit.row->line] : nullptr;
      v.files = visit.files;
      v.minute = visit.when;
      v.key = entry.first;
      visits.push_back(v);
    }
  }
  return visits;
}

// Each recording joins the visit of its customer nearest in time within the same-visit
// window that has no recording yet; else it is a visit of its own.
void joinSwaySessions(const std::vector<SwaySession>& sessions,
                      std::vector<ImportedVisit>& visits) {
  for (const SwaySession& session : sessions) {
    const std::string key = phoneForFileName(session.id);
    const int64_t minute = localMinuteOf(session.when);
    ImportedVisit* nearest = nullptr;
    int64_t nearestGap = kSameVisitMinutes + 1;
    for (ImportedVisit& visit : visits) {
      if (visit.sway != nullptr || (!session.id.empty() && visit.key != key)) continue;
      const int64_t gap = std::llabs(minutesBetween(visit.minute, minute));
      if (gap < nearestGap) nearest = &visit, nearestGap = gap;
    }
    if (nearest == nullptr) {
      visits.emplace_back();
      nearest = &visits.back();
      nearest->minute = minute;
      nearest->key = key;
    }
    nearest->sway = &session;
  }
}

void addReport(const std::string& folder, const ReportFiles& files,
               const unsigned char* colourTable, ExaminationRecord& r) {
  r.reportName = files.reportName;
  r.customer.phone = files.phone;
  const std::pair<const std::string*, const char*> kept[] = {
      {&files.pdf, "report_pdf"},
      {&files.picture, "pressure_png"},
      {&files.leftInsole, "insole_left_bmp"},
      {&files.rightInsole, "insole_right_bmp"},
      {&files.leftModel, "insole_left_stl"},
      {&files.rightModel, "insole_right_stl"}};
  for (const auto& file : kept) {
    if (!file.first->empty())
      r.files.push_back(fileToKeep(stationPathOf(folder, *file.first), file.second));
  }
  Visit visit;
  visit.files = files;
  const VisitFigures figures = figuresOfVisit(visit, colourTable);
  const char* const names[6] = {"half", "half", "upper", "lower", "upper", "lower"};
  const char* const sides[6] = {"left", "right", "left", "left", "right", "right"};
  for (int k = 0; k < 6; ++k) {
    if (const auto& share = figures.values[kShareLeft + k])
      r.figures.push_back({"shares", names[k], sides[k], *share, "", "%", "recomputed"});
  }
}

void addSway(const std::string& folder, const SwaySession& session, ExaminationRecord& r) {
  if (r.customer.id.empty()) r.customer.id = session.id;
  for (const SwayRow* row : session.rows) {
    const char* group = row->eyesClosed ? "sway_eyes_closed" : "sway_eyes_open";
    for (int k = 0; k < 15; ++k) {
      r.figures.push_back({group, kSwayRowFigureNames[k], k == 0 ? "" : "both", row->values[k], "",
                           kSwayRowFigureUnits[k], k == 0 ? "typed" : ""});
    }
    r.figures.push_back({group, "stop", "", std::nullopt, row->stop, "", ""});
    if (row->eyesClosed && row->rombergArea)
      r.figures.push_back(
          {"sway_romberg", "ellipse_area", "both", *row->rombergArea, "", "", "computed"});
    if (row->eyesClosed && row->rombergPath)
      r.figures.push_back(
          {"sway_romberg", "path_length", "both", *row->rombergPath, "", "", "computed"});
    const std::string suffix = row->eyesClosed ? "_ec" : "_eo";
    r.rows.push_back({kSwayTableName, rowChecksum(row->content), session.recordName + suffix});
    const std::string trace =
        std::string(kSwayTraceFolder) + "/" + session.recordName + suffix + ".csv";
    if (platform::fileExists(platform::joinPath(folder, trace)))
      r.files.push_back(
          fileToKeep(trace, row->eyesClosed ? "sway_trace_eyes_closed" : "sway_trace_eyes_open"));
  }
}

bool held(ExaminationStore& store, const ExaminationRecord& r) {
  for (const TableRowLink& row : r.rows) {
    if (store.holdsRow(row.table, row.sha256)) return true;
  }
  for (const ExaminationFile& file : r.files) {
    if ((file.role == "report_pdf" || file.role == "pressure_png") && store.holdsFile(file.path))
      return true;
  }
  return false;
}

}  // namespace

ImportReport importOldFiles(ExaminationStore& store, const StationIdentity& identity,
                            const unsigned char* colourTable, int64_t before) {
  ImportReport report;
  report.ran = true;
  const std::string& folder = store.folder();
  const std::string database =
      platform::readWholeFile(platform::joinPath(folder, kDatabaseFile)).value_or("");
  std::vector<OldRow> rows = readOldRows(database, report.problems);
  std::vector<ReportFiles> reports = listReportFiles(folder);
  if (before > 0) {
    // What the station writes after `before` reaches the store through its own parts.
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](const OldRow& old) { return old.row.stamp > before; }),
               rows.end());
    reports.erase(
        std::remove_if(reports.begin(), reports.end(),
                       [&](const ReportFiles& files) {
                         for (const std::string* path : {&files.pdf, &files.picture}) {
                           if (!path->empty() && platform::modifiedAt(*path).value_or(0) > before)
                             return true;
                         }
                         return false;
                       }),
        reports.end());
  }
  std::vector<ImportedVisit> visits = visitsOfRowsAndReports(rows, reports);

  const std::string swayTable =
      platform::readWholeFile(platform::joinPath(folder, kSwayTableName)).value_or("");
  const std::vector<SwayRow> swayRows = readSwayRows(swayTable);
  std::map<std::string, SwaySession> byRecordName;
  for (const SwayRow& row : swayRows) {
    if (row.readable && before > 0 && row.when > before) continue;
    if (!row.readable) {
      report.problems.push_back({kSwayTableName, row.line, row.problem, 0, 0});
      continue;
    }
    SwaySession& session = byRecordName[row.recordName];
    session.recordName = row.recordName;
    session.id = row.id;
    session.when = session.rows.empty() ? row.when : std::min(session.when, row.when);
    session.rows.push_back(&row);
  }
  std::vector<SwaySession> sessions;
  for (auto& entry : byRecordName) sessions.push_back(entry.second);
  visits.reserve(visits.size() + sessions.size());  // joinSwaySessions adds without moving
  joinSwaySessions(sessions, visits);

  const auto bitmaps = bitmapsByStamp(folder);
  std::vector<ExaminationRecord> records;
  for (const ImportedVisit& visit : visits) {
    ExaminationRecord r;
    r.origin = "import";
    r.shop = identity.shop;
    r.station = identity.station;
    if (visit.row != nullptr) {
      const uint32_t stamp = visit.row->row.stamp;
      SaveOutcome found;
      const auto own = bitmaps.find(std::to_string(stamp));
      if (own != bitmaps.end()) found.writtenBitmaps = own->second;
      const ExaminationPart save =
          partOfSave(measurementOfFields(visit.row->fields), stamp, found, folder);
      r.takenAt = stamp;
      r.customer = save.customer;
      r.figures = save.figures;
      r.files = save.files;
      r.rows.push_back({kDatabaseFile, visit.row->sha, std::to_string(stamp)});
    }
    if (visit.files) {
      addReport(folder, *visit.files, colourTable, r);
      if (r.takenAt == 0)
        r.takenAt = secondsOfLocalStamp(std::to_string(visit.files->when)).value_or(0);
    }
    if (visit.sway != nullptr) {
      addSway(folder, *visit.sway, r);
      if (r.takenAt == 0) r.takenAt = visit.sway->when;
    }
    if (held(store, r)) {
      ++report.alreadyHeld;
      continue;
    }
    takeChecksums(folder, r.files);
    records.push_back(r);
  }

  const std::vector<ImportProblem>& problems = report.problems;
  const int64_t now = platform::epochSeconds();
  const std::string detail = std::to_string(records.size()) + " records";
  report.written = store.createAll(records, report.error, [&](SqlConnection& sql) {
    SqlStatement* clear = sql.statement("DELETE FROM import_problems");
    bool ok = clear != nullptr && clear->run();
    for (size_t i = 0; ok && i < problems.size(); ++i) {
      SqlStatement* insert = sql.statement(
          "INSERT INTO import_problems (source, line, reason, problem, detail)"
          " VALUES (?1, ?2, ?3, ?4, ?5)");
      ok = insert != nullptr && insert->bind(1, problems[i].source)
                                    .bind(2, static_cast<int64_t>(problems[i].line))
                                    .bind(3, problems[i].reason)
                                    .bind(4, static_cast<int64_t>(problems[i].problem))
                                    .bind(5, static_cast<int64_t>(problems[i].detail))
                                    .run();
    }
    SqlStatement* mark =
        sql.statement("INSERT OR REPLACE INTO store_events (name, at, detail) VALUES (?1, ?2, ?3)");
    return ok && mark != nullptr &&
           mark->bind(1, std::string(kImportFinished)).bind(2, now).bind(3, detail).run();
  });
  if (report.written) report.records = static_cast<int>(records.size());
  return report;
}

ImportReport importOnce(ExaminationStore& store, const StationIdentity& identity,
                        const unsigned char* colourTable, int64_t before) {
  if (importFinished(store)) return ImportReport{};
  return importOldFiles(store, identity, colourTable, before);
}

bool importFinished(ExaminationStore& store) {
  SqlStatement* done = store.connection().statement("SELECT 1 FROM store_events WHERE name = ?1");
  const bool finished = done != nullptr && done->bind(1, std::string(kImportFinished)).step();
  if (done != nullptr) done->reset();
  return finished;
}

std::string describeImport(const ImportReport& report) {
  if (!report.ran) return std::string();
  if (!report.written)
    return "examination store: the old files were not imported: " + report.error + "\n";
  std::string text = "examination store: " + std::to_string(report.records) +
                     " records imported from the old files";
  if (report.alreadyHeld > 0) text += ", " + std::to_string(report.alreadyHeld) + " held already";
  text += "\n";
  for (const ImportProblem& p : report.problems)
    text +=
        "  " + p.source + " line " + std::to_string(p.line) + " not imported: " + p.reason + "\n";
  return text;
}

}  // namespace report
