#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/synthetic_plate.h"
#include "pedalyx/imaging/colour_table.h"
#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/report/insole_handoff.h"
#include "pedalyx/report/pressure_reanalysis.h"
#include "pedalyx/report/report_export.h"
#include "tools/desktop_driver.h"

namespace {

// A field of the main window shows a result rounded to a whole number.
double shown(float value) { return std::floor(value + 0.5); }

class ArchivedExamination : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(loadColourTableFile(STATION_DIR "/lut_ancestor.txt", table));
    char pattern[] = "/tmp/reanalysis_XXXXXX";
    folder = mkdtemp(pattern);
    levels = synthetic::twoFeet();
    // The plain pressure picture: every level in its colour table entry, B G R, bottom first.
    std::vector<uint8_t> plain(kCanvasPixels * 3);
    for (int i = 0; i < kCanvasPixels; ++i) {
      for (int k = 0; k < 3; ++k) plain[3 * i + k] = table[3 * levels[i] + 2 - k];
    }
    picture = folder + "/0987_202612061704.png";
    ASSERT_TRUE(report::writePressurePng(plain.data(), picture));
  }
  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

  unsigned char table[kColourTableBytes] = {};
  std::string folder, picture;
  std::vector<uint8_t> levels;
};

TEST_F(ArchivedExamination, PictureGivesBackTheLevelsTheStationAnalysed) {
  std::vector<uint8_t> recovered;
  std::string reason;
  ASSERT_TRUE(report::levelsOfPressurePicture(picture, table, recovered, reason)) << reason;
  EXPECT_TRUE(recovered == levels);
  // A colour slightly off every entry still finds its level.
  EXPECT_EQ(report::nearestLevelOfColour(table, table[3 * 200], table[3 * 200 + 1],
                                         table[3 * 200 + 2] ^ 1),
            200);
  EXPECT_FALSE(report::levelsOfPressurePicture(STATION_DIR "/mark.png", table, recovered, reason));
}

TEST_F(ArchivedExamination, CommandPrintsTheFiguresOfTheHandOff) {
  // The station: the operator clicks heel and toe of each foot in the pressure view.
  FootZoneAnalyzer station(levels.data(), kCanvasWidth, kCanvasHeight);
  station.printDiagnostics = false;
  const int clicks[4][2] = {{80, 45}, {70, 285}, {240, 45}, {250, 285}};  // canvas x, y
  for (const auto& click : clicks) {
    ASSERT_TRUE(station.placeAxisPoint(click[0], kCanvasHeight - 1 - click[1]));
  }
  station.computeLevelStatistics();
  // The main window's zone fields: forefoot row, middle row, heel row; the hand-off reads them.
  auto footShown = [](const FootAxis& axis, double length, double width) {
    report::FootHandoff foot{axis.archIndex, length, width, {}};
    const int screenRowOfZone[6] = {2, 2, 1, 1, 0, 0};
    for (int zone = 0; zone < 6; ++zone) {
      foot.windowZones[screenRowOfZone[zone] * 2 + zone % 2] = shown(axis.zoneShare[zone]);
    }
    return foot;
  };
  const std::string handoff = report::formatInsoleHandoff(
      footShown(station.left, 251, 97), footShown(station.right, 253, 99), "0987_202612061704");
  char shares[128];
  std::snprintf(shares, sizeof shares, "\nshares %.0f %.0f %.0f %.0f %.0f %.0f\n",
                shown(station.left.halfShare), shown(station.right.halfShare),
                shown(station.left.upperShare), shown(station.left.lowerShare),
                shown(station.right.upperShare), shown(station.right.lowerShare));

  // Toe given first for the right foot: the lower point is the heel, as at the station.
  const std::string command = std::string(TOOLS_DIR) + "/pedalyx-analyze --colours " + STATION_DIR +
                              "/lut_ancestor.txt --sizes 251 97 253 99 '" + picture +
                              "' 80 45 70 285 250 285 240 45";
  EXPECT_EQ(desktop::run(command), handoff + shares);
  EXPECT_GT(station.left.archIndex, 0);

  // Points outside the picture are refused, not analysed.
  const std::string outside = std::string(TOOLS_DIR) + "/pedalyx-analyze --colours " + STATION_DIR +
                              "/lut_ancestor.txt '" + picture +
                              "' 80 45 70 400 240 45 250 285; echo status $?";
  EXPECT_EQ(desktop::run(outside), "status 1\n");
}

}  // namespace
