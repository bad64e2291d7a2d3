// Reading the examination store: a customer's records by the ID or phone exactly as typed,
// newest first, each with every figure and file. The reader has its own read-only connection,
// so the history can look up on a thread of its own while the station writes; checking the
// files (present, checksum unchanged) reads them all and belongs on that thread too.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "pedalyx/report/examination_record.h"
#include "pedalyx/report/store_sql.h"

namespace report {

class ExaminationReader {
 public:
  // Opens folder/examinations.sqlite for reading only; null with the reason in `error` when
  // there is no store or it cannot be read.
  static std::unique_ptr<ExaminationReader> open(const std::string& folder, std::string& error);

  // The records whose customer ID or phone equals `id` or `phone` byte for byte (an empty one
  // matches nothing), newest first, whole. False with `error` set when the store failed.
  bool findCustomer(const std::string& id, const std::string& phone,
                    std::vector<ExaminationRecord>& records, std::string& error);

  // The rows the import could not read, by table and line.
  bool importProblems(std::vector<ImportProblem>& problems, std::string& error);

  SqlConnection& connection() { return sql_; }

 private:
  SqlConnection sql_;
};

// Sets each file's state: intact (present with the recorded checksum), changed or missing.
// Paths are relative to folder.
void checkFiles(const std::string& folder, std::vector<ExaminationRecord>& records);

// The reading shared by the reader and the store, on any connection to a store.
namespace store_reading {
// Whether the record exists; fills it whole.
bool readRecord(SqlConnection& sql, const std::string& recordId, ExaminationRecord& record);
// UUIDs of the customer's records (as findCustomer matches them), newest first.
bool customerRecordIds(SqlConnection& sql, const std::string& id, const std::string& phone,
                       std::vector<std::string>& recordIds);
// The record as one JSON object, made by SQLite's own JSON functions; empty when none.
std::string recordJson(SqlConnection& sql, const std::string& recordId);
}  // namespace store_reading

}  // namespace report
