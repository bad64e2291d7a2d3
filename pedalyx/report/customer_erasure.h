// Erasing one customer on request: first the list of what will go (their records in the store,
// their rows of "Database_2080.csv", "Sway.csv" and "Gait.csv", their files), then, once the
// operator has confirmed it, the erasure itself and a line in "erasure_log.txt" that says when and
// how much, without any personal data.
//
// A row or file is the customer's when one of their records holds it (rows are known by the
// checksum of their bytes). A row no record holds is theirs when its ID is theirs as the Big5
// table can keep it exactly; when Big5 lost part of their ID, such a row could be another
// customer's as well and is kept, and the plan counts it.
#pragma once
#include <string>
#include <vector>

#include "pedalyx/report/examination_store.h"

namespace report {

constexpr const char* kErasureLogFile = "erasure_log.txt";

struct ErasureTable {
  std::string table;                   // "Database_2080.csv", "Sway.csv" or "Gait.csv"
  std::vector<std::string> checksums;  // of the rows to remove
  std::vector<int> lines;              // where they are in the file now
};

struct ErasurePlan {
  std::vector<std::string> recordIds;
  std::vector<std::string> recordTimes;  // local times of the records, for the operator
  std::vector<ErasureTable> tables;
  std::vector<std::string> files;        // present files to delete, relative to the folder
  std::vector<std::string> sharedFiles;  // named also by another customer's record: kept
  int undecidedRows = 0;                 // rows that may be theirs but cannot be told: kept
  int undecidedFiles = 0;                // report files likewise
  int rowCount() const;
};

// What erasing the customer with this ID or phone (exactly as typed) would delete. False with
// `error` set when the store or a table could not be read.
bool planErasure(ExaminationStore& store, const std::string& id, const std::string& phone,
                 ErasurePlan& plan, std::string& error);

// The list the operator confirms, in Traditional or Simplified characters.
std::string describeErasurePlan(const ErasurePlan& plan, bool simplified = false);

struct ErasureResult {
  bool done = false;
  std::string error;  // what stopped it; what was done before is counted below
  int records = 0, rows = 0, files = 0;
  std::vector<std::string> filesNotDeleted;
};

// Carries the plan out, in the order that can be repeated after a failure or a crash: the
// tables are rewritten first (each whole, every other row byte for byte), then the files are
// deleted, then the records leave the store, which keeps only their UUIDs for the central
// database's erasure. Last, the log line.
ErasureResult eraseCustomer(ExaminationStore& store, const ErasurePlan& plan);

}  // namespace report
