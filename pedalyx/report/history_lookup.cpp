#include "pedalyx/report/history_lookup.h"

#include <chrono>

#include "pedalyx/report/examination_reader.h"

namespace report {
namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

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
    publish(request.number, answer);
    if (!answer.read) continue;
    const auto checking = std::chrono::steady_clock::now();
    checkFiles(request.folder, answer.records);
    answer.filesChecked = true;
    answer.checkMilliseconds = millisecondsSince(checking);
    publish(request.number, answer);
  }
}

}  // namespace report
