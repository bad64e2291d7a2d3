#include "platform/picture_header.h"

#include <cstdint>
#include <cstring>

namespace platform {
namespace {

uint32_t byteAt(const std::string& b, size_t at) { return uint8_t(b[at]); }
uint32_t le32(const std::string& b, size_t at) {
  return byteAt(b, at) | byteAt(b, at + 1) << 8 | byteAt(b, at + 2) << 16 | byteAt(b, at + 3) << 24;
}
uint32_t le16(const std::string& b, size_t at) { return byteAt(b, at) | byteAt(b, at + 1) << 8; }
uint32_t be32(const std::string& b, size_t at) {
  return byteAt(b, at) << 24 | byteAt(b, at + 1) << 16 | byteAt(b, at + 2) << 8 | byteAt(b, at + 3);
}
uint32_t be16(const std::string& b, size_t at) { return byteAt(b, at) << 8 | byteAt(b, at + 1); }

std::optional<PictureHeader> refuse(std::string& reason, const char* why) {
  reason = why;
  return std::nullopt;
}

bool sideFits(int64_t side) { return side > 0 && side <= kLargestPictureSide; }

std::optional<PictureHeader> readBmp(const std::string& b, std::string& reason) {
  if (b.size() < 54) return refuse(reason, "BMP header is cut short");
  const uint32_t pixelOffset = le32(b, 10);
  const uint32_t infoSize = le32(b, 14);
  if (infoSize < 40 || infoSize > 124) return refuse(reason, "BMP info header of unknown size");
  const int64_t width = int32_t(le32(b, 18));
  const int64_t height = int32_t(le32(b, 22));
  const uint32_t planes = le16(b, 26), bits = le16(b, 28), compression = le32(b, 30);
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
  if (!sideFits(width) || !sideFits(rows)) return refuse(reason, "BMP size out of range");
  if (bits == 8 && paletteColours > 256) return refuse(reason, "BMP palette too long");
  const int64_t rowBytes = (width * bits + 31) / 32 * 4;
  if (pixelOffset < 14 + infoSize || int64_t(pixelOffset) + rowBytes * rows > int64_t(b.size())) {
    return refuse(reason, "BMP pixel data missing or cut short");
  }
  return PictureHeader{PictureType::Bmp, int(width), int(rows), 8, int(bits / 8)};
}

std::optional<PictureHeader> readPng(const std::string& b, std::string& reason) {
  if (b.size() < 33) return refuse(reason, "PNG header is cut short");
  if (be32(b, 8) != 13 || b.compare(12, 4, "IHDR") != 0) {
    return refuse(reason, "PNG without a leading IHDR chunk");
  }
  const int64_t width = be32(b, 16), height = be32(b, 20);
  const int depth = uint8_t(b[24]), colour = uint8_t(b[25]);
  const int compression = uint8_t(b[26]), filter = uint8_t(b[27]), interlace = uint8_t(b[28]);
  if (!sideFits(width) || !sideFits(height)) return refuse(reason, "PNG size out of range");
  bool depthFits = false;
  int channels = 0;
  switch (colour) {
    case 0:
      depthFits = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
      channels = 1;
      break;
    case 3:  // palette: one index per pixel
      depthFits = depth == 1 || depth == 2 || depth == 4 || depth == 8;
      channels = 1;
      break;
    case 2:
    case 4:
    case 6:
      depthFits = depth == 8 || depth == 16;
      channels = colour == 2 ? 3 : colour == 4 ? 2 : 4;
      break;
    default:
      break;
  }
  if (!depthFits) return refuse(reason, "PNG with an unknown colour type or bit depth");
  if (compression != 0 || filter != 0 || interlace > 1) {
    return refuse(reason, "PNG with an unknown compression, filter or interlace method");
  }
  return PictureHeader{PictureType::Png, int(width), int(height), depth, channels};
}

// Walks the marker segments up to the first frame header (SOF), which holds the size.
std::optional<PictureHeader> readJpeg(const std::string& b, std::string& reason) {
  size_t at = 2;
  while (at + 4 <= b.size()) {
    if (byteAt(b, at) != 0xFF) return refuse(reason, "JPEG marker expected");
    const uint32_t marker = byteAt(b, at + 1);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return refuse(reason, "JPEG without a frame header");
    const uint32_t length = be16(b, at + 2);
    if (length < 2) return refuse(reason, "JPEG segment of impossible length");
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (length < 8 || at + 2 + 8 > b.size()) return refuse(reason, "JPEG frame header cut short");
      const int precision = int(byteAt(b, at + 4));
      const int64_t height = be16(b, at + 5), width = be16(b, at + 7);
      const int components = int(byteAt(b, at + 9));
      if (precision != 8 && precision != 12 && precision != 16) {
        return refuse(reason, "JPEG of an unknown precision");
      }
      if (!sideFits(width) || !sideFits(height)) return refuse(reason, "JPEG size out of range");
      if (components != 1 && components != 3 && components != 4) {
        return refuse(reason, "JPEG with an unusual number of components");
      }
      return PictureHeader{PictureType::Jpeg, int(width), int(height), precision > 8 ? 16 : 8,
                           components};
    }
    at += 2 + length;
  }
  return refuse(reason, "JPEG header is cut short");
}

// Binary PGM (P5) and PPM (P6): magic, width, height, maximum value, one blank, pixels.
std::optional<PictureHeader> readPnm(const std::string& b, std::string& reason) {
  const int channels = b[1] == '5' ? 1 : 3;
  size_t at = 2;
  int64_t numbers[3] = {};
  for (int64_t& number : numbers) {
    while (at < b.size() &&
           (b[at] == ' ' || b[at] == '\t' || b[at] == '\r' || b[at] == '\n' || b[at] == '#')) {
      if (b[at] == '#') {
        while (at < b.size() && b[at] != '\n') ++at;
      } else {
        ++at;
      }
    }
    size_t digits = 0;
    while (at < b.size() && b[at] >= '0' && b[at] <= '9' && digits < 9) {
      number = number * 10 + (b[at++] - '0');
      ++digits;
    }
    if (digits == 0 || digits == 9) return refuse(reason, "PNM header is not readable");
  }
  if (!sideFits(numbers[0]) || !sideFits(numbers[1]))
    return refuse(reason, "PNM size out of range");
  if (numbers[2] < 1 || numbers[2] > 65535) return refuse(reason, "PNM maximum out of range");
  const int depth = numbers[2] > 255 ? 16 : 8;
  const int64_t pixelBytes = numbers[0] * numbers[1] * channels * (depth / 8);
  if (at >= b.size() || int64_t(b.size() - at - 1) < pixelBytes) {
    return refuse(reason, "PNM pixel data missing or cut short");
  }
  return PictureHeader{PictureType::Pnm, int(numbers[0]), int(numbers[1]), depth, channels};
}

}  // namespace

std::optional<PictureHeader> readPictureHeader(const std::string& bytes, std::string& reason) {
  static const char kPngSignature[] = "\x89PNG\r\n\x1a\n";
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return readBmp(bytes, reason);
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPngSignature, 8) == 0) {
    return readPng(bytes, reason);
  }
  if (bytes.size() >= 3 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xD8 &&
      uint8_t(bytes[2]) == 0xFF) {
    return readJpeg(bytes, reason);
  }
  if (bytes.size() >= 3 && bytes[0] == 'P' && (bytes[1] == '5' || bytes[1] == '6')) {
    return readPnm(bytes, reason);
  }
  return refuse(reason, "not a PNG, BMP, JPEG or PNM picture");
}

const char* pictureTypeName(PictureType type) {
  switch (type) {
    case PictureType::Png:
      return "PNG";
    case PictureType::Bmp:
      return "BMP";
    case PictureType::Jpeg:
      return "JPEG";
    case PictureType::Pnm:
      return "PNM";
  }
  return "?";
}

}  // namespace platform
