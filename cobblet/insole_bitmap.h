// An image file held by the image library: the insole template (whose pixels are replaced by
// the fitted heights when saving) or the pad shape. Files are checked by their header before
// the library parses them, and written whole through a temporary file.
#pragma once
#include <string>

#include "cobblet/height_plane.h"
#include "cobblet/pad_stamp.h"

struct FIBITMAP;

namespace cobblet {

class InsoleBitmap {
 public:
  InsoleBitmap() = default;
  ~InsoleBitmap();
  InsoleBitmap(InsoleBitmap&& other) noexcept;
  InsoleBitmap& operator=(InsoleBitmap&& other) noexcept;
  InsoleBitmap(const InsoleBitmap&) = delete;
  InsoleBitmap& operator=(const InsoleBitmap&) = delete;

  // Templates and pad shapes larger than this on a side are refused by their header.
  static constexpr int kLargestBitmapSide = 2048;

  // Reads an uncompressed 8-, 24- or 32-bit BMP or a PNG of 8 bits per channel, at most
  // kLargestBitmapSide on a side, refusing by the header before any pixel is decoded. On
  // failure the bitmap held before is kept, and reason says why.
  bool load(const std::string& path, std::string& reason);
  bool loaded() const { return bitmap_ != nullptr; }

  int width() const { return width_; }
  int height() const { return height_; }
  int pitch() const { return pitch_; }
  int bitsPerPixel() const { return bitsPerPixel_; }
  int dotsPerMetreX() const { return dotsPerMetreX_; }
  int format() const { return format_; }

  // First byte of every pixel inside both the bitmap and the plane; 0 everywhere else.
  void sample(HeightPlane& plane) const;
  // The first byte of every pixel, bitmap row 0 at stamp row 0, cut at 250 x 250; the maximum
  // is the largest value copied.
  void sampleStamp(PadStamp& pad) const;
  // Sets every byte of every pixel to the plane's height there; pixels beyond the plane get 0.
  void paint(const HeightPlane& plane);
  // Encodes in the format the bitmap was loaded from and replaces path whole.
  bool save(const std::string& path, std::string& reason) const;

 private:
  void release();
  const uint8_t* pixel(int row, int column) const;

  FIBITMAP* bitmap_ = nullptr;
  int width_ = 0, height_ = 0, pitch_ = 0, bitsPerPixel_ = 0, dotsPerMetreX_ = 0;
  int format_ = -1;
};

}  // namespace cobblet
