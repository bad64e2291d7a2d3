#include "pedalyx/report/pressure_image_loader.h"

#include <cstring>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <unordered_map>

#include "platform/files.h"
#include "platform/picture_decoder.h"
#include "platform/text_encoding.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 335;
constexpr int kRowBytes = kWidth * 3;

uint32_t colourKey(unsigned char red, unsigned char green, unsigned char blue) {
  return (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
}

}  // namespace

void rebuildLevelImage(const unsigned char* bgrPicture, const unsigned char* colourTable,
                       unsigned char* levelImage) {
  // First entry wins when the table repeats a colour; entry 255 is never looked up.
  std::unordered_map<uint32_t, unsigned char> levelOfColour;
  levelOfColour.reserve(512);
  for (int i = 254; i >= 0; --i) {
    const unsigned char* entry = colourTable + 3 * i;
    levelOfColour[colourKey(entry[0], entry[1], entry[2])] = static_cast<unsigned char>(i);
  }
  for (int p = 0; p < kWidth * kHeight; ++p) {
    const unsigned char* pixel = bgrPicture + 3 * p;
    auto found = levelOfColour.find(colourKey(pixel[2], pixel[1], pixel[0]));
    levelImage[p] = found == levelOfColour.end() ? 255 : found->second;
  }
}

bool takeOverPressurePicture(const unsigned char* bgrTopFirst, int width, int height, int channels,
                             int bytesPerChannel, const ReviewTarget& target, std::string* reason) {
  if (bgrTopFirst == nullptr || width != kWidth || height != kHeight || channels != 3 ||
      bytesPerChannel != 1) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "picture is %d x %d with %d channels of %d bits, not 320 x 335 with 3 of 8",
                  width, height, channels, bytesPerChannel * 8);
    if (reason != nullptr) *reason = text;
    return false;
  }
  // The view keeps rows bottom first: the file's last row becomes the buffer's first.
  for (int row = 0; row < kHeight; ++row) {
    std::memcpy(target.markedImage + row * kRowBytes, bgrTopFirst + (kHeight - 1 - row) * kRowBytes,
                kRowBytes);
  }
  rebuildLevelImage(target.markedImage, target.colourTable, target.levelImage);
  *target.reviewMode = true;
  return true;
}

std::string togglePressureReview(const ReviewTarget& target,
                                 const std::function<ChosenFile()>& choose, std::FILE* console,
                                 std::FILE* errors) {
  if (*target.reviewMode) {
    *target.reviewMode = false;
    return std::string();
  }
  ChosenFile chosen = choose();
  if (chosen.outcome == ChosenFile::kFailed) {
    std::fprintf(errors, "ERROR: %s\n", chosen.error.c_str());
    std::fprintf(errors, "*** CANCEL\n");
    return std::string();
  }
  if (chosen.outcome == ChosenFile::kCancelled) {
    std::fprintf(errors, "*** CANCEL\n");
    return std::string();
  }
  const std::string fileName = platform::utf8ToSystemCodePage(chosen.path);
  // Only the station's own pressure pictures can be reviewed: their header must say so before
  // a pixel is decoded.
  platform::PictureRequirements pressurePicture;
  pressurePicture.exactWidth = kWidth;
  pressurePicture.exactHeight = kHeight;
  pressurePicture.exactChannels = 3;
  cv::Mat picture;
  std::string reason;
  if (!platform::fileExists(fileName)) {
    std::fprintf(console, "LOAD: cannot read %s\n", chosen.path.c_str());
    std::fflush(console);
    return "LOAD: " + chosen.path + " cannot be read";
  }
  if (!platform::loadPicture(fileName, pressurePicture, cv::IMREAD_UNCHANGED, picture, reason) ||
      !takeOverPressurePicture(picture.data, picture.cols, picture.rows, picture.channels(),
                               static_cast<int>(picture.elemSize1()), target, &reason)) {
    std::fprintf(console, "LOAD: %s refused: %s\n", chosen.path.c_str(), reason.c_str());
    std::fflush(console);
    return "LOAD: " + chosen.path + " refused: " + reason;
  }
  std::fflush(console);
  return std::string();
}
