#include "cobblet/insole_mesh.h"

#include <algorithm>
#include <array>
#include <memory>

namespace cobblet {
namespace {

constexpr int kCornerRows = kPlaneRows + 1, kCornerColumns = kPlaneColumns + 1;
constexpr uint32_t kNoPoint = UINT32_MAX;

// Solid height in millimetres per pixel; 0 outside the insole.
using SolidHeights = std::array<float, kPlaneRows * kPlaneColumns>;

float& heightAt(SolidHeights& h, int row, int column) { return h[row * kPlaneColumns + column]; }
float heightAt(const SolidHeights& h, int row, int column) {
  if (row < 0 || row >= kPlaneRows || column < 0 || column >= kPlaneColumns) return 0;
  return h[row * kPlaneColumns + column];
}

// Fills one gap of every 2 x 2 block whose insole pixels touch only at the corner; repeats
// because a filled gap can make a new such block next to it.
void joinCornerContacts(SolidHeights& h) {
  bool changed = true;
  while (changed) {
    changed = false;
    for (int r = 0; r + 1 < kPlaneRows; ++r) {
      for (int c = 0; c + 1 < kPlaneColumns; ++c) {
        const float a = heightAt(h, r, c), b = heightAt(h, r, c + 1);
        const float d = heightAt(h, r + 1, c), e = heightAt(h, r + 1, c + 1);
        if (a > 0 && e > 0 && b == 0 && d == 0) {
          heightAt(h, r, c + 1) = (a + e) / 2;
          changed = true;
        } else if (b > 0 && d > 0 && a == 0 && e == 0) {
          heightAt(h, r, c) = (b + d) / 2;
          changed = true;
        }
      }
    }
  }
}

class MeshBuilder {
 public:
  MeshBuilder(const SolidHeights& heights, float originX, float originY)
      : h_(heights), originX_(originX), originY_(originY) {
    top_.fill(kNoPoint);
    bottom_.fill(kNoPoint);
  }

  void addPixel(int r, int c) {
    // Corners counter-clockwise from above: (r, c), (r, c + 1), (r + 1, c + 1), (r + 1, c).
    const std::array<int, 4> cornerRow = {r, r, r + 1, r + 1};
    const std::array<int, 4> cornerColumn = {c, c + 1, c + 1, c};
    // The pixel beyond each side, in the same order: below, right, above, left.
    const std::array<int, 4> beyondRow = {r - 1, r, r + 1, r};
    const std::array<int, 4> beyondColumn = {c, c + 1, c, c - 1};
    std::array<uint32_t, 4> top{}, bottom{};
    for (int k = 0; k < 4; ++k) {
      top[k] = topCorner(cornerRow[k], cornerColumn[k]);
      bottom[k] = bottomCorner(cornerRow[k], cornerColumn[k]);
    }
    const uint32_t centre = addPoint(c + 0.5f, r + 0.5f, heightAt(h_, r, c));
    for (int k = 0; k < 4; ++k) {
      const int next = (k + 1) % 4;
      mesh.triangles.push_back({centre, top[k], top[next]});
      if (heightAt(h_, beyondRow[k], beyondColumn[k]) == 0) {
        // Side wall, facing away from the pixel.
        mesh.triangles.push_back({top[next], top[k], bottom[k]});
        mesh.triangles.push_back({top[next], bottom[k], bottom[next]});
      }
    }
    mesh.triangles.push_back({bottom[0], bottom[2], bottom[1]});
    mesh.triangles.push_back({bottom[0], bottom[3], bottom[2]});
  }

  InsoleMesh mesh;

 private:
  uint32_t addPoint(float column, float row, float z) {
    mesh.points.push_back({column - originX_, row - originY_, z});
    return static_cast<uint32_t>(mesh.points.size() - 1);
  }
  // A corner's top lies at the mean height of the insole pixels around it.
  uint32_t topCorner(int row, int column) {
    uint32_t& index = top_[row * kCornerColumns + column];
    if (index == kNoPoint) {
      float sum = 0;
      int count = 0;
      for (int dr = -1; dr <= 0; ++dr) {
        for (int dc = -1; dc <= 0; ++dc) {
          const float v = heightAt(h_, row + dr, column + dc);
          if (v > 0) sum += v, ++count;
        }
      }
      index = addPoint(float(column), float(row), sum / count);
    }
    return index;
  }
  uint32_t bottomCorner(int row, int column) {
    uint32_t& index = bottom_[row * kCornerColumns + column];
    if (index == kNoPoint) index = addPoint(float(column), float(row), 0);
    return index;
  }

  const SolidHeights& h_;
  const float originX_, originY_;
  std::array<uint32_t, kCornerRows * kCornerColumns> top_, bottom_;
};

}  // namespace

InsoleMesh buildInsoleMesh(const HeightPlane& plane, const ModelSettings& settings) {
  auto heights = std::make_unique<SolidHeights>();
  const float base = static_cast<float>(settings.baseThicknessMm);
  const float perLevel = static_cast<float>(settings.millimetresPerLevel);
  for (int r = 0; r < kPlaneRows; ++r) {
    for (int c = 0; c < kPlaneColumns; ++c) {
      const uint8_t level = pixelAt(plane, r, c);
      heightAt(*heights, r, c) = level == 0 ? 0.0f : std::max(base, level * perLevel);
    }
  }
  joinCornerContacts(*heights);
  int minRow = kPlaneRows, minColumn = kPlaneColumns;
  for (int r = 0; r < kPlaneRows; ++r) {
    for (int c = 0; c < kPlaneColumns; ++c) {
      if (heightAt(*heights, r, c) > 0) {
        minRow = std::min(minRow, r);
        minColumn = std::min(minColumn, c);
      }
    }
  }
  auto builder = std::make_unique<MeshBuilder>(*heights, float(minColumn), float(minRow));
  for (int r = 0; r < kPlaneRows; ++r) {
    for (int c = 0; c < kPlaneColumns; ++c) {
      if (heightAt(*heights, r, c) > 0) builder->addPixel(r, c);
    }
  }
  return std::move(builder->mesh);
}

double meshVolume(const InsoleMesh& mesh) {
  double sixTimes = 0;
  for (const MeshTriangle& t : mesh.triangles) {
    const MeshPoint &p = mesh.points[t.a], &q = mesh.points[t.b], &s = mesh.points[t.c];
    sixTimes += double(p.x) * (double(q.y) * s.z - double(q.z) * s.y) -
                double(p.y) * (double(q.x) * s.z - double(q.z) * s.x) +
                double(p.z) * (double(q.x) * s.y - double(q.y) * s.x);
  }
  return sixTimes / 6;
}

}  // namespace cobblet
