#include "pedalyx/report/central_connection.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// Slices of every wait, so that an abort is seen within this many milliseconds.
constexpr int kAbortCheckMs = 100;

enum class Wait { Ready, TimedOut, Aborted, Failed };

// Waits until the socket is ready for `events` (POLLIN, POLLOUT) or the deadline passes.
Wait waitForSocket(int socket, short events, Clock::time_point deadline,
                   const std::atomic<bool>* abort) {
  if (socket < 0) return Wait::Failed;
  for (;;) {
    if (abort && abort->load()) return Wait::Aborted;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return Wait::TimedOut;
    pollfd descriptor{socket, events, 0};
    const int ready =
        poll(&descriptor, 1, static_cast<int>(std::min<long long>(left, kAbortCheckMs)));
    if (ready > 0) return Wait::Ready;  // an error or hang-up too: libpq reports it
    if (ready < 0 && errno != EINTR) return Wait::Failed;
  }
}

std::string waitProblem(Wait wait, int timeoutMs) {
  switch (wait) {
    case Wait::TimedOut:
      return "no answer within " + std::to_string(timeoutMs / 1000.0).substr(0, 4) + " s";
    case Wait::Aborted:
      return "stopped";
    default:
      return "the connection failed";
  }
}

std::string trimmed(const char* message) {
  std::string text = message ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

CentralReply lost(std::string message) {
  CentralReply reply;
  reply.kind = CentralReply::Kind::Lost;
  reply.message = std::move(message);
  return reply;
}

}  // namespace

std::unique_ptr<CentralConnection> CentralConnection::open(const CentralConfig& config,
                                                           const CentralTimeouts& timeouts,
                                                           const std::atomic<bool>* abort,
                                                           std::string* error) {
  if (config.status != CentralConfig::Status::Ready) {
    if (error) *error = config.configured() ? config.problem : "not configured";
    return nullptr;
  }
  // Ours first, so the file may change them; the encoding last, so it may not.
  const std::string connectSeconds = std::to_string(std::max(1, timeouts.connectMs / 1000));
  std::vector<const char*> keywords{"application_name", "connect_timeout"};
  std::vector<const char*> values{"pedalyx-station", connectSeconds.c_str()};
  for (const auto& [keyword, value] : config.parameters) {
    keywords.push_back(keyword.c_str());
    values.push_back(value.c_str());
  }
  keywords.push_back("client_encoding");
  values.push_back("UTF8");
  keywords.push_back(nullptr);
  values.push_back(nullptr);

  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeouts.connectMs);
  PGconn* connection = PQconnectStartParams(keywords.data(), values.data(), 0);
  if (!connection) {
    if (error) *error = "out of memory";
    return nullptr;
  }
  PostgresPollingStatusType polling =
      PQstatus(connection) == CONNECTION_BAD ? PGRES_POLLING_FAILED : PGRES_POLLING_WRITING;
  while (polling != PGRES_POLLING_OK && polling != PGRES_POLLING_FAILED) {
    const Wait wait = waitForSocket(
        PQsocket(connection), polling == PGRES_POLLING_READING ? POLLIN : POLLOUT, deadline, abort);
    if (wait != Wait::Ready) {
      if (error) *error = waitProblem(wait, timeouts.connectMs);
      PQfinish(connection);
      return nullptr;
    }
    polling = PQconnectPoll(connection);
  }
  if (polling == PGRES_POLLING_FAILED || PQsetnonblocking(connection, 1) != 0) {
    if (error) *error = trimmed(PQerrorMessage(connection));
    PQfinish(connection);
    return nullptr;
  }
  // The server's notices ("terminating connection…") would go to standard error one by one;
  // what matters reaches the caller as an error.
  PQsetNoticeProcessor(
      connection, [](void*, const char*) {}, nullptr);
  std::unique_ptr<CentralConnection> opened(new CentralConnection(connection, timeouts, abort));
  const std::string statementMs = std::to_string(timeouts.statementMs);
  const CentralReply session = opened->execute(
      {"SELECT set_config('statement_timeout', $1, false), set_config('TimeZone', 'UTC', false)",
       {CentralParameter::text(statementMs)}});
  if (session.kind != CentralReply::Kind::Done) {
    if (error) *error = session.message;
    return nullptr;
  }
  return opened;
}

CentralConnection::CentralConnection(PGconn* connection, const CentralTimeouts& timeouts,
                                     const std::atomic<bool>* abort)
    : connection_(connection), timeouts_(timeouts), abort_(abort) {}

CentralConnection::~CentralConnection() { PQfinish(connection_); }

CentralReply CentralConnection::execute(const CentralStatement& statement) {
  return runPipeline({statement}).front();
}

std::vector<CentralReply> CentralConnection::executeAll(
    const std::vector<CentralStatement>& statements) {
  return runPipeline(statements);
}

CentralReply CentralConnection::transaction(const std::vector<CentralStatement>& statements) {
  std::vector<CentralStatement> all;
  all.reserve(statements.size() + 2);
  all.push_back({"BEGIN", {}});
  all.insert(all.end(), statements.begin(), statements.end());
  all.push_back({"COMMIT", {}});
  const std::vector<CentralReply> replies = runPipeline(all);
  for (const CentralReply& reply : replies)
    if (reply.kind != CentralReply::Kind::Done) return reply;
  return replies.back();
}

std::vector<CentralReply> CentralConnection::runPipeline(
    const std::vector<CentralStatement>& statements) {
  const size_t count = statements.size();
  auto allLost = [&](const std::string& message) {
    usable_ = false;
    return std::vector<CentralReply>(count, lost(message));
  };
  if (!usable_) return allLost("the connection failed earlier");
  const int timeoutMs = timeouts_.statementMs + 5000;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  if (PQenterPipelineMode(connection_) != 1) return allLost(trimmed(PQerrorMessage(connection_)));

  for (const CentralStatement& statement : statements) {
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (const CentralParameter& parameter : statement.parameters) {
      values.push_back(parameter.data);
      lengths.push_back(parameter.size);
      formats.push_back(parameter.binary ? 1 : 0);
    }
    if (PQsendQueryParams(connection_, statement.sql.c_str(), static_cast<int>(values.size()),
                          nullptr, values.data(), lengths.data(), formats.data(),
                          statement.binaryResults ? 1 : 0) != 1)
      return allLost(trimmed(PQerrorMessage(connection_)));
  }
  if (PQpipelineSync(connection_) != 1) return allLost(trimmed(PQerrorMessage(connection_)));
  // Send everything, reading while we write so that neither side's buffer fills up for good.
  for (int flushing; (flushing = PQflush(connection_)) != 0;) {
    if (flushing < 0) return allLost(trimmed(PQerrorMessage(connection_)));
    const Wait wait = waitForSocket(PQsocket(connection_), POLLIN | POLLOUT, deadline, abort_);
    if (wait != Wait::Ready) return allLost(waitProblem(wait, timeoutMs));
    if (PQconsumeInput(connection_) != 1) return allLost(trimmed(PQerrorMessage(connection_)));
  }

  // The next result, waiting for it; `failed` says whether a null is a failure.
  std::string failure;
  auto nextResult = [&]() -> PGresult* {
    while (PQisBusy(connection_)) {
      const Wait wait = waitForSocket(PQsocket(connection_), POLLIN, deadline, abort_);
      if (wait != Wait::Ready) {
        failure = waitProblem(wait, timeoutMs);
        return nullptr;
      }
      if (PQconsumeInput(connection_) != 1) {
        failure = trimmed(PQerrorMessage(connection_));
        return nullptr;
      }
    }
    return PQgetResult(connection_);
  };

  std::vector<CentralReply> replies(count);
  for (size_t i = 0; i < count; ++i) {
    PGresult* result = nextResult();
    if (!result) return allLost(failure.empty() ? trimmed(PQerrorMessage(connection_)) : failure);
    CentralReply& reply = replies[i];
    reply.rows.reset(result, PQclear);
    switch (PQresultStatus(result)) {
      case PGRES_COMMAND_OK:
      case PGRES_TUPLES_OK:
        reply.kind = CentralReply::Kind::Done;
        break;
      case PGRES_PIPELINE_ABORTED:
        reply.kind = CentralReply::Kind::ServerError;
        reply.message = "not run after an earlier error";
        break;
      default: {
        const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        reply.kind = state ? CentralReply::Kind::ServerError : CentralReply::Kind::Lost;
        reply.sqlState = state ? state : "";
        // The primary message only: the detail may quote a whole row, files and all.
        const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
        reply.message = trimmed(primary ? primary : PQresultErrorMessage(result));
        if (!state) return allLost(reply.message);
      }
    }
    // Each statement's results end with a null.
    if (PGresult* extra = nextResult()) {
      PQclear(extra);
      return allLost("unexpected result from the server");
    }
    if (!failure.empty()) return allLost(failure);
  }
  PGresult* sync = nextResult();
  const bool synced = sync && PQresultStatus(sync) == PGRES_PIPELINE_SYNC;
  PQclear(sync);
  if (!synced || PQexitPipelineMode(connection_) != 1)
    return allLost(failure.empty() ? "the server did not end the exchange" : failure);
  if (PQstatus(connection_) != CONNECTION_OK) usable_ = false;
  return replies;
}
