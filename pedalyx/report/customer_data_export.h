// A customer's data handed out on request: one folder with their records as JSON and CSV and a
// copy of every file their records name. The folder appears whole or not at all: it is written
// under a temporary name and renamed when everything is in it.
//
//   customer_<YYYYMMDDhhmmss>/records.json   every record as the store's JSON document
//                             records.csv    one row per record: time, shop, customer's data
//                             figures.csv    one row per figure
//                             files.csv      one row per file, with its checksum and state
//                             files/<path>   the copies, below their station folders
// The CSV files are UTF-8 with a byte order mark, so spreadsheets read the Chinese right.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pedalyx/report/examination_store.h"

namespace report {

// The folder of the working directory that the history window's "匯出" writes into.
constexpr const char* kCustomerExportFolder = "CUSTOMER_EXPORT";

struct CustomerDataExport {
  bool written = false;
  std::string folder;  // the folder made
  std::string error;
  int records = 0, files = 0;
  std::vector<std::string> missingFiles;  // named by a record but gone or changed: not copied
};

// Writes the folder of the customer with this ID or phone (exactly as typed) into
// `destination`, named with the local time of `now`.
CustomerDataExport exportCustomerData(ExaminationStore& store, const std::string& id,
                                      const std::string& phone, const std::string& destination,
                                      int64_t now);

}  // namespace report
