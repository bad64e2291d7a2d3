// The history's look-up off the user-interface thread: a customer's records from the
// examination store by the ID or phone exactly as typed, handed over in two steps, first the
// records (the window shows them at once), then the same with every file checked (present,
// checksum unchanged), which reads all their files. One look-up runs at a time; a request made
// meanwhile runs after it, and only the newest request's answers are handed over.
#pragma once
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "pedalyx/report/examination_record.h"

namespace report {

struct HistoryAnswer {
  std::string id, phone;  // what was looked for
  bool read = false;      // false: the store could not be read, `error` says why
  std::string error;
  std::vector<ExaminationRecord> records;  // newest first
  std::vector<ImportProblem> problems;     // rows the import could not read
  bool filesChecked = false;
  double lookupMilliseconds = 0, checkMilliseconds = 0;
};

class HistoryLookup {
 public:
  HistoryLookup() = default;
  ~HistoryLookup();  // waits for the look-up in progress
  HistoryLookup(const HistoryLookup&) = delete;
  HistoryLookup& operator=(const HistoryLookup&) = delete;

  void request(const std::string& folder, const std::string& id, const std::string& phone);
  // The newest request's next answer, once; nothing when none came in since the last call.
  std::optional<HistoryAnswer> take();
  // Whether the newest request has not been answered whole yet.
  bool busy();

 private:
  struct Request {
    std::string folder, id, phone;
    unsigned number = 0;
  };
  void run();
  void publish(unsigned number, const HistoryAnswer& answer);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<Request> next_;
  std::optional<HistoryAnswer> answer_;
  unsigned newest_ = 0;
  bool answeredWhole_ = true;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace report
