// The examination in progress and the store it goes to: what the export, "Save", sway and
// walking callbacks call after they have written the station's own files (CSV row first,
// then the store). The files never depend on the store: when it cannot be written they are
// on disk all the same and the StoreWrite tells the operator why the record is not.
//
// Which record a part belongs to: the session keeps the UUID of the open record. A part
// completes it unless the next customer was called (nextCustomer), the part names another
// customer (an ID or phone that differs from the record's, both given) or the record's last
// part is an hour old (the history's visit window); otherwise the open record is closed and
// the part opens a new one. A closed record never changes again: it is what the central
// database receives.
#pragma once
#include <cstdint>
#include <set>
#include <string>

#include "pedalyx/report/examination_store.h"

namespace report {

// The shop and station names the records carry, from "station_identity.txt" in the working
// directory: lines "shop <name>" and "station <name>". Without a station name the computer's
// host name stands.
constexpr const char* kStationIdentityFile = "station_identity.txt";
struct StationIdentity {
  std::string shop, station;
};
StationIdentity readStationIdentity(const std::string& folder);
// Writes the file whole; a line break in a name becomes a space (a name is one line).
bool writeStationIdentity(const std::string& folder, const StationIdentity& identity);

class ExaminationSession {
 public:
  // `store` may be null (it could not be opened: `storeError` says why); it must outlive the
  // session.
  ExaminationSession(ExaminationStore* store, const std::string& storeError,
                     const StationIdentity& identity);

  // Adds a part of the current examination at calendar second `when`: completes the open
  // record or opens a new one (see above). The insole files the insole tool has written for
  // the record's report meanwhile are taken with it.
  StoreWrite add(const ExaminationPart& part, int64_t when);

  // The examination is over (the next customer): the insole files written since the last
  // part are added to the open record, which is then closed.
  StoreWrite nextCustomer();

  // The shop and station names of the records opened from now on.
  void setIdentity(const StationIdentity& identity) { identity_ = identity; }
  const StationIdentity& identity() const { return identity_; }

  const std::string& openRecordId() const { return recordId_; }

 private:
  bool sameCustomer(const CustomerData& customer) const;
  StoreWrite closeRecord();

  ExaminationStore* store_;
  std::string storeError_;
  StationIdentity identity_;
  std::string recordId_, reportName_;
  std::string customerId_, phone_;      // of the open record, as given so far
  std::set<std::string> insolesTaken_;  // insole files the open record holds
  int64_t lastPartAt_ = 0;              // calendar seconds of the open record's last part
};

// The operator's message when a record could not be written, in Traditional or Simplified
// characters; "" when it was.
std::string describeStoreFailure(const StoreWrite& write, bool simplified = false);

}  // namespace report
