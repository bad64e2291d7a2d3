#include "platform/picture_decoder.h"

#include <cstdio>
#include <exception>
#include <opencv2/imgcodecs.hpp>
#include <vector>

#include "platform/files.h"

namespace platform {

bool pictureFits(const PictureHeader& header, const PictureRequirements& requirements,
                 std::string& reason) {
  char text[200];
  const bool sizeFits =
      requirements.exactWidth > 0
          ? header.width == requirements.exactWidth && header.height == requirements.exactHeight
          : header.width <= requirements.largestWidth &&
                header.height <= requirements.largestHeight;
  if (!sizeFits) {
    if (requirements.exactWidth > 0) {
      std::snprintf(text, sizeof text, "%s of %d x %d pixels, not %d x %d",
                    pictureTypeName(header.type), header.width, header.height,
                    requirements.exactWidth, requirements.exactHeight);
    } else {
      std::snprintf(text, sizeof text, "%s of %d x %d pixels, larger than %d x %d",
                    pictureTypeName(header.type), header.width, header.height,
                    requirements.largestWidth, requirements.largestHeight);
    }
    reason = text;
    return false;
  }
  if (requirements.exactChannels > 0 && header.channels != requirements.exactChannels) {
    std::snprintf(text, sizeof text, "%s with %d channels, not %d", pictureTypeName(header.type),
                  header.channels, requirements.exactChannels);
    reason = text;
    return false;
  }
  if (header.bitDepth != 8 && !(header.bitDepth == 16 && requirements.allowSixteenBit)) {
    std::snprintf(text, sizeof text, "%s of %d bits per channel, not 8",
                  pictureTypeName(header.type), header.bitDepth);
    reason = text;
    return false;
  }
  return true;
}

bool decodePicture(const std::string& bytes, const PictureRequirements& requirements,
                   int imreadFlags, cv::Mat& picture, std::string& reason) {
  picture.release();
  const std::optional<PictureHeader> header = readPictureHeader(bytes, reason);
  if (!header || !pictureFits(*header, requirements, reason)) return false;
  try {
    const cv::Mat encoded(1, int(bytes.size()), CV_8UC1,
                          const_cast<char*>(bytes.data()));  // imdecode only reads it
    // The header's width and height are the picture's: no turning by camera orientation tags.
    const int flags = imreadFlags < 0 ? imreadFlags : imreadFlags | cv::IMREAD_IGNORE_ORIENTATION;
    picture = cv::imdecode(encoded, flags);
  } catch (const cv::Exception& error) {
    reason = std::string("the picture could not be decoded: ") + error.what();
    picture.release();
    return false;
  } catch (const std::exception& error) {
    reason = std::string("the picture could not be decoded: ") + error.what();
    picture.release();
    return false;
  }
  if (picture.empty()) {
    reason = "the picture could not be decoded";
    return false;
  }
  // The decoder must have produced what the header promised, or the header lied.
  if (picture.cols != header->width || picture.rows != header->height) {
    reason = "the decoded picture differs from its header";
    picture.release();
    return false;
  }
  return true;
}

bool loadPicture(const std::string& path, const PictureRequirements& requirements, int imreadFlags,
                 cv::Mat& picture, std::string& reason) {
  picture.release();
  const std::optional<std::string> bytes = readWholeFile(path, kLargestPictureFileBytes);
  if (!bytes) {
    reason = "the file cannot be read or is too large";
    return false;
  }
  return decodePicture(*bytes, requirements, imreadFlags, picture, reason);
}

}  // namespace platform
