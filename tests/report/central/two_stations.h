// Two stations of two shops, each a working directory with its shop's name, its examination
// store and a connection file for the test's server: a customer examined at each, the records
// sent, and the history's look-up as the window runs it.
#pragma once
#include <chrono>
#include <thread>

#include "pedalyx/report/central_sender.h"
#include "pedalyx/report/central_visits.h"
#include "pedalyx/report/history_lookup.h"
#include "pedalyx/report/history_text.h"
#include "pedalyx/report/store_outbox.h"
#include "platform/sha256.h"
#include "tests/report/central/memory_outbox.h"
#include "tests/report/store/store_fixture.h"

namespace report {

inline HistoryAnswer lookUp(const std::string& folder, const std::string& phone) {
  HistoryLookup lookup;
  lookup.request(folder, "", phone);
  std::optional<HistoryAnswer> last;
  central_test::waitUntil([&] {
    if (auto answer = lookup.take()) last = std::move(answer);
    return !lookup.busy() && last.has_value() && (last->filesChecked || !last->read);
  });
  return last.value_or(HistoryAnswer{});
}

class TwoStations : public StoreFolder {
 protected:
  // A station in `at` of the shop `shop` whose customer "0912" had an examination at `when`.
  void examine(const std::string& at, const std::string& shop, int64_t when, uint8_t fill) {
    const std::string saved = folder;
    folder = at;
    ASSERT_TRUE(writeStationIdentity(at, {shop, shop + " 1"}));
    auto store = openStore();
    ASSERT_TRUE(store);
    ExaminationSession session(store.get(), "", readStationIdentity(at));
    const std::string name = writeReportFiles("0912", platform::localTime(when), fill);
    ASSERT_TRUE(session.add(partOfExport(exportFiguresOf("0912", name, fill)), when).written);
    ASSERT_TRUE(session.nextCustomer().written);
    folder = saved;
  }
  void connect(const std::string& at, const std::string& login) {
    central_test::configFor(login);
    ASSERT_TRUE(platform::writeFileAtomic(
        platform::joinPath(at, kCentralDatabaseFileName),
        central_test::sharedTestPostgres().shopConnectionString(login) + "\n"));
  }
  void send(const std::string& at) {
    StoreOutbox outbox(at);
    CentralSenderOptions options;
    options.timeouts = {2000, 5000};
    options.firstPauseMs = 50;
    options.idleCheckMs = 50;
    CentralSender sender(readCentralConfig(at), outbox, options);
    ASSERT_TRUE(central_test::waitUntil([&] { return sender.state().pending == 0; }))
        << sender.state().lastError;
  }
  // The customer at both shops, each station with a login of its own, both records sent.
  void examineAtBothAndSend(const std::string& loginPrefix) {
    examine(folder, "台北一店", 1780000000, 30);
    examine(other, "台南店", 1780090000, 90);
    connect(folder, loginPrefix + "_taipei");
    connect(other, loginPrefix + "_tainan");
    send(folder);
    send(other);
  }
  void SetUp() override {
    StoreFolder::SetUp();
    other = folder + "-tainan";
    ASSERT_TRUE(platform::makeDirectory(other));
  }
  void TearDown() override {
    std::filesystem::remove_all(other);
    StoreFolder::TearDown();
  }
  std::string other;  // the second station's folder
};

}  // namespace report
