// What the central sender takes from the station's local examination store: the records not yet
// acknowledged by the central database, and the answers it hands back. The local store
// implements ExaminationOutbox; the sender only reads records and marks them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One file of a visit (report PDF, pressure picture, insole model…), whole.
struct OutgoingFile {
  std::string name;    // unique within its record
  std::string sha256;  // of `bytes`, 64 lower-case hexadecimal digits; the server checks it
  std::vector<unsigned char> bytes;
};

// One examination as the central database stores it. Texts are UTF-8 without NUL characters.
struct OutgoingExamination {
  std::string recordId;       // UUID, "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx"
  std::string shop, station;  // as set at the station
  std::string takenAtUtc;     // ISO 8601, "2026-12-07T09:05:03Z"
  std::string customerPhone;  // empty: none
  std::string customerId;     // empty: none
  std::string figuresJson;    // one JSON object with every figure of the visit
  std::vector<OutgoingFile> files;
};

// A customer's erasure the centre has still to do: every examination with this exact phone or
// ID (an empty one is not used), logged there with the station.
struct CentralErasureRequest {
  int64_t key = 0;
  std::string phone, customerId, station;
};

// The outbox. Every call comes from the sender's own thread, one at a time; an implementation
// over a database opens its own connection for it. A record is final once the server holds it
// (the server keeps the first version it received), so unsent() offers only records that will
// not change any more.
class ExaminationOutbox {
 public:
  virtual ~ExaminationOutbox() = default;
  // Up to `limit` records neither sent nor refused, oldest first. The same record may be offered
  // again after a failed attempt; sending it twice is harmless.
  virtual std::vector<OutgoingExamination> unsent(int limit) = 0;
  // The server committed the record with its files.
  virtual void markSent(const std::string& recordId) = 0;
  // The server (or the sender, for data it can never send) refused the record; `reason` is the
  // server's message. The record is kept and not offered again.
  virtual void markRefused(const std::string& recordId, const std::string& reason) = 0;
  // How many records unsent() would offer without a limit.
  virtual int unsentCount() = 0;
  // Erasures waiting for the centre, oldest first, and one the centre has done.
  virtual std::vector<CentralErasureRequest> centralErasures() { return {}; }
  virtual void centralErasureDone(int64_t /*key*/) {}
};
