// Crafted picture files that declare far more than they hold, as an attacker or a damaged
// disk would hand them to the programs.
#pragma once
#include <cstdint>
#include <string>

// A BMP header of 54 bytes declaring width x height at 24 bits, followed by pixelBytes zero
// bytes. bmpDeclaring(1, 1048577, 4) is 58 bytes that claim four megabytes of pixels.
inline std::string bmpDeclaring(int32_t width, int32_t height, size_t pixelBytes) {
  std::string b(54 + pixelBytes, '\0');
  auto put32 = [&](size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) b[at + k] = char(v >> (8 * k));
  };
  b[0] = 'B', b[1] = 'M';
  put32(2, uint32_t(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(width));
  put32(22, uint32_t(height));
  b[26] = 1;
  b[28] = 24;
  return b;
}
