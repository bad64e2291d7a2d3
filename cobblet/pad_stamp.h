// The metatarsal pad shape and the window in which it is rendered for one fitting.
#pragma once
#include <array>
#include <cstdint>

namespace cobblet {

constexpr int kStampSize = 250;        // rows and used columns of the stamp
constexpr int kStampStride = 252;      // row length, so the stamp uploads with 4-byte alignment
constexpr int kReadBackBytes = 63000;  // the rendered pad window read back for one fitting

struct PadStamp {
  std::array<uint8_t, kStampSize * kStampStride> stamp{};  // row 0 is the bitmap's bottom row
  std::array<uint8_t, kReadBackBytes> readBack{};
  int readBackStride = 0;
  float maximum = 0;  // 0 when no shape was loaded: the pad then adds nothing
  float centreColumn = 0;
  float centreRow = 0;
};

}  // namespace cobblet
