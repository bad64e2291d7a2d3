#include "cobblet/insole_bitmap.h"

#include <FreeImage.h>

#include <algorithm>
#include <utility>

#include "platform/files.h"
#include "platform/picture_decoder.h"
#include "platform/picture_header.h"

namespace cobblet {

InsoleBitmap::~InsoleBitmap() { release(); }

InsoleBitmap::InsoleBitmap(InsoleBitmap&& other) noexcept { *this = std::move(other); }

InsoleBitmap& InsoleBitmap::operator=(InsoleBitmap&& other) noexcept {
  if (this != &other) {
    release();
    bitmap_ = std::exchange(other.bitmap_, nullptr);
    width_ = other.width_;
    height_ = other.height_;
    pitch_ = other.pitch_;
    bitsPerPixel_ = other.bitsPerPixel_;
    dotsPerMetreX_ = other.dotsPerMetreX_;
    format_ = other.format_;
  }
  return *this;
}

void InsoleBitmap::release() {
  if (bitmap_ != nullptr) FreeImage_Unload(bitmap_);
  bitmap_ = nullptr;
}

bool InsoleBitmap::load(const std::string& path, std::string& reason) {
  // A template or pad shape is a few hundred kilobytes; sixteen megabytes is far beyond.
  constexpr size_t kLargestFileBytes = size_t(16) << 20;
  std::optional<std::string> bytes = platform::readWholeFile(path, kLargestFileBytes);
  if (!bytes) {
    reason = "cannot be read or is too large";
    return false;
  }
  const std::optional<platform::PictureHeader> header = platform::readPictureHeader(*bytes, reason);
  if (!header) return false;
  if (header->type != platform::PictureType::Bmp && header->type != platform::PictureType::Png) {
    reason = "neither BMP nor PNG";
    return false;
  }
  platform::PictureRequirements usable;
  usable.largestWidth = kLargestBitmapSide;
  usable.largestHeight = kLargestBitmapSide;
  if (!platform::pictureFits(*header, usable, reason)) return false;
  // The library parses exactly the bytes that were checked.
  FIBITMAP* loaded = nullptr;
  FREE_IMAGE_FORMAT format = FIF_UNKNOWN;
  try {
    FIMEMORY* memory =
        FreeImage_OpenMemory(reinterpret_cast<BYTE*>(bytes->data()), DWORD(bytes->size()));
    format = FreeImage_GetFileTypeFromMemory(memory, 0);
    if (format == FIF_BMP || format == FIF_PNG)
      loaded = FreeImage_LoadFromMemory(format, memory, 0);
    FreeImage_CloseMemory(memory);
  } catch (...) {
    loaded = nullptr;
  }
  if (loaded == nullptr) {
    reason = "the image could not be decoded";
    return false;
  }
  const unsigned bits = FreeImage_GetBPP(loaded);
  if (FreeImage_GetImageType(loaded) != FIT_BITMAP || (bits != 8 && bits != 24 && bits != 32) ||
      int(FreeImage_GetWidth(loaded)) != header->width ||
      int(FreeImage_GetHeight(loaded)) != header->height) {
    FreeImage_Unload(loaded);
    reason = "pixels are not 8, 24 or 32 bits";
    return false;
  }
  release();
  bitmap_ = loaded;
  format_ = format;
  width_ = int(FreeImage_GetWidth(loaded));
  height_ = int(FreeImage_GetHeight(loaded));
  pitch_ = int(FreeImage_GetPitch(loaded));
  bitsPerPixel_ = int(bits);
  dotsPerMetreX_ = int(FreeImage_GetDotsPerMeterX(loaded));
  return true;
}

const uint8_t* InsoleBitmap::pixel(int row, int column) const {
  return FreeImage_GetBits(bitmap_) + size_t(row) * pitch_ + size_t(column) * (bitsPerPixel_ / 8);
}

void InsoleBitmap::sample(HeightPlane& plane) const {
  plane.fill(0);
  if (!loaded()) return;
  const int rows = std::min(height_, kPlaneRows);
  const int columns = std::min(width_, kPlaneColumns);
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      pixelAt(plane, row, column) = *pixel(row, column);
    }
  }
}

void InsoleBitmap::sampleStamp(PadStamp& pad) const {
  pad.stamp.fill(0);
  pad.maximum = 0;
  if (!loaded()) return;
  const int rows = std::min(height_, kStampSize);
  const int columns = std::min(width_, kStampSize);
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      const uint8_t v = *pixel(row, column);
      pad.stamp[row * kStampStride + column] = v;
      pad.maximum = std::max(pad.maximum, float(v));
    }
  }
}

void InsoleBitmap::paint(const HeightPlane& plane) {
  if (!loaded()) return;
  const int bytesPerPixel = bitsPerPixel_ / 8;
  uint8_t* bits = FreeImage_GetBits(bitmap_);
  for (int row = 0; row < height_; ++row) {
    uint8_t* line = bits + size_t(row) * pitch_;
    for (int column = 0; column < width_; ++column) {
      const bool onPlane = row < kPlaneRows && column < kPlaneStride;
      const uint8_t v = onPlane ? pixelAt(plane, row, column) : 0;
      std::fill_n(line + size_t(column) * bytesPerPixel, bytesPerPixel, v);
    }
  }
}

bool InsoleBitmap::save(const std::string& path, std::string& reason) const {
  if (!loaded()) {
    reason = "no template loaded";
    return false;
  }
  FIMEMORY* memory = FreeImage_OpenMemory();
  bool ok = FreeImage_SaveToMemory(FREE_IMAGE_FORMAT(format_), bitmap_, memory, 0) != 0;
  BYTE* data = nullptr;
  DWORD size = 0;
  if (ok) ok = FreeImage_AcquireMemory(memory, &data, &size) != 0 && size > 0;
  std::string bytes = ok ? std::string(reinterpret_cast<char*>(data), size) : std::string();
  FreeImage_CloseMemory(memory);
  if (!ok) {
    reason = "the image could not be encoded";
    return false;
  }
  if (!platform::writeFileAtomic(path, bytes)) {
    reason = "the file could not be written";
    return false;
  }
  return true;
}

}  // namespace cobblet
