// Filling a new examination store from what the station kept before it had one: the rows of
// "Database_2080.csv" and "Sway.csv" and the report files of "FOOT_PRESSURE/" and
// "PDF_INSOLES/". Rows and reports are joined into visits as the customer history joins them;
// a sway recording joins its customer's visit of the same hour. Nothing of the old files is
// changed.
#pragma once
#include <string>
#include <vector>

#include "pedalyx/report/examination_session.h"
#include "pedalyx/report/examination_store.h"

namespace report {

struct ImportReport {
  bool ran = false;  // false: the store had been filled before (importOnce)
  bool written = false;
  int records = 0;                      // records made
  int alreadyHeld = 0;                  // visits whose rows or files the store held already
  std::vector<ImportProblem> problems;  // rows that could not be read: imported as nothing
  std::string error;                    // why nothing was written
};

// Imports every visit of the folder the store does not hold yet, in one transaction, with the
// unreadable rows (kept in the store's import_problems) and the mark that the import is done.
// Running it again creates no duplicates. `colourTable` (768 bytes, may be null) turns the
// pressure pictures back into levels for the load shares, as the history does. With `before`
// (calendar seconds) given, rows saved and reports written after it are left out: the station
// running meanwhile writes those through its own parts. The records made are closed.
ImportReport importOldFiles(ExaminationStore& store, const StationIdentity& identity,
                            const unsigned char* colourTable, int64_t before = 0);

// The import at start: runs importOldFiles unless the store carries the mark of a finished one.
ImportReport importOnce(ExaminationStore& store, const StationIdentity& identity,
                        const unsigned char* colourTable, int64_t before = 0);

// Whether the store carries the mark of a finished import.
bool importFinished(ExaminationStore& store);

// Console lines for the import: how many records, and every unreadable row with its line.
std::string describeImport(const ImportReport& report);

}  // namespace report
