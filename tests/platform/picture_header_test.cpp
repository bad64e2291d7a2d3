#include "platform/picture_header.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>
#include <string>
#include <vector>

#include "hostile_pictures.h"
#include "platform/picture_decoder.h"

namespace platform {
namespace {

std::string encoded(const char* extension, const cv::Mat& picture) {
  std::vector<uchar> bytes;
  EXPECT_TRUE(cv::imencode(extension, picture, bytes));
  return std::string(bytes.begin(), bytes.end());
}

TEST(PictureHeader, SizeDepthAndChannelsOfEveryTypeWithoutDecoding) {
  std::string reason;
  const cv::Mat colour(30, 20, CV_8UC3, cv::Scalar(1, 2, 3));
  struct Case {
    const char* extension;
    PictureType type;
    cv::Mat picture;
    int depth, channels;
  } cases[] = {
      {".png", PictureType::Png, colour, 8, 3},
      {".png", PictureType::Png, cv::Mat(30, 20, CV_16UC1, cv::Scalar(7)), 16, 1},
      {".png", PictureType::Png, cv::Mat(30, 20, CV_8UC4, cv::Scalar(7)), 8, 4},
      {".bmp", PictureType::Bmp, colour, 8, 3},
      {".bmp", PictureType::Bmp, cv::Mat(30, 20, CV_8UC1, cv::Scalar(7)), 8, 1},
      {".jpg", PictureType::Jpeg, colour, 8, 3},
      {".jpg", PictureType::Jpeg, cv::Mat(30, 20, CV_8UC1, cv::Scalar(7)), 8, 1},
      {".ppm", PictureType::Pnm, colour, 8, 3},
      {".pgm", PictureType::Pnm, cv::Mat(30, 20, CV_8UC1, cv::Scalar(7)), 8, 1},
  };
  for (const Case& c : cases) {
    const auto header = readPictureHeader(encoded(c.extension, c.picture), reason);
    ASSERT_TRUE(header) << c.extension << ": " << reason;
    EXPECT_EQ(header->type, c.type) << c.extension;
    EXPECT_EQ(header->width, 20) << c.extension;
    EXPECT_EQ(header->height, 30) << c.extension;
    EXPECT_EQ(header->bitDepth, c.depth) << c.extension;
    EXPECT_EQ(header->channels, c.channels) << c.extension;
  }
}

TEST(PictureHeader, CompressedCutShortHugeAndUnknownFilesAreRefused) {
  std::string reason;
  const std::string bmp = encoded(".bmp", cv::Mat(360, 150, CV_8UC1, cv::Scalar(5)));
  std::string rle = bmp;
  rle[30] = 1;  // run-length compressed
  EXPECT_FALSE(readPictureHeader(rle, reason));
  EXPECT_EQ(reason, "compressed BMP");
  std::string fourBit = bmp;
  fourBit[28] = 4;
  EXPECT_FALSE(readPictureHeader(fourBit, reason));
  EXPECT_FALSE(readPictureHeader(bmp.substr(0, 2000), reason)) << "cut short";
  std::string huge = bmp;
  huge[21] = 0x7f;  // width of about two billion
  EXPECT_FALSE(readPictureHeader(huge, reason));
  EXPECT_FALSE(readPictureHeader("GIF89a........................................", reason));

  std::string png = encoded(".png", cv::Mat(20, 20, CV_8UC1, cv::Scalar(5)));
  png[25] = 7;  // no such colour type
  EXPECT_FALSE(readPictureHeader(png, reason));

  const std::string jpeg = encoded(".jpg", cv::Mat(20, 20, CV_8UC3, cv::Scalar(5)));
  for (size_t cut : {size_t(3), size_t(20), size_t(100)}) {
    EXPECT_FALSE(readPictureHeader(jpeg.substr(0, cut), reason)) << cut;
  }
  EXPECT_FALSE(readPictureHeader("P6\n20 30\n255\n" + std::string(100, '\0'), reason));
  EXPECT_EQ(reason, "PNM pixel data missing or cut short");
}

// A 58-byte BMP declaring 1 x 1 048 577 pixels once made the image library throw from LOAD and
// end the station; the header is refused before the library sees the file.
TEST(PictureDecoder, AFileDeclaringMoreThanItHoldsIsRefusedBeforeDecoding) {
  const std::string tall = bmpDeclaring(1, 1048577, 4);
  ASSERT_EQ(tall.size(), 58u);
  cv::Mat picture;
  std::string reason;
  PictureRequirements any;
  EXPECT_FALSE(decodePicture(tall, any, cv::IMREAD_COLOR, picture, reason));
  EXPECT_TRUE(picture.empty());
  EXPECT_FALSE(reason.empty());
}

TEST(PictureDecoder, DecodesOnlyWhatTheCallerCanUse) {
  PictureRequirements pressurePicture;
  pressurePicture.exactWidth = 320;
  pressurePicture.exactHeight = 335;
  pressurePicture.exactChannels = 3;
  cv::Mat picture;
  std::string reason;
  EXPECT_TRUE(decodePicture(encoded(".png", cv::Mat(335, 320, CV_8UC3, cv::Scalar(9, 8, 7))),
                            pressurePicture, cv::IMREAD_UNCHANGED, picture, reason))
      << reason;
  EXPECT_EQ(picture.at<cv::Vec3b>(3, 4), cv::Vec3b(9, 8, 7));
  EXPECT_FALSE(decodePicture(encoded(".png", cv::Mat(320, 335, CV_8UC3)), pressurePicture,
                             cv::IMREAD_UNCHANGED, picture, reason));
  EXPECT_EQ(reason, "PNG of 335 x 320 pixels, not 320 x 335");
  EXPECT_FALSE(decodePicture(encoded(".png", cv::Mat(335, 320, CV_16UC3)), pressurePicture,
                             cv::IMREAD_UNCHANGED, picture, reason));
  EXPECT_EQ(reason, "PNG of 16 bits per channel, not 8");

  // A header that promises a picture the body does not hold fails in the decoder, caught.
  std::string body = encoded(".png", cv::Mat(335, 320, CV_8UC3, cv::Scalar(1)));
  body.resize(80);
  EXPECT_FALSE(decodePicture(body, pressurePicture, cv::IMREAD_UNCHANGED, picture, reason));
  EXPECT_TRUE(picture.empty());
}

}  // namespace
}  // namespace platform
