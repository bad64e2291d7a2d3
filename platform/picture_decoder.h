// The one guarded way the programs decode a picture file: the header is read first and held
// against what the caller can use, and only then are the pixels decoded, with every exception
// of the image library caught. A refused or broken file gives a reason, never a crash.
#pragma once
#include <opencv2/core.hpp>
#include <string>

#include "platform/picture_header.h"

namespace platform {

// What one caller can use. A picture outside it is refused before any pixel is decoded.
struct PictureRequirements {
  int exactWidth = 0, exactHeight = 0;  // 0: any size up to the largest sides below
  int largestWidth = 4096, largestHeight = 4096;
  int exactChannels = 0;  // 0: any
  bool allowSixteenBit = false;
};

// Whether header fits requirements; the reason says how it does not.
bool pictureFits(const PictureHeader& header, const PictureRequirements& requirements,
                 std::string& reason);

// Decodes picture bytes with OpenCV's imdecode flags (cv::IMREAD_COLOR, cv::IMREAD_UNCHANGED…)
// after the header check. False, picture empty, with the reason on any refusal or failure.
bool decodePicture(const std::string& bytes, const PictureRequirements& requirements,
                   int imreadFlags, cv::Mat& picture, std::string& reason);

constexpr size_t kLargestPictureFileBytes = size_t(256) << 20;

// The same for a file, read whole first (files above kLargestPictureFileBytes are refused).
bool loadPicture(const std::string& path, const PictureRequirements& requirements, int imreadFlags,
                 cv::Mat& picture, std::string& reason);

}  // namespace platform
