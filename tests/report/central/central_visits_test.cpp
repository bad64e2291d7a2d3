// Another shop's visit read back from what its station sent, whatever that holds, and merged
// with this station's visits once each.
#include "pedalyx/report/central_visits.h"

#include <gtest/gtest.h>

namespace report {
namespace {

CentralVisit visitOf(const std::string& recordId, const std::string& json) {
  CentralVisit visit;
  visit.recordId = recordId;
  visit.shop = "台南店";
  visit.takenAtUtc = "2026-12-07T09:05:03Z";
  visit.customerPhone = "0912";
  visit.figuresJson = json;
  return visit;
}

TEST(CentralVisits, ReadsTheSentRecordAndMergesOnceByUuidWhateverTheJsonHolds) {
  CentralVisit sent = visitOf("b", R"({"local_time": "2026-12-07 17:05:03", "figures": [
      {"group": "size", "name": "length", "side": "left", "value": 251.5, "unit": "mm"},
      "not an object", {"group": "type", "name": "foot", "side": "left", "text": "扁平足"}],
    "files": [{"path": "FOOT_PRESSURE/0912_202612071705.png", "role": "pressure_png",
               "sha256": "aa", "bytes": 10},
              {"path": "../../etc/passwd", "role": "report_pdf", "sha256": "bb", "bytes": 5}]})");
  sent.files = {{"FOOT_PRESSURE/0912_202612071705.png", "aa", 10}};
  const ExaminationRecord r = recordOfCentralVisit(sent);
  EXPECT_EQ(r.takenAt, 1796634303);
  EXPECT_EQ(r.localTime, "2026-12-07 17:05:03");
  ASSERT_EQ(r.figures.size(), 2u);
  EXPECT_EQ(r.figures[0].value, 251.5);
  EXPECT_EQ(r.figures[1].text, "扁平足");
  ASSERT_EQ(r.files.size(), 2u);
  EXPECT_EQ(r.files[0].state, FileState::kUnchecked) << "the centre holds it";
  EXPECT_EQ(r.files[1].state, FileState::kMissing) << "the centre does not";

  // JSON that is none, or not the station's, leaves a visit of its head alone.
  for (const char* json : {"{\"figures\": 3, \"files\": {}}", "not json", "[1, 2]", ""}) {
    const ExaminationRecord odd = recordOfCentralVisit(visitOf("c", json));
    EXPECT_TRUE(odd.figures.empty() && odd.files.empty()) << json;
    EXPECT_EQ(odd.shop, "台南店");
    EXPECT_FALSE(odd.localTime.empty());
  }

  // This station's record "a", which the centre holds too, is listed once, under this shop.
  std::vector<ExaminationRecord> records(1);
  records[0].recordId = "a";
  records[0].takenAt = 1796000000;
  std::vector<char> fromCentre;
  mergeCentralVisits(records, fromCentre, {sent, visitOf("a", "{}")}, "台北一店");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].recordId, "b");
  EXPECT_EQ(records[1].shop, "台北一店");
  EXPECT_EQ(fromCentre, (std::vector<char>{1, 0}));
}

}  // namespace
}  // namespace report
