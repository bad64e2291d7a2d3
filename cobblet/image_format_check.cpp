#include "cobblet/image_format_check.h"

#include <cstdint>
#include <cstring>

namespace cobblet {
namespace {

constexpr int64_t kMaxSide = 16384;  // far beyond any insole template or pad shape

uint32_t le32(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
         uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t le16(const std::string& b, size_t at) {
  return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}
uint32_t be32(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 |
         uint32_t(uint8_t(b[at + 2])) << 8 | uint32_t(uint8_t(b[at + 3]));
}

ImageKind refuse(std::string& reason, const char* why) {
  reason = why;
  return ImageKind::kRefused;
}

ImageKind checkBmp(const std::string& b, std::string& reason) {
  if (b.size() < 54) return refuse(reason, "BMP header is cut short");
  const uint32_t pixelOffset = le32(b, 10);
  const uint32_t infoSize = le32(b, 14);
  if (infoSize < 40 || infoSize > 124) return refuse(reason, "BMP info header of unknown size");
  const int64_t width = int32_t(le32(b, 18));
  const int64_t height = int32_t(le32(b, 22));
  const uint16_t planes = le16(b, 26);
  const uint16_t bits = le16(b, 28);
  const uint32_t compression = le32(b, 30);
  const uint32_t paletteColours = le32(b, 46);
  if (planes != 1) return refuse(reason, "BMP with more than one plane");
  if (bits != 8 && bits != 24 && bits != 32) {
    return refuse(reason, "BMP is not 8, 24 or 32 bits per pixel");
  }
  // 0 is plain pixels; 3 (bit fields) is plain too and usual for 32-bit files.
  if (compression != 0 && !(compression == 3 && bits == 32)) {
    return refuse(reason, "compressed BMP");
  }
  const int64_t rows = height < 0 ? -height : height;
  if (width <= 0 || rows == 0 || width > kMaxSide || rows > kMaxSide) {
    return refuse(reason, "BMP size out of range");
  }
  if (bits == 8 && paletteColours > 256) return refuse(reason, "BMP palette too long");
  const int64_t rowBytes = (width * bits + 31) / 32 * 4;
  if (pixelOffset < 14 + infoSize || int64_t(pixelOffset) + rowBytes * rows > int64_t(b.size())) {
    return refuse(reason, "BMP pixel data missing or cut short");
  }
  return ImageKind::kBmp;
}

ImageKind checkPng(const std::string& b, std::string& reason) {
  if (b.size() < 33) return refuse(reason, "PNG header is cut short");
  if (be32(b, 8) != 13 || b.compare(12, 4, "IHDR") != 0) {
    return refuse(reason, "PNG without a leading IHDR chunk");
  }
  const int64_t width = be32(b, 16), height = be32(b, 20);
  const int depth = uint8_t(b[24]), colour = uint8_t(b[25]);
  const int compression = uint8_t(b[26]), filter = uint8_t(b[27]), interlace = uint8_t(b[28]);
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
    return refuse(reason, "PNG size out of range");
  }
  bool depthFits = false;
  switch (colour) {
    case 0:
      depthFits = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
      break;
    case 3:
      depthFits = depth == 1 || depth == 2 || depth == 4 || depth == 8;
      break;
    case 2:
    case 4:
    case 6:
      depthFits = depth == 8 || depth == 16;
      break;
    default:
      break;
  }
  if (!depthFits) return refuse(reason, "PNG with an unknown colour type or bit depth");
  if (compression != 0 || filter != 0 || interlace > 1) {
    return refuse(reason, "PNG with an unknown compression, filter or interlace method");
  }
  return ImageKind::kPng;
}

}  // namespace

ImageKind checkImageHeader(const std::string& bytes, std::string& reason) {
  static const char kPngSignature[] = "\x89PNG\r\n\x1a\n";
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return checkBmp(bytes, reason);
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPngSignature, 8) == 0) {
    return checkPng(bytes, reason);
  }
  return refuse(reason, "neither BMP nor PNG");
}

}  // namespace cobblet
