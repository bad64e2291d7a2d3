// The examination store "examinations.sqlite" in the working directory: one record per
// examination, written beside the station's files, never instead of them. A record is made in
// one transaction by the first part of an examination (normally the export) and completed in
// one transaction by each later part (a "Save", a sway or a walking recording). The store is
// also the outbox of the central database: every record is pending until its newest revision
// was sent.
//
// One ExaminationStore is one connection: use it on one thread. The history reads through its
// own ExaminationReader, and the central sender opens a store of its own on its thread; the
// write-ahead log lets them read while this one writes.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "pedalyx/report/central_outbox.h"
#include "pedalyx/report/examination_record.h"
#include "pedalyx/report/store_sql.h"

namespace report {

// What a write did. Nothing was written when `written` is false: `error` says why, for the
// operator; the station's own files are not affected by it.
struct StoreWrite {
  bool written = false;
  std::string recordId;
  std::string error;
  std::vector<std::string> missingFiles;  // named by the part but not on disk; left out
  bool noSuchRecord = false;              // a completion of a record the store does not hold
  bool recordClosed = false;              // a completion of a closed record: nothing changed
  bool waiting = false;  // not written yet: it waits for the import of the old files
};

// One record waiting for the central database: its figures as one JSON document and its files.
struct OutboxItem {
  std::string recordId;
  int64_t revision = 0;
  std::string json;  // the whole record, see recordJson
  std::vector<ExaminationFile> files;
};

struct OutboxCounts {
  int pending = 0, refused = 0, sent = 0;  // of the closed records
  int open = 0;                            // records whose examination may still add parts
  int erasuresPending = 0;
};

class ExaminationStore {
 public:
  // Opens folder/examinations.sqlite, creating it and bringing it to the current version, with
  // the write-ahead log and foreign keys on and every commit synced to disk. Null with the
  // reason in `error` when it cannot be opened or is not ours; the file is then left as it is.
  static std::unique_ptr<ExaminationStore> open(const std::string& folder, std::string& error);

  // Writes a new record in one transaction. An empty recordId gets a new random UUID, a zero
  // takenAt the clock's time; the files' checksums are read from disk first. The record is
  // written open when record.open says so (the station's examinations), else closed.
  StoreWrite create(ExaminationRecord record);
  // Many records in one transaction: all or none (the import and the test generator).
  // `alsoInTransaction`, when given, runs inside the same transaction after the records; its
  // false rolls everything back.
  bool createAll(std::vector<ExaminationRecord>& records, std::string& error,
                 const std::function<bool(SqlConnection&)>& alsoInTransaction = nullptr);

  // Completes the record in one transaction: the part's customer fields replace the stored
  // ones that it gives, its figure groups replace the record's groups of the same names, its
  // files and rows are added, and the revision advances. Only an open record is completed; a
  // closed one is left as it is (recordClosed).
  StoreWrite complete(const std::string& recordId, const ExaminationPart& part);

  // Closes the record for good: it takes no more parts and goes to the central database.
  bool close(const std::string& recordId, std::string& error);
  // Closes the open records whose last part was written at or before `idleSince` (calendar
  // seconds), or every open record when it is 0 (at start: an earlier run left them open).
  // How many were closed; -1 with `error` when the store could not be written.
  int closeOpenRecords(int64_t idleSince, std::string& error);

  // The record with every figure, file and row; false when there is none.
  bool read(const std::string& recordId, ExaminationRecord& record);
  // The record as one JSON document (customer, figures, files, rows); empty when there is none.
  std::string recordJson(const std::string& recordId);

  // Whether a record already holds this CSV row, or this file.
  bool holdsRow(const std::string& table, const std::string& sha256);
  bool holdsFile(const std::string& path);
  // UUIDs of the records that hold the file.
  std::vector<std::string> recordsHoldingFile(const std::string& path);

  // The outbox: up to `limit` pending closed records, oldest first, with their JSON and files.
  std::vector<OutboxItem> pendingRecords(int limit);
  // The centre took this revision: sent, unless a completion made a newer one meanwhile.
  bool markSent(const std::string& recordId, int64_t revision, std::string& error);
  // The centre refused this revision; kept with the reason, not offered again until completed.
  bool markRefused(const std::string& recordId, int64_t revision, const std::string& reason,
                   std::string& error);
  OutboxCounts outboxCounts();
  // UUIDs of erased records whose erasure the centre has not done yet, and marking one done.
  std::vector<std::string> pendingErasures();
  bool markErasureSent(const std::string& recordId, std::string& error);
  // A customer's erasure for the central database to do, kept until it is done there.
  bool queueCentralErasure(const CentralErasureRequest& request, std::string& error);
  std::vector<CentralErasureRequest> centralErasures();
  bool forgetCentralErasure(int64_t key, std::string& error);

  // Deletes the records (with their figures, files and rows) in one transaction and keeps
  // their UUIDs for the centre's erasure. Used by the customer erasure.
  bool erase(const std::vector<std::string>& recordIds, std::string& error);

  const std::string& folder() const { return folder_; }
  SqlConnection& connection() { return sql_; }

 private:
  explicit ExaminationStore(const std::string& folder) : folder_(folder) {}
  bool insertRecord(const ExaminationRecord& record, int64_t now, int64_t& key);
  // The kind of the figure's group, name and side, made when new.
  bool kindOf(const ExaminationFigure& figure, int64_t& kind);
  // Commits a transaction whose steps succeeded, else rolls it back; false with the reason.
  bool finish(bool ok, const char* failure, std::string& error);
  bool insertDetails(int64_t recordKey, const std::vector<ExaminationFigure>& figures,
                     const std::vector<ExaminationFile>& files,
                     const std::vector<TableRowLink>& rows);

  std::string folder_;
  SqlConnection sql_;
  std::map<std::tuple<std::string, std::string, std::string>, int64_t> kinds_;
};

// Takes each file's checksum and length from disk (paths relative to folder); files that
// cannot be read are removed from the list and returned.
std::vector<std::string> takeChecksums(const std::string& folder,
                                       std::vector<ExaminationFile>& files);

}  // namespace report
