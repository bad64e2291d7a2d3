#include "pedalyx/report/central_history.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>

#include "pedalyx/report/central_connection.h"

namespace {

constexpr const char* kVisitsOfCustomer =
    "SELECT record_id::text, shop, station, "
    "to_char(taken_at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"'), "
    "coalesce(customer_phone, ''), coalesce(customer_id, ''), figures::text "
    "FROM examinations WHERE customer_phone = $1 OR customer_id = $2 "
    "ORDER BY taken_at DESC, record_id LIMIT $3";
constexpr const char* kFilesOfCustomer =
    "SELECT f.record_id::text, f.name, f.sha256, octet_length(f.bytes) "
    "FROM examination_files f JOIN examinations e USING (record_id) "
    "WHERE e.customer_phone = $1 OR e.customer_id = $2 ORDER BY f.record_id, f.name";
constexpr const char* kOneFile =
    "SELECT bytes, sha256, encode(sha256(bytes), 'hex') = sha256 FROM examination_files "
    "WHERE record_id = $1::uuid AND name = $2";
constexpr const char* kErase =
    "SELECT erased_examinations, erased_files FROM pedalyx_erase_customer($1, $2, $3)";

// A count or size from the server, refused unless it is a whole number in [0, limit].
std::optional<int64_t> countFrom(const std::string& text, int64_t limit) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || value < 0 || value > limit) return std::nullopt;
  return value;
}

// False (with `answer` and `problem` filled) unless the reply is Done.
template <typename Result>
bool answered(const CentralReply& reply, Result& result) {
  if (reply.kind == CentralReply::Kind::Done) {
    result.answer = CentralAnswer::Answered;
    return true;
  }
  result.answer =
      reply.kind == CentralReply::Kind::Lost ? CentralAnswer::Unreachable : CentralAnswer::Failed;
  result.problem = reply.message;
  return false;
}

CentralVisits visitsOn(CentralConnection& connection, const std::string& phone,
                       const std::string& customerId) {
  CentralVisits result;
  if (phone.empty() && customerId.empty()) {
    result.answer = CentralAnswer::Answered;
    return result;
  }
  const std::string limit = std::to_string(kCentralVisitLimit + 1);
  const std::vector<CentralReply> replies = connection.executeAll(
      {{kVisitsOfCustomer,
        {CentralParameter::textOrNull(phone), CentralParameter::textOrNull(customerId),
         CentralParameter::text(limit)}},
       {kFilesOfCustomer,
        {CentralParameter::textOrNull(phone), CentralParameter::textOrNull(customerId)}}});
  if (!answered(replies[0], result) || !answered(replies[1], result)) return result;

  const CentralReply& visits = replies[0];
  std::map<std::string, size_t> visitOfRecord;
  for (int row = 0; row < visits.rowCount(); ++row) {
    if (row == kCentralVisitLimit) {
      result.truncated = true;
      break;
    }
    CentralVisit visit{
        visits.text(row, 0), visits.text(row, 1), visits.text(row, 2), visits.text(row, 3),
        visits.text(row, 4), visits.text(row, 5), visits.text(row, 6), {}};
    visitOfRecord[visit.recordId] = result.visits.size();
    result.visits.push_back(std::move(visit));
  }
  const CentralReply& files = replies[1];
  for (int row = 0; row < files.rowCount(); ++row) {
    const auto visit = visitOfRecord.find(files.text(row, 0));
    const auto size = countFrom(files.text(row, 3), INT64_MAX);
    if (visit == visitOfRecord.end() || !size) continue;
    result.visits[visit->second].files.push_back({files.text(row, 1), files.text(row, 2), *size});
  }
  return result;
}

CentralFile fileOn(CentralConnection& connection, const std::string& recordId,
                   const std::string& name) {
  CentralFile result;
  CentralStatement statement{
      kOneFile, {CentralParameter::text(recordId), CentralParameter::text(name)}, true};
  const CentralReply reply = connection.execute(statement);
  if (!answered(reply, result) || reply.rowCount() == 0) return result;
  result.found = true;
  const std::string bytes = reply.text(0, 0);
  result.bytes.assign(bytes.begin(), bytes.end());
  result.sha256 = reply.text(0, 1);
  const std::string matches = reply.text(0, 2);  // a binary boolean: one byte, 0 or 1
  result.checksumMatches = matches.size() == 1 && matches[0] == 1;
  return result;
}

}  // namespace

CentralErasure eraseCentralCustomerOn(CentralConnection& connection, const std::string& phone,
                                      const std::string& customerId, const std::string& station) {
  CentralErasure result;
  const CentralReply reply =
      connection.execute({kErase,
                          {CentralParameter::text(phone), CentralParameter::text(customerId),
                           CentralParameter::text(station)}});
  if (!answered(reply, result)) return result;
  const bool one = reply.rowCount() == 1;
  const auto examinations = one ? countFrom(reply.text(0, 0), INT32_MAX) : std::nullopt;
  const auto files = one ? countFrom(reply.text(0, 1), INT32_MAX) : std::nullopt;
  if (!examinations || !files) {
    result.answer = CentralAnswer::Failed;
    result.problem = "the erasure's answer cannot be read";
    return result;
  }
  result.examinations = static_cast<int>(*examinations);
  result.files = static_cast<int>(*files);
  return result;
}

CentralReader::CentralReader(CentralConfig config, CentralTimeouts timeouts)
    : config_(std::move(config)), timeouts_(timeouts) {}

CentralReader::~CentralReader() = default;

template <typename Result, typename Ask>
Result CentralReader::ask(bool again, Ask question) {
  Result result;
  if (!config_.configured()) {
    result.answer = CentralAnswer::NotConfigured;
    return result;
  }
  // A kept connection may have died while idle; only a fresh one's failure is the answer.
  for (;;) {
    const bool fresh = !connection_;
    if (fresh) {
      std::string problem;
      connection_ = CentralConnection::open(config_, timeouts_, nullptr, &problem);
      if (!connection_) {
        result.answer = CentralAnswer::Unreachable;
        result.problem = problem;
        return result;
      }
    }
    result = question(*connection_);
    if (connection_->usable()) return result;
    connection_.reset();
    if (fresh || !again) return result;
  }
}

CentralVisits CentralReader::visits(const std::string& phone, const std::string& customerId) {
  return ask<CentralVisits>(
      true, [&](CentralConnection& connection) { return visitsOn(connection, phone, customerId); });
}

CentralFile CentralReader::file(const std::string& recordId, const std::string& name) {
  return ask<CentralFile>(
      true, [&](CentralConnection& connection) { return fileOn(connection, recordId, name); });
}

CentralErasure CentralReader::erase(const std::string& phone, const std::string& customerId,
                                    const std::string& station) {
  return ask<CentralErasure>(false, [&](CentralConnection& connection) {
    return eraseCentralCustomerOn(connection, phone, customerId, station);
  });
}

CentralVisits lookUpCentralVisits(const CentralConfig& config, const std::string& phone,
                                  const std::string& customerId, const CentralTimeouts& timeouts) {
  return CentralReader(config, timeouts).visits(phone, customerId);
}

CentralFile fetchCentralFile(const CentralConfig& config, const std::string& recordId,
                             const std::string& name, const CentralTimeouts& timeouts) {
  return CentralReader(config, timeouts).file(recordId, name);
}

CentralErasure eraseCentralCustomer(const CentralConfig& config, const std::string& phone,
                                    const std::string& customerId, const std::string& station,
                                    const CentralTimeouts& timeouts) {
  return CentralReader(config, timeouts).erase(phone, customerId, station);
}
