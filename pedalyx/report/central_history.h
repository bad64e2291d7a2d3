// A customer's visits from every shop, one file of a visit, and a customer's erasure, asked of
// the central database. Every call waits at most the timeouts, so it belongs on a worker
// thread, never on the user-interface thread. A server that cannot be reached is an answer
// (Unreachable), not an exception. The free functions open a connection each (the login costs
// tens of milliseconds); a CentralReader keeps one for a history window's several questions.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pedalyx/report/central_database.h"

enum class CentralAnswer {
  Answered,
  NotConfigured,  // no central database: nothing is missing
  Unreachable,    // no connection within the timeouts
  Failed,         // the server answered with an error (`problem`)
};

struct CentralFileEntry {
  std::string name, sha256;
  int64_t size = 0;  // bytes
};

struct CentralVisit {
  std::string recordId, shop, station;
  std::string takenAtUtc;  // "2026-12-07T09:05:03Z"
  std::string customerPhone, customerId;
  std::string figuresJson;
  std::vector<CentralFileEntry> files;  // by name
};

// At most this many visits of one customer, newest first.
constexpr int kCentralVisitLimit = 1000;

struct CentralVisits {
  CentralAnswer answer = CentralAnswer::NotConfigured;
  std::string problem;
  std::vector<CentralVisit> visits;  // newest first
  bool truncated = false;            // the customer has more than kCentralVisitLimit visits
  // A central database is configured but its visits are not in `visits`: the history must say
  // that the visits of other shops are missing.
  bool centralVisitsMissing() const {
    return answer == CentralAnswer::Unreachable || answer == CentralAnswer::Failed;
  }
};

// The visits whose phone equals `phone` or whose ID equals `customerId`, exactly as typed; an
// empty one is not looked for.
CentralVisits lookUpCentralVisits(const CentralConfig& config, const std::string& phone,
                                  const std::string& customerId,
                                  const CentralTimeouts& timeouts = {});

struct CentralFile {
  CentralAnswer answer = CentralAnswer::NotConfigured;
  std::string problem;
  bool found = false;
  bool checksumMatches = false;  // the bytes' SHA-256, computed by the server, is the stored one
  std::string sha256;
  std::vector<unsigned char> bytes;
};

CentralFile fetchCentralFile(const CentralConfig& config, const std::string& recordId,
                             const std::string& name, const CentralTimeouts& timeouts = {});

struct CentralErasure {
  CentralAnswer answer = CentralAnswer::NotConfigured;
  std::string problem;
  int examinations = 0, files = 0;  // erased
};

class CentralConnection;

// One connection kept for the questions below, opened at the first and opened again when it
// was lost (a read is then asked once more; an erasure is not). Used by one thread at a time.
class CentralReader {
 public:
  explicit CentralReader(CentralConfig config, CentralTimeouts timeouts = {});
  ~CentralReader();
  CentralReader(const CentralReader&) = delete;
  CentralReader& operator=(const CentralReader&) = delete;

  CentralVisits visits(const std::string& phone, const std::string& customerId);
  CentralFile file(const std::string& recordId, const std::string& name);
  CentralErasure erase(const std::string& phone, const std::string& customerId,
                       const std::string& station);

 private:
  template <typename Result, typename Ask>
  Result ask(bool again, Ask question);

  CentralConfig config_;
  CentralTimeouts timeouts_;
  std::unique_ptr<CentralConnection> connection_;
};

// Erases at the centre every examination of the customer with this exact phone or ID (an empty
// one is not used) through the schema's erasure function, which logs it with `station`.
// The same on an open connection (the sender's).
CentralErasure eraseCentralCustomerOn(CentralConnection& connection, const std::string& phone,
                                      const std::string& customerId, const std::string& station);

CentralErasure eraseCentralCustomer(const CentralConfig& config, const std::string& phone,
                                    const std::string& customerId, const std::string& station,
                                    const CentralTimeouts& timeouts = {});
