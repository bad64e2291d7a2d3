#include "pedalyx/report/store_outbox.h"

#include <ctime>
#include <stdexcept>

#include "pedalyx/report/customer_history.h"
#include "pedalyx/report/examination_parts.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/sha256.h"

namespace report {

std::string utcTimeText(int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm utc{};
  gmtime_r(&time, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

ExaminationStore& StoreOutbox::store() {
  if (!store_) {
    std::string error;
    store_ = ExaminationStore::open(folder_, error);
    if (!store_) throw std::runtime_error(error);
  }
  return *store_;
}

void StoreOutbox::closeIdleRecords() {
  std::string error;
  const int64_t idleSince = platform::epochSeconds() - kSameVisitMinutes * 60;
  if (store().closeOpenRecords(idleSince, error) < 0) throw std::runtime_error(error);
}

std::vector<OutgoingExamination> StoreOutbox::unsent(int limit) {
  closeIdleRecords();
  std::vector<OutgoingExamination> records;
  for (const OutboxItem& item : store().pendingRecords(limit)) {
    ExaminationRecord r;
    if (!store().read(item.recordId, r)) continue;  // erased meanwhile
    OutgoingExamination out;
    out.recordId = r.recordId;
    out.shop = r.shop;
    out.station = r.station;
    out.takenAtUtc = utcTimeText(r.takenAt);
    out.customerPhone = r.customer.phone;
    out.customerId = r.customer.id;
    out.figuresJson = item.json;
    for (const ExaminationFile& file : r.files) {
      if (!isStationPath(file.path)) continue;
      const auto bytes = platform::readWholeFile(platform::joinPath(folder_, file.path));
      if (!bytes || platform::sha256Hex(*bytes) != file.sha256) continue;
      out.files.push_back({file.path, file.sha256, {bytes->begin(), bytes->end()}});
    }
    offered_[r.recordId] = item.revision;
    records.push_back(std::move(out));
  }
  return records;
}

void StoreOutbox::markSent(const std::string& recordId) {
  const auto offered = offered_.find(recordId);
  if (offered == offered_.end()) return;
  std::string error;
  const bool marked = store().markSent(recordId, offered->second, error);
  offered_.erase(offered);
  // Erased since it was offered: there is nothing left to mark.
  if (!marked && !error.empty() && error.find("holds no record") == std::string::npos)
    throw std::runtime_error(error);
}

void StoreOutbox::markRefused(const std::string& recordId, const std::string& reason) {
  const auto offered = offered_.find(recordId);
  if (offered == offered_.end()) return;
  std::string error;
  const bool marked = store().markRefused(recordId, offered->second, reason, error);
  offered_.erase(offered);
  if (!marked) throw std::runtime_error(error);
}

std::vector<CentralErasureRequest> StoreOutbox::centralErasures() {
  return store().centralErasures();
}

void StoreOutbox::centralErasureDone(int64_t key) {
  std::string error;
  if (!store().forgetCentralErasure(key, error)) throw std::runtime_error(error);
}

int StoreOutbox::unsentCount() {
  closeIdleRecords();
  return store().outboxCounts().pending;
}

}  // namespace report
