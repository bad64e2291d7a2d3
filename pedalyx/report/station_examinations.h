// The examination store of the running station: opened at start (records an ended run left
// open are closed then), the old files imported once on a thread of its own, and every part
// of an examination written through the session. Used from the user-interface thread only;
// the import thread has its own connection and touches nothing else.
//
// While the import runs, the parts the station adds wait in memory and are written, in order,
// when it has ended, so the station never waits for the import and the import never takes
// what this run writes (it takes only what was on disk before the start).
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "pedalyx/report/examination_import.h"
#include "pedalyx/report/examination_session.h"
#include "pedalyx/report/examination_store.h"

namespace report {

class StationExaminations {
 public:
  StationExaminations() = default;
  // An import still running is left to the end of the process: its transaction was never
  // committed, so the next start finds the store as it was and imports again.
  ~StationExaminations();
  StationExaminations(const StationExaminations&) = delete;
  StationExaminations& operator=(const StationExaminations&) = delete;

  // Opens folder's store and starts the import when the old files were never imported.
  // `colourTable` (768 bytes, may be null) is copied for the import; `now` is the start.
  // Console lines (what was opened, closed, started) go to `console`.
  void start(const std::string& folder, const unsigned char* colourTable, int64_t now,
             const std::function<void(const std::string&)>& console);

  // Whether the import is still running.
  bool importing() const { return importThread_.joinable(); }
  // After the import has ended, once: its report, and the waiting parts written, with the
  // writes that failed. False while it runs or when there was none to finish.
  bool finishImport(ImportReport& report, std::vector<StoreWrite>& failures);

  // A part of the current examination (see ExaminationSession::add); while the import runs it
  // waits, and the write says so (waiting).
  StoreWrite add(const ExaminationPart& part, int64_t when);
  // The examination is over: the open record is closed.
  StoreWrite nextCustomer();

  // The store for the export and erasure of a customer, on this thread; null when it could
  // not be opened (storeError() says why).
  ExaminationStore* store() { return store_.get(); }
  const std::string& storeError() const { return storeError_; }
  const std::string& folder() const { return folder_; }

  const StationIdentity& identity() const { return session_->identity(); }
  void setIdentity(const StationIdentity& identity) { session_->setIdentity(identity); }

 private:
  struct Waiting {
    bool nextCustomer = false;
    ExaminationPart part;
    int64_t when = 0;
  };

  std::string folder_, storeError_;
  std::unique_ptr<ExaminationStore> store_;
  std::unique_ptr<ExaminationSession> session_ = std::make_unique<ExaminationSession>(
      nullptr, "the examination store is not open", StationIdentity{});
  // Shared with the import thread, which may outlive this object at the end of the process.
  struct Import {
    std::atomic<bool> done{false};
    ImportReport report;  // written by the import thread before `done`
  };
  std::shared_ptr<Import> import_;
  std::thread importThread_;
  std::vector<Waiting> waiting_;
};

// The one of this program.
StationExaminations& stationExaminations();

}  // namespace report
