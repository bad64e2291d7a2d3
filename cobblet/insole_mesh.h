// The fitted insole as a closed solid for milling machines and 3-D printers: the top surface
// follows the height plane, the bottom is flat at z = 0 and side walls run along the outline.
// One plane pixel is one millimetre across; heights are grey levels times a set height per
// level, never thinner than the base thickness.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cobblet/height_plane.h"

namespace cobblet {

// The insole tool's model settings, one "name value" pair a line in kModelSettingPath.
constexpr const char* kModelSettingPath = "insole_model.txt";
struct ModelSettings {
  double millimetresPerLevel = 0.2;  // height of one grey level
  double baseThicknessMm = 2.0;      // the thinnest the solid is anywhere
};
constexpr double kMinLevelHeightMm = 0.01, kMaxLevelHeightMm = 1.0;
constexpr double kMinBaseMm = 0.5, kMaxBaseMm = 20.0;

// Applies the pairs of a settings text; a missing, unreadable or out-of-range value keeps its
// default, and every such value is named in log.
ModelSettings parseModelSettings(const std::string& text, std::string& log);
// The settings of kModelSettingPath in folder; the defaults when the file is missing.
ModelSettings loadModelSettings(const std::string& folder, std::string& log);

struct MeshPoint {
  float x, y, z;
};
// Vertex indices counter-clockwise seen from outside the solid.
struct MeshTriangle {
  uint32_t a, b, c;
};
struct InsoleMesh {
  std::vector<MeshPoint> points;
  std::vector<MeshTriangle> triangles;
};

// Every non-zero pixel of columns 0..149 is insole. Pixels that touch only at a corner are
// joined by filling one of the two gaps (at the mean of their heights), so that the surface
// stays a 2-manifold. Each pixel's top is four triangles around its centre at the pixel's
// height, with corners at the mean height of the insole pixels around them, which keeps the
// solid's volume equal to the height map's. x runs with the columns, y with the rows (heel at
// y = 0); the outline box's corner lies at x = y = 0. An empty plane gives an empty mesh.
InsoleMesh buildInsoleMesh(const HeightPlane& plane, const ModelSettings& settings);

// Signed volume in cubic millimetres: positive when the normals point outwards.
double meshVolume(const InsoleMesh& mesh);

// Binary STL: 80-byte header, triangle count, then per triangle its unit normal, three corners
// and a zero attribute word, little-endian.
std::string binaryStl(const InsoleMesh& mesh, const std::string& header);

// Writes the STL of the insole whole or not at all; false on failure or for an empty plane.
bool writeInsoleStl(const HeightPlane& plane, const ModelSettings& settings,
                    const std::string& path, std::string& reason);

}  // namespace cobblet
