#include "cobblet/insole_output.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <opencv2/imgcodecs.hpp>
#include <string>

#include "cobblet/insole_bitmap.h"
#include "platform/files.h"

namespace cobblet {
namespace {

class ImageFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/cobblet_output_XXXXXX";
    folder = mkdtemp(pattern);
  }
  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }
  std::string path(const std::string& name) const { return platform::joinPath(folder, name); }
  // A picture whose pixel (bitmap row r from the bottom, column c) holds (r + c) % 200 + 1.
  std::string writePicture(const std::string& name, int width, int height, int channels) {
    cv::Mat image(height, width, CV_8UC(channels));
    for (int r = 0; r < height; ++r) {
      for (int c = 0; c < width; ++c) {
        for (int k = 0; k < channels; ++k) {
          image.ptr<uint8_t>(height - 1 - r)[c * channels + k] = uint8_t((r + c) % 200 + 1);
        }
      }
    }
    EXPECT_TRUE(cv::imwrite(path(name), image));
    return path(name);
  }
  std::string folder;
};

TEST(SaveNames, BmpIsAppendedUnlessTheNameEndsInExactlyBmp) {
  EXPECT_EQ(withBmpEnding("insole"), "insole.bmp");
  EXPECT_EQ(withBmpEnding("insole.BMP"), "insole.BMP.bmp");
  EXPECT_EQ(withBmpEnding("insole.bmp"), "insole.bmp");
  EXPECT_EQ(withBmpEnding(""), ".bmp");
  EXPECT_EQ(automaticInsolePath("A123", 0), "./PDF_INSOLES/A123_iLeft.bmp");
  EXPECT_EQ(automaticInsolePath("A123", 1), "./PDF_INSOLES/A123_iRight.bmp");
}

TEST_F(ImageFolder, TwentyFourBitTemplateSavesGreyPixelsWithThreeEqualBytes) {
  InsoleBitmap bitmap;
  std::string reason;
  ASSERT_TRUE(bitmap.load(writePicture("t24.bmp", 150, 360, 3), reason)) << reason;
  EXPECT_EQ(bitmap.bitsPerPixel(), 24);
  HeightPlane sampled{};
  bitmap.sample(sampled);
  EXPECT_EQ(pixelAt(sampled, 5, 7), 13);

  HeightPlane insole{};
  for (int r = 0; r < kPlaneRows; ++r) {
    for (int c = 0; c < kPlaneColumns; ++c) pixelAt(insole, r, c) = uint8_t((r * 7 + c) % 251);
  }
  ASSERT_TRUE(saveInsole(bitmap, insole, path("out")));
  cv::Mat saved = cv::imread(path("out.bmp"), cv::IMREAD_UNCHANGED);
  ASSERT_EQ(saved.type(), CV_8UC3);
  ASSERT_EQ(saved.cols, 150);
  for (int r = 0; r < 360; ++r) {
    for (int c = 0; c < 150; ++c) {
      const cv::Vec3b pixel = saved.at<cv::Vec3b>(359 - r, c);
      ASSERT_EQ(pixel[0], pixelAt(insole, r, c));
      ASSERT_EQ(pixel[1], pixel[0]);
      ASSERT_EQ(pixel[2], pixel[0]);
    }
  }
}

TEST_F(ImageFolder, OtherSizesAreSampledAndSavedOnlyInsideTheBitmap) {
  InsoleBitmap small;
  std::string reason;
  ASSERT_TRUE(small.load(writePicture("small.bmp", 100, 200, 1), reason)) << reason;
  HeightPlane sampled;
  sampled.fill(99);
  small.sample(sampled);
  EXPECT_EQ(pixelAt(sampled, 10, 20), 31);
  EXPECT_EQ(pixelAt(sampled, 10, 100), 0);
  EXPECT_EQ(pixelAt(sampled, 250, 20), 0);

  InsoleBitmap large;
  ASSERT_TRUE(large.load(writePicture("large.bmp", 300, 500, 1), reason)) << reason;
  HeightPlane insole;
  insole.fill(40);
  ASSERT_TRUE(saveInsole(large, insole, path("large_out.bmp")));
  cv::Mat saved = cv::imread(path("large_out.bmp"), cv::IMREAD_GRAYSCALE);
  ASSERT_EQ(saved.cols, 300);
  EXPECT_EQ(saved.at<uint8_t>(499, 0), 40);
  EXPECT_EQ(saved.at<uint8_t>(499, 200), 0) << "beyond the plane the insole has nothing";
  EXPECT_EQ(saved.at<uint8_t>(0, 0), 0);
}

TEST_F(ImageFolder, PadShapesAreCutAtTheStampSize) {
  InsoleBitmap shape;
  std::string reason;
  ASSERT_TRUE(shape.load(writePicture("pad.png", 300, 320, 1), reason)) << reason;
  PadStamp pad;
  shape.sampleStamp(pad);
  EXPECT_EQ(pad.stamp[3 * kStampStride + 4], 8);
  EXPECT_EQ(pad.stamp[3 * kStampStride + 250], 0) << "spare columns stay empty";
  EXPECT_EQ(pad.maximum, 200);
}

TEST_F(ImageFolder, SavingIntoAMissingFolderCreatesItAndAFailedSaveSaysSo) {
  InsoleBitmap bitmap;
  std::string reason;
  ASSERT_TRUE(bitmap.load(writePicture("t8.bmp", 150, 360, 1), reason));
  HeightPlane insole{};
  for (int r = 100; r < 110; ++r) pixelAt(insole, r, 50) = 20;
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(folder.c_str()), 0);
  const bool saved = saveInsoleForSide(bitmap, insole, "../A123", 0);
  const bool escaped = platform::fileExists("A123_iLeft.bmp");
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_TRUE(saved);
  EXPECT_TRUE(platform::fileExists(path("PDF_INSOLES/___A123_iLeft.bmp")));
  // The 3-D model lies beside the bitmap: ten pixels of four top and two bottom triangles,
  // two walls of ten and two end walls of two triangles each.
  const std::string model =
      platform::readWholeFile(path("PDF_INSOLES/___A123_iLeft.stl")).value_or("");
  EXPECT_EQ(model.size(), 84u + 50u * (10 * 6 + 2 * 10 * 2 + 2 * 2));
  EXPECT_FALSE(escaped);

  testing::internal::CaptureStderr();
  EXPECT_FALSE(saveInsole(bitmap, insole, path("no/such/folder/x.bmp")));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("could not be saved"), std::string::npos);
}

TEST_F(ImageFolder, CompressedAndSixteenBitPicturesAreRefusedByTheirHeader) {
  std::string reason;
  std::string rle = *platform::readWholeFile(writePicture("h.bmp", 150, 360, 1));
  rle[30] = 1;  // run-length compressed
  platform::writeFileAtomic(path("rle.bmp"), rle);
  InsoleBitmap bitmap;
  EXPECT_FALSE(bitmap.load(path("rle.bmp"), reason));
  EXPECT_EQ(reason, "compressed BMP");
  EXPECT_FALSE(bitmap.loaded());

  cv::Mat deep(40, 40, CV_16UC1, cv::Scalar(1000));
  ASSERT_TRUE(cv::imwrite(path("deep.png"), deep));
  EXPECT_FALSE(bitmap.load(path("deep.png"), reason));
  EXPECT_EQ(reason, "PNG of 16 bits per channel, not 8");
}

// A 16384 x 16384 16-bit PNG of a few hundred bytes once passed the header look and made the
// image library allocate two gigabytes before the picture was refused. Now the header alone
// refuses it, and the process's peak memory does not move.
TEST_F(ImageFolder, ATinyFileDeclaringAHugePictureIsRefusedBeforeAnyAllocation) {
  std::string png("\x89PNG\r\n\x1a\n", 8);
  auto chunk = [&](const char* type, const std::string& data) {
    std::string body = std::string(type, 4) + data;
    uint32_t crc = 0xFFFFFFFF;  // the chunk check sum, as every PNG reader verifies it
    for (unsigned char byte : body) {
      crc ^= byte;
      for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    crc ^= 0xFFFFFFFF;
    const char length[4] = {char(data.size() >> 24), char(data.size() >> 16),
                            char(data.size() >> 8), char(data.size())};
    const char check[4] = {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
    png += std::string(length, 4) + body + std::string(check, 4);
  };
  chunk("IHDR", std::string("\0\0\x40\0\0\0\x40\0\x10\0\0\0\0", 13));  // 16384², 16-bit grey
  chunk("IDAT", std::string("\x78\x9c\x63\0\0\0\x01\0\x01", 9));
  chunk("IEND", "");
  ASSERT_LT(png.size(), 100u);
  ASSERT_TRUE(platform::writeFileAtomic(path("huge.png"), png));
  struct rusage before {};
  getrusage(RUSAGE_SELF, &before);
  InsoleBitmap bitmap;
  std::string reason;
  EXPECT_FALSE(bitmap.load(path("huge.png"), reason));
  struct rusage after {};
  getrusage(RUSAGE_SELF, &after);
  EXPECT_NE(reason.find("16384 x 16384"), std::string::npos) << reason;
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 50 * 1024) << "kilobytes of peak memory added";
}

}  // namespace
}  // namespace cobblet
