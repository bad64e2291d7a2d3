// An outbox in memory for the sender's tests, records made up for them, and the waits and
// checks the tests share.
#pragma once
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "pedalyx/report/central_database.h"
#include "pedalyx/report/central_outbox.h"
#include "tests/report/central/test_postgres.h"

namespace central_test {

class MemoryOutbox : public ExaminationOutbox {
 public:
  void add(OutgoingExamination record) {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.push_back(std::move(record));
  }
  // As if the store had lost its mark: the record is offered again.
  void forgetSent(const std::string& recordId) {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.erase(recordId);
  }
  std::vector<OutgoingExamination> unsent(int limit) override {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<OutgoingExamination> offered;
    for (const OutgoingExamination& record : records_)
      if (offered.size() < static_cast<size_t>(limit) && isUnsent(record.recordId))
        offered.push_back(record);
    return offered;
  }
  void markSent(const std::string& recordId) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++sent_[recordId];
  }
  void markRefused(const std::string& recordId, const std::string& reason) override {
    std::lock_guard<std::mutex> lock(mutex_);
    refused_[recordId] = reason;
  }
  int unsentCount() override {
    std::lock_guard<std::mutex> lock(mutex_);
    int count = 0;
    for (const OutgoingExamination& record : records_) count += isUnsent(record.recordId);
    return count;
  }
  std::map<std::string, std::string> refused() {
    std::lock_guard<std::mutex> lock(mutex_);
    return refused_;
  }
  int timesSent(const std::string& recordId) {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_.count(recordId) ? sent_[recordId] : 0;
  }

 private:
  bool isUnsent(const std::string& id) const { return !sent_.count(id) && !refused_.count(id); }
  std::mutex mutex_;
  std::vector<OutgoingExamination> records_;
  std::map<std::string, int> sent_;
  std::map<std::string, std::string> refused_;
};

inline std::string recordIdOf(int shop, int number) {
  char id[40];
  std::snprintf(id, sizeof id, "%08x-0000-4000-8000-%012x", shop, number);
  return id;
}

// The SHA-256 of the bytes, as the server computes it.
inline std::string sha256Of(const std::vector<unsigned char>& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : bytes) hex += std::string{digits[byte >> 4], digits[byte & 15]};
  return sharedTestPostgres().admin("SELECT encode(sha256(decode('" + hex + "', 'hex')), 'hex')");
}

inline OutgoingFile fileOf(const std::string& name, std::vector<unsigned char> bytes) {
  OutgoingFile file{name, sha256Of(bytes), std::move(bytes)};
  return file;
}

inline OutgoingExamination examinationOf(const std::string& recordId, const std::string& shop,
                                         const std::string& phone) {
  OutgoingExamination record;
  record.recordId = recordId;
  record.shop = shop;
  record.station = shop + "-1";
  record.takenAtUtc = "2026-12-07T09:05:03Z";
  record.customerPhone = phone;
  record.customerId = "ID-" + phone;
  record.figuresJson = "{\"left_length_mm\": 251.5}";
  return record;
}

inline CentralConfig configFor(const std::string& login) {
  TestPostgres& server = sharedTestPostgres();
  if (!server.running()) server.start();
  server.addShopLogin(login);
  return parseCentralConnectionString(server.shopConnectionString(login), nullptr);
}

inline bool waitUntil(const std::function<bool()>& done, int seconds = 60) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace central_test
