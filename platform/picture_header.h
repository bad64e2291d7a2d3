// What a picture file declares about itself, read from its first bytes without decoding a
// pixel: its type, size, bit depth and channels. Every picture the programs load is looked at
// this way first, so a tiny file that declares a gigantic picture is refused before an image
// library allocates anything for it.
#pragma once
#include <optional>
#include <string>

namespace platform {

enum class PictureType { Png, Bmp, Jpeg, Pnm };

struct PictureHeader {
  PictureType type = PictureType::Png;
  int width = 0;
  int height = 0;
  int bitDepth = 0;  // bits per channel: 1, 2, 4, 8 or 16
  int channels = 0;  // 1 grey (or palette index), 2 grey + alpha, 3 colour, 4 colour + alpha
};

// Larger sides than this are refused whatever the caller allows.
constexpr int kLargestPictureSide = 1 << 15;

// The header of PNG, BMP (uncompressed or bit-field 8/24/32 bits, palette up to 256), JPEG
// (baseline or progressive) and binary PGM/PPM content. Nothing, with the reason, when the
// bytes are of another type, cut short, inconsistent or declare a side of 0 or above
// kLargestPictureSide. For uncompressed BMP and PNM the pixel data must be there in full.
std::optional<PictureHeader> readPictureHeader(const std::string& bytes, std::string& reason);

// "PNG", "BMP", "JPEG", "PNM".
const char* pictureTypeName(PictureType type);

}  // namespace platform
