// Two shops' stations on one central database: each one's history lists the customer's visits
// of both shops once each, fetches the other shop's pressure picture with its checksum, and
// says the other shops' visits are missing while the centre is down.
#include "tests/report/central/two_stations.h"

namespace report {
namespace {

TEST_F(TwoStations, EachHistoryListsBothShopsAndFetchesTheOtherPicture) {
  examineAtBothAndSend("two");

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

// An erasure asked for while the centre is down waits in the store and is done by the sender
// once the server is back: the customer's visits of every shop go, the request is forgotten.
TEST_F(TwoStations, AnErasureAskedOfflineReachesTheCentreWhenItIsBack) {
  examineAtBothAndSend("erase");
  central_test::TestPostgres& server = central_test::sharedTestPostgres();
  server.stop();
  {
    auto store = openStore();
    std::string error;
    ASSERT_TRUE(store->queueCentralErasure({0, "0912", "", "台北一店 1"}, error)) << error;
  }
  StoreOutbox outbox(folder);
  CentralSenderOptions options;
  options.timeouts = {2000, 5000};
  options.firstPauseMs = 50;
  options.longestPauseMs = 100;
  options.idleCheckMs = 50;
  CentralSender sender(readCentralConfig(folder), outbox, options);
  ASSERT_TRUE(central_test::waitUntil([&] { return !sender.state().lastError.empty(); }));
  EXPECT_EQ(centralStatusText(sender.state()), "中央資料庫：無法連線");
  server.start();
  ASSERT_TRUE(central_test::waitUntil([&] { return sender.state().erased == 1; }))
      << sender.state().lastError << sender.state().lastRefusal;
  EXPECT_EQ(sender.state().erasuresPending, 0);
  EXPECT_EQ(centralStatusText(sender.state()), "中央資料庫：已同步");
  EXPECT_EQ(server.admin("SELECT count(*) FROM examinations WHERE customer_phone = '0912'"), "0");
  EXPECT_EQ(server.admin("SELECT station FROM erasure_log ORDER BY erased_at DESC LIMIT 1"),
            "台北一店 1");
  sender.stop();
  EXPECT_TRUE(openStore()->centralErasures().empty());
}

}  // namespace
}  // namespace report
