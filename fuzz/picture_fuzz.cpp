// Picture files as the programs meet them: the header look alone, then the guarded decoder
// with the requirements of LOAD, the report assets and recorded frames, and the insole
// tool's template loader. No input may crash, leak or decode beyond what its header allows.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <opencv2/imgcodecs.hpp>
#include <string>

#include "cobblet/insole_bitmap.h"
#include "platform/files.h"
#include "platform/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string reason;
  const auto header = platform::readPictureHeader(bytes, reason);
  if (header && (header->width <= 0 || header->height <= 0 ||
                 header->width > platform::kLargestPictureSide)) {
    std::abort();
  }
  // Small limits keep every decode cheap; the header check is what is being shown.
  platform::PictureRequirements small;
  small.largestWidth = small.largestHeight = 512;
  small.allowSixteenBit = true;
  cv::Mat picture;
  if (platform::decodePicture(bytes, small, cv::IMREAD_COLOR, picture, reason)) {
    if (picture.cols > 512 || picture.rows > 512) std::abort();
  }
  platform::PictureRequirements pressurePicture;
  pressurePicture.exactWidth = 320;
  pressurePicture.exactHeight = 335;
  pressurePicture.exactChannels = 3;
  if (platform::decodePicture(bytes, pressurePicture, cv::IMREAD_UNCHANGED, picture, reason)) {
    if (picture.cols != 320 || picture.rows != 335) std::abort();
  }

  // The insole tool reads its template from a file.
  static const std::string path = "/tmp/picture_fuzz_" + std::to_string(getpid()) + ".img";
  if (header && header->width <= 512 && header->height <= 512 &&
      platform::writeFileAtomic(path, bytes)) {
    cobblet::InsoleBitmap bitmap;
    bitmap.load(path, reason);
  }
  return 0;
}
