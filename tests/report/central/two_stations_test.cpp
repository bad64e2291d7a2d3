// Two shops' stations on one central database: each one's history lists the customer's visits
// of both shops once each, fetches the other shop's pressure picture with its checksum, and
// says the other shops' visits are missing while the centre is down.
#include "tests/report/central/two_stations.h"

namespace report {
namespace {

TEST_F(TwoStations, EachHistoryListsBothShopsAndFetchesTheOtherPicture) {
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
