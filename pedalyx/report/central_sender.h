// Sends the outbox's examinations to the central database on a thread of its own: each record
// with its files in one transaction, marked sent only after the commit; retries with growing
// pauses while the server cannot be reached. The user-interface thread reads state().
#pragma once
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "pedalyx/report/central_database.h"
#include "pedalyx/report/central_outbox.h"

struct CentralSendState {
  bool configured = false;
  bool connected = false;   // the last attempt reached the server
  int pending = -1;         // records not yet sent, as last counted; -1 before the first count
  int sent = 0;             // by this sender
  int refused = 0;          // by this sender
  std::string lastError;    // why the server cannot be reached; empty once it could
  std::string lastRefusal;  // the server's reason for the last refused record
  int erasuresPending = 0;  // customers' erasures the centre has still to do
  int erased = 0;           // erasures done by this sender
};

// The line the station shows: "中央資料庫：已同步", "中央資料庫：待傳 N 筆" or
// "中央資料庫：無法連線" (with the pending records after it), and "待刪除 N 位客戶" while
// erasures wait; empty when not configured.
std::string centralStatusText(const CentralSendState& state);

struct CentralSenderOptions {
  CentralTimeouts timeouts;
  int firstPauseMs = 1000;  // after a failure; doubles up to longestPauseMs, reset by a send
  int longestPauseMs = 60000;
  int idleCheckMs = 30000;  // how often the outbox is looked at when nothing calls wake()
  int batch = 20;           // records taken from the outbox at a time
  // After each record sent: a backlog is sent in the gaps of the station's own work instead of
  // in one burst that takes the cores from the pressure view (1 000 records: some 10 s more).
  int recordGapMs = 10;
};

enum class SendOutcome { Sent, Refused, Failed };

class CentralConnection;

// Sends one record in one transaction. Refused (with the reason) when the server rejects its
// data (SQLSTATE classes 22, 23, 54) or when it can never be stored as it is; Failed when the
// connection failed or the server could not take it now.
SendOutcome sendExamination(CentralConnection& connection, const OutgoingExamination& record,
                            std::string* reason);

class CentralSender {
 public:
  // Starts the thread when `config` is Ready; otherwise the state says why nothing is sent.
  // The outbox is used only from that thread and must outlive the sender.
  CentralSender(CentralConfig config, ExaminationOutbox& outbox, CentralSenderOptions options = {});
  // stop()
  ~CentralSender();
  CentralSender(const CentralSender&) = delete;
  CentralSender& operator=(const CentralSender&) = delete;

  // A copy of the state; cheap, from any thread.
  CentralSendState state() const;
  // A record was added to the outbox: look at it now rather than at the next idle check. Does
  // not shorten a pause after a failure.
  void wake();
  // Ends the thread within about a tenth of a second; a record on its way is sent again by the
  // next sender (the server keeps it once).
  void stop();

 private:
  void run();
  // Does the erasures waiting in the outbox; false when the connection failed meanwhile.
  bool eraseAtCentre(CentralConnection& connection, CentralSendState& state);
  bool pauseFor(int milliseconds, bool wakeEnds);
  void publish(const CentralSendState& state);

  CentralConfig config_;
  ExaminationOutbox& outbox_;
  CentralSenderOptions options_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  CentralSendState state_;
  bool woken_ = false;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};
