#include "pedalyx/imaging/calibration_store.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/files.h"

namespace {

constexpr int kStoreOffset = 100;
constexpr int kBlockBytes = 32;

// Clamped while still a float: converting a coordinate beyond the range of an integer (or not
// a number) would be undefined.
int storableValue(float coordinate) {
  if (std::isnan(coordinate)) coordinate = 0;
  const float clamped = std::clamp(coordinate, float(-kStoreOffset), float(65535 - kStoreOffset));
  return static_cast<int>(clamped) + kStoreOffset;  // truncates toward zero
}

bool pointsFinite(const CalibrationGrid& grid) {
  for (const auto& point : grid.reference) {
    if (!std::isfinite(point.x) || !std::isfinite(point.y)) return false;
  }
  return true;
}

void encodeBlock(const CalibrationGrid& grid, bool yValues, unsigned char* block) {
  for (int i = 0; i < CalibrationGrid::kReferenceCount; ++i) {
    const float coordinate = yValues ? grid.reference[i].y : grid.reference[i].x;
    const int value = storableValue(coordinate);
    block[2 * i] = static_cast<unsigned char>(value % 256);
    block[2 * i + 1] = static_cast<unsigned char>(value / 256);
  }
}

float decodeValue(const std::string& bytes, int block, int point) {
  const int at = block * kBlockBytes + 2 * point;
  const int value =
      static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
  return static_cast<float>(value - kStoreOffset);
}

}  // namespace

CalibrationStoreBytes encodeCalibrationStore(const CalibrationGrid& left,
                                             const CalibrationGrid& right) {
  CalibrationStoreBytes bytes{};
  encodeBlock(left, false, bytes.data());
  encodeBlock(left, true, bytes.data() + kBlockBytes);
  encodeBlock(right, false, bytes.data() + 2 * kBlockBytes);
  encodeBlock(right, true, bytes.data() + 3 * kBlockBytes);
  return bytes;
}

bool decodeCalibrationStore(const std::string& bytes, CalibrationGrid& left,
                            CalibrationGrid& right) {
  if (bytes.size() < static_cast<size_t>(kCalibrationStoreBytes)) return false;
  if (bytes.find_first_not_of('\0') >= static_cast<size_t>(kCalibrationStoreBytes)) return false;
  CalibrationGrid* grids[2] = {&left, &right};
  for (int g = 0; g < 2; ++g) {
    for (int i = 0; i < CalibrationGrid::kReferenceCount; ++i) {
      const float x = decodeValue(bytes, 2 * g, i);
      const float y = decodeValue(bytes, 2 * g + 1, i);
      grids[g]->reference[i] = {x, y};
      std::printf("%d (%f,%f)\n", i, x, y);
    }
    rebuildMesh(*grids[g]);
  }
  return true;
}

bool loadCalibrationStore(const std::string& path, CalibrationGrid& left, CalibrationGrid& right) {
  const std::optional<std::string> bytes = platform::readWholeFile(path);
  if (bytes && decodeCalibrationStore(*bytes, left, right)) return true;
  setFallbackLayout(left, right);
  rebuildMesh(left);
  rebuildMesh(right);
  return false;
}

bool calibrationPointUsable(const CalibrationGrid& grid, float x, float y) {
  return std::isfinite(x) && std::isfinite(y) && x >= -kCalibrationMargin &&
         x <= grid.imageWidth + kCalibrationMargin && y >= -kCalibrationMargin &&
         y <= grid.imageHeight + kCalibrationMargin;
}

bool saveCalibrationStore(const std::string& path, const CalibrationGrid& left,
                          const CalibrationGrid& right) {
  if (!pointsFinite(left) || !pointsFinite(right)) {
    std::fprintf(stderr, "calibration points that are not numbers are not saved\n");
    return false;
  }
  const CalibrationStoreBytes bytes = encodeCalibrationStore(left, right);
  return platform::writeFileAtomic(
      path, std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

ReferenceFileResult applyReferencePointText(const std::string& text, CalibrationGrid& grid) {
  float numbers[2 * CalibrationGrid::kReferenceCount];
  int count = 0;
  const char* at = text.c_str();
  while (count < 2 * CalibrationGrid::kReferenceCount) {
    char* end = nullptr;
    const float value = std::strtof(at, &end);
    if (end == at) break;
    numbers[count++] = value;
    at = end;
  }
  if (count < 2 * CalibrationGrid::kReferenceCount) {
    std::fprintf(stderr,
                 "point_reference_0.txt holds %d numbers instead of 32: calibration points kept\n",
                 count);
    rebuildMesh(grid);
    return ReferenceFileResult::Refused;
  }
  // The first number decides whether the whole file is in pixels or in fractions.
  const bool pixels = numbers[0] > 1.0f;
  const float scaleX = pixels ? 1.0f : static_cast<float>(grid.imageWidth);
  const float scaleY = pixels ? 1.0f : static_cast<float>(grid.imageHeight);
  for (int i = 0; i < CalibrationGrid::kReferenceCount; ++i) {
    const float x = numbers[2 * i] * scaleX, y = numbers[2 * i + 1] * scaleY;
    if (!calibrationPointUsable(grid, x, y)) {
      std::fprintf(stderr,
                   "point_reference_0.txt point %d (%g, %g) lies outside the camera frame: "
                   "calibration points kept\n",
                   i, x, y);
      rebuildMesh(grid);
      return ReferenceFileResult::Refused;
    }
  }
  for (int i = 0; i < CalibrationGrid::kReferenceCount; ++i)
    grid.reference[i] = {numbers[2 * i] * scaleX, numbers[2 * i + 1] * scaleY};
  rebuildMesh(grid);
  return ReferenceFileResult::Loaded;
}

ReferenceFileResult readReferencePointFile(const std::string& path, CalibrationGrid& grid) {
  const std::optional<std::string> text = platform::readWholeFile(path);
  if (!text) {
    rebuildMesh(grid);
    return ReferenceFileResult::Missing;
  }
  return applyReferencePointText(*text, grid);
}
