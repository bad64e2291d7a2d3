// The calibration store's 128 bytes and the point file's text: any content loads without
// undefined behaviour, and whatever is loaded can be saved and loaded back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pedalyx/imaging/calibration_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool quiet = [] { return std::freopen("/dev/null", "w", stdout) != nullptr; }();
  (void)quiet;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CalibrationGrid left, right;
  setFallbackLayout(left, right);
  decodeCalibrationStore(bytes, left, right);
  const ReferenceFileResult result = applyReferencePointText(bytes, left);
  if (result == ReferenceFileResult::Loaded) {
    for (const auto& point : left.reference) {
      if (!calibrationPointUsable(left, point.x, point.y)) std::abort();
    }
  }
  const CalibrationStoreBytes stored = encodeCalibrationStore(left, right);
  CalibrationGrid readLeft, readRight;
  decodeCalibrationStore(std::string(stored.begin(), stored.end()), readLeft, readRight);
  return 0;
}
