#include "pedalyx/report/customer_history.h"

#include <algorithm>
#include <map>

#include "pedalyx/report/report_export.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace report {
namespace {

constexpr const char* kPictureFolder = "FOOT_PRESSURE";
constexpr const char* kReportFolder = "PDF_INSOLES";

bool endsWith(const std::string& text, const std::string& ending) {
  return text.size() >= ending.size() &&
         text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian calendar).
int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

int64_t minutesSinceEpoch(int64_t when) {
  const int64_t minute = when % 100, hour = when / 100 % 100, day = when / 10000 % 100;
  const int64_t month = when / 1000000 % 100, year = when / 100000000;
  return (daysFromCivil(year, month, day) * 24 + hour) * 60 + minute;
}

bool sameCustomer(const std::string& key, const std::string& id, const std::string& phone) {
  return (!id.empty() && key == id) || (!phone.empty() && key == phone);
}

// A row saved without an ID belongs to the customer whose report was exported nearest to it,
// when that was within kSameVisitMinutes.
bool nearestReportIsCustomers(const std::vector<ReportFiles>& reports, const DatabaseRow& row,
                              const std::string& idName, const std::string& phoneName) {
  const ReportFiles* nearest = nearestReport(reports, row);
  return nearest != nullptr && sameCustomer(nearest->phone, idName, phoneName);
}

}  // namespace

bool parseReportName(const std::string& name, std::string& phone, int64_t& when) {
  const size_t cut = name.rfind('_');
  if (cut == std::string::npos || name.size() - cut - 1 != 12) return false;
  const std::string stamp = name.substr(cut + 1);
  if (!std::all_of(stamp.begin(), stamp.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  const int64_t value = std::stoll(stamp);
  const int month = value / 1000000 % 100, day = value / 10000 % 100;
  const int hour = value / 100 % 100, minute = value % 100;
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59) return false;
  phone = name.substr(0, cut);
  when = value;
  return true;
}

std::vector<ReportFiles> listReportFiles(const std::string& folder) {
  std::map<std::string, ReportFiles> byName;
  auto take = [&](const std::string& sub, const std::string& file, const std::string& ending,
                  std::string ReportFiles::*slot) {
    if (!endsWith(file, ending)) return;
    const std::string name = file.substr(0, file.size() - ending.size());
    std::string phone;
    int64_t when = 0;
    if (!parseReportName(name, phone, when)) return;
    ReportFiles& files = byName[name];
    files.reportName = name;
    files.phone = phone;
    files.when = when;
    files.*slot = platform::joinPath(platform::joinPath(folder, sub), file);
  };
  for (const std::string& file : platform::listFolder(platform::joinPath(folder, kPictureFolder))) {
    take(kPictureFolder, file, ".png", &ReportFiles::picture);
  }
  for (const std::string& file : platform::listFolder(platform::joinPath(folder, kReportFolder))) {
    take(kReportFolder, file, ".pdf", &ReportFiles::pdf);
    take(kReportFolder, file, "_iLeft.bmp", &ReportFiles::leftInsole);
    take(kReportFolder, file, "_iRight.bmp", &ReportFiles::rightInsole);
    take(kReportFolder, file, "_iLeft.stl", &ReportFiles::leftModel);
    take(kReportFolder, file, "_iRight.stl", &ReportFiles::rightModel);
  }
  std::vector<ReportFiles> list;
  for (auto& entry : byName) list.push_back(entry.second);
  return list;
}

int64_t localMinuteOf(int64_t seconds) {
  const platform::LocalTime t = platform::localTime(seconds);
  return (((int64_t(t.year) * 100 + t.month) * 100 + t.day) * 100 + t.hour) * 100 + t.minute;
}

int64_t minutesBetween(int64_t a, int64_t b) { return minutesSinceEpoch(b) - minutesSinceEpoch(a); }

CustomerHistory findCustomerHistory(const std::string& folder, const std::string& id,
                                    const std::string& phone) {
  CustomerHistory history;
  const std::vector<ReportFiles> allReports = listReportFiles(folder);
  // Report names carry the phone as made safe for a file name.
  const std::string idName = id.empty() ? "" : phoneForFileName(id);
  const std::string phoneName = phone.empty() ? "" : phoneForFileName(phone);
  std::vector<ReportFiles> reports;
  for (const ReportFiles& files : allReports) {
    if (sameCustomer(files.phone, idName, phoneName)) reports.push_back(files);
  }
  const std::string bytes =
      platform::readWholeFile(platform::joinPath(folder, kDatabaseFile)).value_or("");
  std::vector<DatabaseRow> rows;
  for (const DatabaseRow& row : readDatabaseRows(bytes)) {
    if (!row.readable) {
      if (!row.idKnown || sameCustomer(row.id, id, phone)) history.unreadable.push_back(row);
    } else if (sameCustomer(row.id, id, phone) ||
               (row.id.empty() && nearestReportIsCustomers(allReports, row, idName, phoneName))) {
      rows.push_back(row);
    }
  }
  history.visits = joinVisits(reports, rows);
  return history;
}

const ReportFiles* nearestReport(const std::vector<ReportFiles>& reports, const DatabaseRow& row) {
  const int64_t when = localMinuteOf(row.stamp);
  const ReportFiles* nearest = nullptr;
  int64_t nearestGap = kSameVisitMinutes + 1;
  for (const ReportFiles& files : reports) {
    const int64_t gap = std::llabs(minutesBetween(files.when, when));
    if (gap < nearestGap) nearest = &files, nearestGap = gap;
  }
  return nearest;
}

std::vector<Visit> joinVisits(const std::vector<ReportFiles>& reports,
                              const std::vector<DatabaseRow>& rows) {
  std::vector<Visit> visits;
  for (const ReportFiles& files : reports) {
    Visit visit;
    visit.when = files.when;
    visit.files = files;
    visits.push_back(visit);
  }
  // Each row joins the nearest report of its time that no other row took, else stands alone.
  for (const DatabaseRow& row : rows) {
    const int64_t when = localMinuteOf(row.stamp);
    Visit* nearest = nullptr;
    int64_t nearestGap = kSameVisitMinutes + 1;
    for (Visit& visit : visits) {
      if (visit.row || !visit.files) continue;
      const int64_t gap = std::llabs(minutesBetween(visit.when, when));
      if (gap < nearestGap) nearest = &visit, nearestGap = gap;
    }
    if (nearest != nullptr) {
      nearest->row = row;
    } else {
      Visit visit;
      visit.when = when;
      visit.row = row;
      visits.push_back(visit);
    }
  }
  // Within one minute the row's seconds tell the newer visit.
  std::stable_sort(visits.begin(), visits.end(), [](const Visit& a, const Visit& b) {
    if (a.when != b.when) return a.when > b.when;
    return (a.row ? a.row->stamp : 0) > (b.row ? b.row->stamp : 0);
  });
  return visits;
}

}  // namespace report
