// The store as the outbox of the central database: which records wait, and what the centre
// did with each revision it was sent.
#include "pedalyx/report/examination_store.h"
#include "platform/clock.h"

namespace report {
namespace {

constexpr const char* kPending =
    "SELECT record_id, revision FROM examinations WHERE outbox_state = 'pending'"
    " AND closed_at IS NOT NULL ORDER BY taken_at, rowid LIMIT ?1";
constexpr const char* kMarkSent =
    "UPDATE examinations SET outbox_state = CASE WHEN revision = ?2 THEN 'sent'"
    " ELSE outbox_state END, sent_revision = max(sent_revision, ?2), outbox_reason = '',"
    " outbox_changed_at = ?3 WHERE record_id = ?1";
constexpr const char* kMarkRefused =
    "UPDATE examinations SET outbox_state = 'refused', outbox_reason = ?3, outbox_changed_at = ?4"
    " WHERE record_id = ?1 AND revision = ?2";
constexpr const char* kCounts =
    "SELECT CASE WHEN closed_at IS NULL THEN 'open' ELSE outbox_state END, count(*)"
    " FROM examinations GROUP BY 1";
constexpr const char* kErasuresPending =
    "SELECT record_id FROM erased_records WHERE outbox_state = 'pending' ORDER BY erased_at";
constexpr const char* kMarkErasureSent =
    "UPDATE erased_records SET outbox_state = 'sent' WHERE record_id = ?1";

constexpr const char* kQueueCentralErasure =
    "INSERT INTO central_erasures (phone, customer_id, station, requested_at)"
    " VALUES (?1, ?2, ?3, ?4)";
constexpr const char* kCentralErasures =
    "SELECT erasure_key, phone, customer_id, station FROM central_erasures ORDER BY erasure_key";
constexpr const char* kForgetCentralErasure = "DELETE FROM central_erasures WHERE erasure_key = ?1";

}  // namespace

std::vector<OutboxItem> ExaminationStore::pendingRecords(int limit) {
  std::vector<OutboxItem> items;
  SqlStatement* select = sql_.statement(kPending);
  if (select == nullptr) return items;
  select->bind(1, static_cast<int64_t>(limit));
  while (select->step()) items.push_back({select->text(0), select->integer(1), "", {}});
  for (OutboxItem& item : items) {
    ExaminationRecord record;
    if (!read(item.recordId, record)) continue;
    item.files = record.files;
    item.json = recordJson(item.recordId);
  }
  return items;
}

bool ExaminationStore::markSent(const std::string& recordId, int64_t revision, std::string& error) {
  SqlStatement* update = sql_.writesRefused() ? nullptr : sql_.statement(kMarkSent);
  if (update != nullptr &&
      update->bind(1, recordId).bind(2, revision).bind(3, platform::epochSeconds()).run()) {
    if (sql_.changes() == 1) return true;
    error = "the examination store holds no record " + recordId;
    return false;
  }
  error = sql_.error();
  return false;
}

bool ExaminationStore::markRefused(const std::string& recordId, int64_t revision,
                                   const std::string& reason, std::string& error) {
  SqlStatement* update = sql_.writesRefused() ? nullptr : sql_.statement(kMarkRefused);
  if (update != nullptr && update->bind(1, recordId)
                               .bind(2, revision)
                               .bind(3, reason)
                               .bind(4, platform::epochSeconds())
                               .run())
    return true;
  error = sql_.error();
  return false;
}

OutboxCounts ExaminationStore::outboxCounts() {
  OutboxCounts counts;
  SqlStatement* select = sql_.statement(kCounts);
  while (select != nullptr && select->step()) {
    const std::string state = select->text(0);
    const int n = static_cast<int>(select->integer(1));
    (state == "open"      ? counts.open
     : state == "sent"    ? counts.sent
     : state == "refused" ? counts.refused
                          : counts.pending) += n;
  }
  counts.erasuresPending = static_cast<int>(pendingErasures().size());
  return counts;
}

std::vector<std::string> ExaminationStore::pendingErasures() {
  std::vector<std::string> ids;
  SqlStatement* select = sql_.statement(kErasuresPending);
  while (select != nullptr && select->step()) ids.push_back(select->text(0));
  return ids;
}

bool ExaminationStore::markErasureSent(const std::string& recordId, std::string& error) {
  SqlStatement* update = sql_.writesRefused() ? nullptr : sql_.statement(kMarkErasureSent);
  if (update != nullptr && update->bind(1, recordId).run()) return true;
  error = sql_.error();
  return false;
}

bool ExaminationStore::queueCentralErasure(const CentralErasureRequest& request,
                                           std::string& error) {
  SqlStatement* insert = sql_.writesRefused() ? nullptr : sql_.statement(kQueueCentralErasure);
  if (insert != nullptr && insert->bind(1, request.phone)
                               .bind(2, request.customerId)
                               .bind(3, request.station)
                               .bind(4, platform::epochSeconds())
                               .run())
    return true;
  error = sql_.error();
  return false;
}

std::vector<CentralErasureRequest> ExaminationStore::centralErasures() {
  std::vector<CentralErasureRequest> requests;
  SqlStatement* select = sql_.statement(kCentralErasures);
  while (select != nullptr && select->step())
    requests.push_back({select->integer(0), select->text(1), select->text(2), select->text(3)});
  return requests;
}

bool ExaminationStore::forgetCentralErasure(int64_t key, std::string& error) {
  SqlStatement* remove = sql_.writesRefused() ? nullptr : sql_.statement(kForgetCentralErasure);
  if (remove != nullptr && remove->bind(1, key).run()) return true;
  error = sql_.error();
  return false;
}

}  // namespace report
