// A customer's earlier examinations, found in what the station left on disk: the rows of the
// measurement database and the report files named "<phone>_<YYYYMMDDhhmm>" in FOOT_PRESSURE/
// (pressure picture) and PDF_INSOLES/ (report PDF, insole bitmaps and models). Nothing here
// writes: the files are the record.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pedalyx/report/database_rows.h"

namespace report {

// The files of one export, by report name.
struct ReportFiles {
  std::string reportName;
  std::string phone;
  int64_t when = 0;  // local YYYYMMDDhhmm as one number
  std::string picture, pdf, leftInsole, rightInsole, leftModel, rightModel;  // "" when absent
};

// Splits "<phone>_<YYYYMMDDhhmm>"; false when the name has no valid date and time at its end.
bool parseReportName(const std::string& name, std::string& phone, int64_t& when);

// Every report name found in folder/FOOT_PRESSURE and folder/PDF_INSOLES with its files.
std::vector<ReportFiles> listReportFiles(const std::string& folder);

// Local YYYYMMDDhhmm of calendar seconds.
int64_t localMinuteOf(int64_t seconds);
// Minutes from a to b, both local YYYYMMDDhhmm.
int64_t minutesBetween(int64_t a, int64_t b);

// A database row and a report of the same customer within this many minutes are one visit.
constexpr int kSameVisitMinutes = 60;

struct Visit {
  int64_t when = 0;  // local YYYYMMDDhhmm: of the report when there is one, else of the row
  std::optional<DatabaseRow> row;
  std::optional<ReportFiles> files;
};

struct CustomerHistory {
  std::vector<Visit> visits;  // newest first; in one minute by the rows' seconds
  // Rows that could not be read and may be this customer's: their ID is the customer's or
  // cannot be told.
  std::vector<DatabaseRow> unreadable;
};

// The report exported nearest to the row's save within kSameVisitMinutes, or null.
const ReportFiles* nearestReport(const std::vector<ReportFiles>& reports, const DatabaseRow& row);

// One customer's reports and readable rows as visits, newest first: each row joins the nearest
// report of its time (within kSameVisitMinutes) that no other row took, else stands alone.
std::vector<Visit> joinVisits(const std::vector<ReportFiles>& reports,
                              const std::vector<DatabaseRow>& rows);

// The visits of the customer with this ID or phone (either may be empty) in folder: reports
// named with either, rows with either as ID, and rows saved without an ID whose nearest report
// (within kSameVisitMinutes) is the customer's.
CustomerHistory findCustomerHistory(const std::string& folder, const std::string& id,
                                    const std::string& phone);

}  // namespace report
