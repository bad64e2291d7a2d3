// The examination store as the central sender's outbox: the closed records the centre has not
// taken yet, each with its files' bytes. The sender calls it from its own thread only, so the
// outbox opens a connection of its own there, at the first call. A record is offered only
// once it is closed (see ExaminationSession); records idle for the visit's hour are closed
// here before each look, so a station left alone still sends its last examination.
//
// Failures of the store (it cannot be opened, read or written) are thrown as
// std::runtime_error, which the sender answers with a pause and another try.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pedalyx/report/central_outbox.h"
#include "pedalyx/report/examination_store.h"

namespace report {

class StoreOutbox : public ExaminationOutbox {
 public:
  explicit StoreOutbox(std::string folder) : folder_(std::move(folder)) {}

  // Files missing or changed since the record took them are left out; the record's JSON still
  // names them with the checksums it took.
  std::vector<OutgoingExamination> unsent(int limit) override;
  void markSent(const std::string& recordId) override;
  void markRefused(const std::string& recordId, const std::string& reason) override;
  int unsentCount() override;
  std::vector<CentralErasureRequest> centralErasures() override;
  void centralErasureDone(int64_t key) override;

 private:
  ExaminationStore& store();  // opened at the first call
  void closeIdleRecords();

  std::string folder_;
  std::unique_ptr<ExaminationStore> store_;
  std::map<std::string, int64_t> offered_;  // the revision each offered record had
};

// "2026-12-07T09:05:03Z" of calendar seconds.
std::string utcTimeText(int64_t seconds);

}  // namespace report
