// Two shops' stations on one central database: each one's history lists the customer's visits
// of both shops once each, fetches the other shop's pressure picture with its checksum, and
// says the other shops' visits are missing while the centre is down.
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
namespace {

HistoryAnswer lookUp(const std::string& folder, const std::string& phone) {
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
  void TearDown() override {
    std::filesystem::remove_all(other);
    StoreFolder::TearDown();
  }
  std::string other = folder + "-tainan";
};

TEST_F(TwoStations, EachHistoryListsBothShopsAndFetchesTheOtherPicture) {
  other = folder + "-tainan";
  ASSERT_TRUE(platform::makeDirectory(other));
  examine(folder, "台北一店", 1780000000, 30);
  examine(other, "台南店", 1780090000, 90);
  connect(folder, "two_taipei");
  connect(other, "two_tainan");
  send(folder);
  send(other);

  for (const std::string& at : {folder, other}) {
    const HistoryAnswer answer = lookUp(at, "0912");
    ASSERT_TRUE(answer.read) << answer.error;
    ASSERT_TRUE(answer.centralAsked);
    ASSERT_FALSE(answer.centralMissing) << answer.centralProblem;
    // The station's own visit, which the centre holds too, is listed once.
    ASSERT_EQ(answer.records.size(), 2u);
    EXPECT_EQ(answer.records[0].shop, "台南店");
    EXPECT_EQ(answer.records[1].shop, "台北一店");
    const size_t central = at == folder ? 0 : 1;
    EXPECT_EQ(answer.fromCentre, (std::vector<char>{central == 0, central == 1}));
    const ExaminationRecord& visit = answer.records[central];
    EXPECT_FALSE(visit.figures.empty());
    const ExaminationFile* picture = fileWithRole(visit, "pressure_png");
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->state, FileState::kIntact);
    const auto bytes = platform::readWholeFile(platform::joinPath(at, picture->path));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(platform::sha256Hex(*bytes), picture->sha256);
    EXPECT_EQ(picture->path.rfind(kCentralCacheFolder, 0), 0u) << picture->path;
  }

  central_test::sharedTestPostgres().stop();
  const HistoryAnswer offline = lookUp(folder, "0912");
  central_test::sharedTestPostgres().start();
  ASSERT_TRUE(offline.read);
  EXPECT_TRUE(offline.centralMissing);
  ASSERT_EQ(offline.records.size(), 1u);
  EXPECT_EQ(offline.records[0].shop, "台北一店");
  EXPECT_EQ(fileWithRole(offline.records[0], "pressure_png")->state, FileState::kIntact);
}

}  // namespace
}  // namespace report
