#include "cobblet/insole_mesh.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "cobblet/admesh_report.h"
#include "cobblet/insole_bitmap.h"
#include "platform/files.h"

namespace cobblet {
namespace {

// Every edge of a closed, consistently oriented surface is walked once in each direction.
void expectClosedAndConsistent(const InsoleMesh& mesh) {
  std::map<std::pair<uint32_t, uint32_t>, int> walks;
  for (const MeshTriangle& t : mesh.triangles) {
    ++walks[{t.a, t.b}];
    ++walks[{t.b, t.c}];
    ++walks[{t.c, t.a}];
  }
  int faults = 0;
  for (const auto& [edge, count] : walks) {
    const auto back = walks.find({edge.second, edge.first});
    if (count != 1 || back == walks.end() || back->second != 1) ++faults;
  }
  EXPECT_EQ(faults, 0) << "edges not shared by exactly two triangles in opposite directions";
  EXPECT_GT(meshVolume(mesh), 0) << "normals point inwards";
}

struct Box {
  float lowX = 1e9f, highX = -1e9f, lowY = 1e9f, highY = -1e9f, lowZ = 1e9f, highZ = -1e9f;
};
Box boundsOf(const InsoleMesh& mesh) {
  Box b;
  for (const MeshPoint& p : mesh.points) {
    b.lowX = std::min(b.lowX, p.x), b.highX = std::max(b.highX, p.x);
    b.lowY = std::min(b.lowY, p.y), b.highY = std::max(b.highY, p.y);
    b.lowZ = std::min(b.lowZ, p.z), b.highZ = std::max(b.highZ, p.z);
  }
  return b;
}

double heightMapVolume(const HeightPlane& plane, const ModelSettings& s) {
  double sum = 0;
  for (int r = 0; r < kPlaneRows; ++r) {
    for (int c = 0; c < kPlaneColumns; ++c) {
      const int level = pixelAt(plane, r, c);
      if (level > 0) sum += std::max(s.baseThicknessMm, level * s.millimetresPerLevel);
    }
  }
  return sum;
}

HeightPlane stagedTemplate() {
  InsoleBitmap bitmap;
  std::string reason;
  HeightPlane plane{};
  EXPECT_TRUE(bitmap.load(STATION_DIR "/255mm narrow 20220606 backmove 5mm.bmp", reason)) << reason;
  bitmap.sample(plane);
  return plane;
}

TEST(InsoleMesh, TemplateGivesAClosedSolidOfTheInsolesSizeAndVolume) {
  HeightPlane plane = stagedTemplate();
  // A stray pixel touching the outline only at a corner must not break the surface.
  const OutlineBox outline = measureBox(plane);
  int strayRow = outline.minRow - 1, strayColumn = 0;
  while (pixelAt(plane, outline.minRow, strayColumn + 1) == 0) ++strayColumn;
  pixelAt(plane, strayRow, strayColumn) = 30;
  const OutlineBox box = measureBox(plane);

  const ModelSettings settings;
  const InsoleMesh mesh = buildInsoleMesh(plane, settings);
  expectClosedAndConsistent(mesh);
  const Box b = boundsOf(mesh);
  EXPECT_NEAR(b.highX - b.lowX, box.widthExtent(), 1.0);
  EXPECT_NEAR(b.highY - b.lowY, box.lengthExtent(), 1.0);
  EXPECT_EQ(b.lowZ, 0);
  EXPECT_NEAR(meshVolume(mesh), heightMapVolume(plane, settings),
              0.01 * heightMapVolume(plane, settings));

  char pattern[] = "/tmp/insole_mesh_XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const std::string path = folder + "/A123_iLeft.stl";
  std::string reason;
  ASSERT_TRUE(writeInsoleStl(plane, settings, path, reason)) << reason;
  const std::string report = admesh::report(path);
  ASSERT_NE(report.find("Binary STL"), std::string::npos) << report;
  EXPECT_EQ(admesh::figure(report, "Number of parts"), 1) << report;
  for (const char* label : admesh::kRepairLabels) {
    EXPECT_EQ(admesh::figure(report, label), 0) << label << "\n" << report;
  }
  EXPECT_EQ(admesh::figure(report, "Number of facets"), int(mesh.triangles.size()));
  std::system(("rm -rf '" + folder + "'").c_str());
}

TEST(InsoleMesh, FlatTemplateBelowTheBaseGivesASlabOfTheBaseThickness) {
  HeightPlane plane{};
  for (int r = 20; r < 60; ++r) {
    for (int c = 30; c < 55; ++c) pixelAt(plane, r, c) = 5;
  }
  ModelSettings settings;
  settings.baseThicknessMm = 3;
  const InsoleMesh mesh = buildInsoleMesh(plane, settings);
  expectClosedAndConsistent(mesh);
  const Box b = boundsOf(mesh);
  EXPECT_FLOAT_EQ(b.highX - b.lowX, 25);
  EXPECT_FLOAT_EQ(b.highY - b.lowY, 40);
  for (const MeshPoint& p : mesh.points) EXPECT_TRUE(p.z == 0 || p.z == 3) << p.z;
  EXPECT_NEAR(meshVolume(mesh), 25 * 40 * 3, 1e-3);
}

TEST(InsoleMesh, CheckeredPixelsAreJoinedIntoOneClosedSolid) {
  HeightPlane plane{};
  for (int r = 100; r < 112; ++r) {
    for (int c = 40; c < 52; ++c) pixelAt(plane, r, c) = (r + c) % 2 ? 0 : uint8_t(10 + r - 100);
  }
  pixelAt(plane, 0, 149) = 40;  // corner of the plane: walls at the plane's edge
  expectClosedAndConsistent(buildInsoleMesh(plane, ModelSettings{}));
  EXPECT_TRUE(buildInsoleMesh(HeightPlane{}, ModelSettings{}).triangles.empty());
}

TEST(ModelSettings, ValuesOutOfRangeOrNotNumbersKeepTheirDefaults) {
  std::string log;
  ModelSettings s = parseModelSettings("height_per_level_mm 0.25\nbase_thickness_mm 1.5\n", log);
  EXPECT_DOUBLE_EQ(s.millimetresPerLevel, 0.25);
  EXPECT_DOUBLE_EQ(s.baseThicknessMm, 1.5);
  EXPECT_EQ(log, "");
  s = parseModelSettings(
      "height_per_level_mm nan\nbase_thickness_mm 1e9\n# note\nwidth 3\n"
      "height_per_level_mm 0.2x\nbase_thickness_mm\n",
      log);
  EXPECT_DOUBLE_EQ(s.millimetresPerLevel, ModelSettings{}.millimetresPerLevel);
  EXPECT_DOUBLE_EQ(s.baseThicknessMm, ModelSettings{}.baseThicknessMm);
  EXPECT_NE(log.find("\"nan\""), std::string::npos) << log;
  EXPECT_NE(log.find("\"1e9\""), std::string::npos) << log;
  EXPECT_NE(log.find("width"), std::string::npos) << log;

  // The height per level has bounds of its own, far narrower than the base's.
  log.clear();
  s = parseModelSettings("height_per_level_mm 1\n", log);
  EXPECT_DOUBLE_EQ(s.millimetresPerLevel, 1);
  for (const char* wrong : {"1.5", "20", "0.005"}) {
    s = parseModelSettings(std::string("height_per_level_mm ") + wrong + "\n", log);
    EXPECT_DOUBLE_EQ(s.millimetresPerLevel, ModelSettings{}.millimetresPerLevel) << wrong;
  }
}

}  // namespace
}  // namespace cobblet
