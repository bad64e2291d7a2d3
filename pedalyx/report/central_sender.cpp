#include "pedalyx/report/central_sender.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <set>

#include "pedalyx/report/central_connection.h"
#include "pedalyx/report/central_history.h"
#include "platform/process.h"

namespace {

constexpr const char* kInsertExamination =
    "INSERT INTO examinations (record_id, shop, station, taken_at, customer_phone, customer_id, "
    "figures) VALUES ($1::uuid, $2, $3, $4::timestamptz, $5, $6, $7::jsonb) "
    "ON CONFLICT (record_id) DO NOTHING";
constexpr const char* kInsertFile =
    "INSERT INTO examination_files (record_id, name, sha256, bytes) "
    "VALUES ($1::uuid, $2, $3, $4::bytea) ON CONFLICT (record_id, name) DO NOTHING";

// Data the server will never take as it is: bad values, broken constraints, sizes past its
// limits. Anything else (connection, permissions, timeouts, a full disk) may pass later.
bool isRefusal(const std::string& sqlState) {
  const std::string group = sqlState.substr(0, 2);
  return group == "22" || group == "23" || group == "54";
}

// A bytea value holds less than 1 GB.
constexpr size_t kLargestFile = size_t(1) << 30;

// A NUL would end the text early at libpq, so the server would store a shorter one; two files of
// one name would keep only the first. Neither can ever arrive as it is.
std::string whyNeverSendable(const OutgoingExamination& record) {
  for (const std::string* text :
       {&record.recordId, &record.shop, &record.station, &record.takenAtUtc, &record.customerPhone,
        &record.customerId, &record.figuresJson})
    if (text->find('\0') != std::string::npos) return "a text holds a NUL character";
  std::set<std::string> names;
  for (const OutgoingFile& file : record.files) {
    if (file.name.find('\0') != std::string::npos || file.sha256.find('\0') != std::string::npos)
      return "a file name holds a NUL character";
    if (!names.insert(file.name).second) return "two files are named " + file.name;
    if (file.bytes.size() >= kLargestFile) return file.name + " is larger than the server takes";
  }
  return "";
}

}  // namespace

std::string centralStatusText(const CentralSendState& state) {
  if (!state.configured) return "";
  const std::string prefix = "中央資料庫：";
  std::string waiting;
  if (state.pending > 0) waiting = "待傳 " + std::to_string(state.pending) + " 筆";
  if (state.erasuresPending > 0)
    waiting += (waiting.empty() ? "" : "，") + std::string("待刪除 ") +
               std::to_string(state.erasuresPending) + " 位客戶";
  if (!state.connected && !state.lastError.empty())
    return prefix + "無法連線" + (waiting.empty() ? "" : "，" + waiting);
  return prefix + (waiting.empty() ? "已同步" : waiting);
}

SendOutcome sendExamination(CentralConnection& connection, const OutgoingExamination& record,
                            std::string* reason) {
  const std::string never = whyNeverSendable(record);
  if (!never.empty()) {
    if (reason) *reason = never;
    return SendOutcome::Refused;
  }
  std::vector<CentralStatement> statements;
  statements.push_back(
      {kInsertExamination,
       {CentralParameter::text(record.recordId), CentralParameter::text(record.shop),
        CentralParameter::text(record.station), CentralParameter::text(record.takenAtUtc),
        CentralParameter::textOrNull(record.customerPhone),
        CentralParameter::textOrNull(record.customerId),
        CentralParameter::text(record.figuresJson)}});
  for (const OutgoingFile& file : record.files)
    statements.push_back(
        {kInsertFile,
         {CentralParameter::text(record.recordId), CentralParameter::text(file.name),
          CentralParameter::text(file.sha256), CentralParameter::bytes(file.bytes)}});
  const CentralReply reply = connection.transaction(statements);
  if (reply.kind == CentralReply::Kind::Done) return SendOutcome::Sent;
  if (reason) *reason = reply.message;
  if (reply.kind == CentralReply::Kind::ServerError && isRefusal(reply.sqlState))
    return SendOutcome::Refused;
  return SendOutcome::Failed;
}

CentralSender::CentralSender(CentralConfig config, ExaminationOutbox& outbox,
                             CentralSenderOptions options)
    : config_(std::move(config)), outbox_(outbox), options_(options) {
  state_.configured = config_.configured();
  if (config_.status == CentralConfig::Status::Invalid)
    state_.lastError = std::string(kCentralDatabaseFileName) + ": " + config_.problem;
  if (config_.status == CentralConfig::Status::Ready) thread_ = std::thread([this] { run(); });
}

CentralSender::~CentralSender() { stop(); }

CentralSendState CentralSender::state() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_;
}

void CentralSender::wake() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
  }
  changed_.notify_all();
}

void CentralSender::stop() {
  stopping_ = true;
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void CentralSender::publish(const CentralSendState& state) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_ = state;
}

// Waits, ended early by stop() and, when `wakeEnds`, by wake(). False once stopping.
bool CentralSender::pauseFor(int milliseconds, bool wakeEnds) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                    [&] { return stopping_.load() || (wakeEnds && woken_); });
  if (wakeEnds) woken_ = false;
  return !stopping_;
}

bool CentralSender::eraseAtCentre(CentralConnection& connection, CentralSendState& state) {
  std::vector<CentralErasureRequest> requests = outbox_.centralErasures();
  state.erasuresPending = static_cast<int>(requests.size());
  for (const CentralErasureRequest& request : requests) {
    if (stopping_) break;
    const CentralErasure erased =
        eraseCentralCustomerOn(connection, request.phone, request.customerId, request.station);
    if (erased.answer == CentralAnswer::Unreachable) {
      state.lastError = erased.problem;
      return false;
    }
    if (erased.answer == CentralAnswer::Failed) {
      // Kept and asked again at the next look; the sending goes on meanwhile.
      state.lastRefusal = "erasure: " + erased.problem;
      continue;
    }
    outbox_.centralErasureDone(request.key);
    --state.erasuresPending;
    ++state.erased;
  }
  publish(state);
  return true;
}

void CentralSender::run() {
  platform::lowerThisThreadsPriority();
  CentralSendState state = this->state();
  std::unique_ptr<CentralConnection> connection;
  int pauseMs = options_.firstPauseMs;
  auto failed = [&](const std::string& why) {
    connection.reset();
    state.connected = false;
    state.lastError = why;
    publish(state);
    pauseFor(pauseMs, false);
    pauseMs = std::min(pauseMs * 2, options_.longestPauseMs);
  };
  auto storeFailed = [&](const std::string& why) {
    state.lastError = "the examination store: " + why;
    publish(state);
    pauseFor(pauseMs, false);
    pauseMs = std::min(pauseMs * 2, options_.longestPauseMs);
  };
  while (!stopping_) {
    // The store's own failures (a full disk, a locked file) must not end the station.
    try {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        woken_ = false;
      }
      state.pending = outbox_.unsentCount();
      publish(state);
      if (!connection || !connection->usable()) {
        std::string why;
        connection = CentralConnection::open(config_, options_.timeouts, &stopping_, &why);
        if (!connection) {
          failed(why);
          continue;
        }
        state.connected = true;
        state.lastError.clear();
        publish(state);
      }
      // Erasures first: a customer who asked to be forgotten goes before any backlog.
      if (!eraseAtCentre(*connection, state)) {
        failed(state.lastError);
        continue;
      }
      const std::vector<OutgoingExamination> batch =
          state.pending > 0 ? outbox_.unsent(options_.batch) : std::vector<OutgoingExamination>{};
      if (batch.empty()) {
        pauseMs = options_.firstPauseMs;
        state.lastError.clear();
        publish(state);
        pauseFor(options_.idleCheckMs, true);
        continue;
      }
      for (const OutgoingExamination& record : batch) {
        if (stopping_) break;
        std::string reason;
        const SendOutcome outcome = sendExamination(*connection, record, &reason);
        if (outcome == SendOutcome::Failed) {
          failed(reason);
          break;
        }
        if (outcome == SendOutcome::Sent) {
          outbox_.markSent(record.recordId);
          ++state.sent;
          state.lastError.clear();
          pauseMs = options_.firstPauseMs;
          if (options_.recordGapMs > 0) pauseFor(options_.recordGapMs, false);
        } else {
          outbox_.markRefused(record.recordId, reason);
          ++state.refused;
          state.lastRefusal = reason;
        }
        state.pending = std::max(0, state.pending - 1);
        publish(state);
      }
    } catch (const std::exception& error) {
      storeFailed(error.what());
    } catch (...) {
      storeFailed("an unknown error");
    }
  }
}
