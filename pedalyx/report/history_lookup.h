// The history's look-up off the user-interface thread: a customer's records from the
// examination store by the ID or phone exactly as typed, handed over in two steps, first the
// records (the window shows them at once), then the same with every file checked (present,
// checksum unchanged), which reads all their files. With a central database configured in the
// folder, the visits of every shop are asked of it in between and merged with the station's
// own by record UUID (handed over as a further step); the pressure pictures of visits this
// station does not hold are fetched with the file check. One look-up runs at a time; a request made
// meanwhile runs after it, and only the newest request's answers are handed over.
#pragma once
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "pedalyx/report/central_history.h"
#include "pedalyx/report/examination_record.h"

namespace report {

struct HistoryAnswer {
  std::string id, phone;  // what was looked for
  bool read = false;      // false: the store could not be read, `error` says why
  std::string error;
  std::vector<ExaminationRecord> records;  // newest first
  // One flag per record: a visit known only from the central database (another shop's, or
  // this station's own that it no longer holds).
  std::vector<char> fromCentre;
  bool centralConfigured = false;
  bool centralAsked = false;  // the centre's visits are merged in, or it could not be asked
  // The centre was configured but could not be asked: the visits of other shops are missing.
  bool centralMissing = false;
  std::string centralProblem;
  std::vector<ImportProblem> problems;  // rows the import could not read
  bool filesChecked = false;
  double lookupMilliseconds = 0, checkMilliseconds = 0;
};

// Asks the centre and merges its visits into the answer, which holds the station's own.
void addCentralVisits(CentralReader& reader, const std::string& ownShop, HistoryAnswer& answer);
// Checks the station's own records' files and fetches the central records' pictures.
void checkAnswerFiles(CentralReader* reader, const std::string& folder, HistoryAnswer& answer);

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
  // The look-up thread's connection to the centre, kept for the window's questions.
  std::unique_ptr<CentralReader> central_;
  std::string centralDescription_;
};

}  // namespace report
