#include "pedalyx/report/history_lookup.h"

#include <chrono>

#include "pedalyx/report/central_visits.h"
#include "pedalyx/report/examination_reader.h"
#include "pedalyx/report/examination_session.h"

namespace report {
namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

void addCentralVisits(CentralReader& reader, const std::string& ownShop, HistoryAnswer& answer) {
  answer.centralConfigured = true;
  answer.centralAsked = true;
  const CentralVisits central = reader.visits(answer.phone, answer.id);
  answer.centralMissing = central.centralVisitsMissing();
  answer.centralProblem = central.problem;
  mergeCentralVisits(answer.records, answer.fromCentre,
                     answer.centralMissing ? std::vector<CentralVisit>{} : central.visits, ownShop);
}

void checkAnswerFiles(CentralReader* reader, const std::string& folder, HistoryAnswer& answer) {
  answer.fromCentre.resize(answer.records.size(), 0);
  std::vector<ExaminationRecord> own;
  for (size_t i = 0; i < answer.records.size(); ++i)
    if (!answer.fromCentre[i]) own.push_back(std::move(answer.records[i]));
  checkFiles(folder, own);
  bool reachable = reader != nullptr;
  for (size_t i = 0, next = 0; i < answer.records.size(); ++i) {
    if (!answer.fromCentre[i])
      answer.records[i] = std::move(own[next++]);
    else if (reachable)
      reachable = fetchCentralPicture(*reader, folder, answer.records[i]);
  }
}

HistoryLookup::~HistoryLookup() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void HistoryLookup::request(const std::string& folder, const std::string& id,
                            const std::string& phone) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    next_ = Request{folder, id, phone, ++newest_};
    answer_.reset();
    answeredWhole_ = false;
  }
  changed_.notify_all();
  if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
}

std::optional<HistoryAnswer> HistoryLookup::take() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::optional<HistoryAnswer> answer;
  answer.swap(answer_);
  return answer;
}

bool HistoryLookup::busy() {
  std::lock_guard<std::mutex> lock(mutex_);
  return !answeredWhole_;
}

void HistoryLookup::publish(unsigned number, const HistoryAnswer& answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (number != newest_) return;  // a newer request is waiting: this answer is out of date
  answer_ = answer;
  if (answer.filesChecked || !answer.read) answeredWhole_ = true;
}

void HistoryLookup::run() {
  for (;;) {
    Request request;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return stopping_ || next_.has_value(); });
      if (stopping_) return;
      request = *next_;
      next_.reset();
    }
    HistoryAnswer answer;
    answer.id = request.id;
    answer.phone = request.phone;
    const auto start = std::chrono::steady_clock::now();
    auto reader = ExaminationReader::open(request.folder, answer.error);
    answer.read = reader &&
                  reader->findCustomer(request.id, request.phone, answer.records, answer.error) &&
                  reader->importProblems(answer.problems, answer.error);
    answer.lookupMilliseconds = millisecondsSince(start);
    if (!answer.read) {
      publish(request.number, answer);
      continue;
    }
    const CentralConfig config = readCentralConfig(request.folder);
    if (config.configured()) {
      answer.centralConfigured = true;
      publish(request.number, answer);
      if (config.status != CentralConfig::Status::Ready) {
        answer.centralAsked = answer.centralMissing = true;
        answer.centralProblem = config.problem;
        answer.fromCentre.assign(answer.records.size(), 0);
      } else {
        if (!central_ || centralDescription_ != config.describe()) {
          central_ = std::make_unique<CentralReader>(config);
          centralDescription_ = config.describe();
        }
        addCentralVisits(*central_, readStationIdentity(request.folder).shop, answer);
      }
    }
    publish(request.number, answer);
    const auto checking = std::chrono::steady_clock::now();
    checkAnswerFiles(config.status == CentralConfig::Status::Ready ? central_.get() : nullptr,
                     request.folder, answer);
    answer.filesChecked = true;
    answer.checkMilliseconds = millisecondsSince(checking);
    publish(request.number, answer);
  }
}

}  // namespace report
