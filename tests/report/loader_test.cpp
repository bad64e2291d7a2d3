#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <vector>

#include "hostile_pictures.h"
#include "pedalyx/report/pressure_image_loader.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace {

constexpr int kPixels = 320 * 335;

// A table whose entry i is (i, 255 - i, i / 2), with entry 7 repeated at 9 and entry 255
// equal to entry 3's colour being irrelevant (entry 255 is never matched).
std::vector<unsigned char> testColourTable() {
  std::vector<unsigned char> table(768);
  for (int i = 0; i < 256; ++i) {
    table[3 * i] = static_cast<unsigned char>(i);
    table[3 * i + 1] = static_cast<unsigned char>(255 - i);
    table[3 * i + 2] = static_cast<unsigned char>(i / 2);
  }
  for (int c = 0; c < 3; ++c) table[3 * 9 + c] = table[3 * 7 + c];
  return table;
}

void setBgr(unsigned char* pixel, int entry, const std::vector<unsigned char>& table) {
  pixel[0] = table[3 * entry + 2];
  pixel[1] = table[3 * entry + 1];
  pixel[2] = table[3 * entry];
}

// Reads everything written to a stream opened by open_memstream.
struct CapturedStream {
  char* text = nullptr;
  size_t size = 0;
  FILE* file = open_memstream(&text, &size);
  std::string close() {
    std::fclose(file);
    std::string result(text, size);
    free(text);
    return result;
  }
};

struct ReviewBuffers {
  std::vector<unsigned char> marked = std::vector<unsigned char>(kPixels * 3, 0xEE);
  std::vector<unsigned char> levels = std::vector<unsigned char>(kPixels, 0xEE);
  std::vector<unsigned char> table = testColourTable();
  bool reviewMode = false;
  ReviewTarget target() {
    return ReviewTarget{marked.data(), levels.data(), table.data(), &reviewMode};
  }
};

TEST(InverseColourLookup, FindsTheFirstMatchingEntryAndGives255ForUnknownColours) {
  ReviewBuffers buffers;
  std::vector<unsigned char> picture(kPixels * 3, 0);
  setBgr(&picture[0], 0, buffers.table);
  setBgr(&picture[3], 200, buffers.table);
  setBgr(&picture[6], 9, buffers.table);    // same colour as entry 7: 7 wins
  setBgr(&picture[9], 255, buffers.table);  // entry 255 is not searched
  picture[12] = 1;                          // (R 0, G 0, B 1) is in no entry
  rebuildLevelImage(picture.data(), buffers.table.data(), buffers.levels.data());
  EXPECT_EQ(buffers.levels[0], 0);
  EXPECT_EQ(buffers.levels[1], 200);
  EXPECT_EQ(buffers.levels[2], 7);
  EXPECT_EQ(buffers.levels[3], 255);
  EXPECT_EQ(buffers.levels[4], 255);
}

TEST(PictureTakeOver, ReversesTheRowsAndRefusesOtherShapes) {
  ReviewBuffers buffers;
  std::vector<unsigned char> topFirst(kPixels * 3, 0);
  setBgr(&topFirst[0], 100, buffers.table);             // top-left pixel of the file
  setBgr(&topFirst[334 * 960 + 3], 50, buffers.table);  // second pixel of the file's last row
  std::string reason;
  ASSERT_TRUE(takeOverPressurePicture(topFirst.data(), 320, 335, 3, 1, buffers.target(), &reason));
  EXPECT_TRUE(buffers.reviewMode);
  EXPECT_EQ(buffers.levels[334 * 320], 100);  // now in the top row (bottom row first)
  EXPECT_EQ(buffers.levels[1], 50);
  EXPECT_EQ(buffers.marked[3], topFirst[334 * 960 + 3]);

  ReviewBuffers untouched;
  for (auto shape : {std::vector<int>{335, 320, 3, 1}, std::vector<int>{320, 335, 4, 1},
                     std::vector<int>{320, 335, 3, 2}, std::vector<int>{320, 335, 1, 1}}) {
    EXPECT_FALSE(takeOverPressurePicture(topFirst.data(), shape[0], shape[1], shape[2], shape[3],
                                         untouched.target(), &reason));
    EXPECT_FALSE(reason.empty());
  }
  EXPECT_FALSE(untouched.reviewMode);
  EXPECT_EQ(untouched.marked, std::vector<unsigned char>(kPixels * 3, 0xEE));
}

class ReviewToggle : public ::testing::Test {
 protected:
  void run(const ChosenFile& answer) {
    CapturedStream console, errors;
    chooserCalls = 0;
    togglePressureReview(
        buffers.target(),
        [&] {
          ++chooserCalls;
          return answer;
        },
        console.file, errors.file);
    consoleText = console.close();
    errorText = errors.close();
  }
  std::string writePicture(const cv::Mat& picture) {
    const std::string path = scratch / ("saved" + std::to_string(++picturesWritten) + ".png");
    EXPECT_TRUE(cv::imwrite(path, picture));
    return path;
  }
  ScratchFolder scratch{"station-loader"};
  int picturesWritten = 0;
  ReviewBuffers buffers;
  int chooserCalls = 0;
  std::string consoleText, errorText;
};

TEST_F(ReviewToggle, WhileReviewingReturnsToLiveWithoutAsking) {
  buffers.reviewMode = true;
  run(ChosenFile{ChosenFile::kChosen, "/nonexistent.png", ""});
  EXPECT_FALSE(buffers.reviewMode);
  EXPECT_EQ(chooserCalls, 0);
}

TEST_F(ReviewToggle, CancelAndChooserErrorsGoToStandardError) {
  run(ChosenFile{ChosenFile::kCancelled, "", ""});
  EXPECT_EQ(errorText, "*** CANCEL\n");
  run(ChosenFile{ChosenFile::kFailed, "", "no display"});
  EXPECT_EQ(errorText, "ERROR: no display\n*** CANCEL\n");
  EXPECT_FALSE(buffers.reviewMode);
}

TEST_F(ReviewToggle, ASavedPictureIsShownForReviewWithItsLevels) {
  cv::Mat picture(335, 320, CV_8UC3, cv::Scalar(0, 0, 0));
  setBgr(picture.ptr(0, 10), 180, buffers.table);
  run(ChosenFile{ChosenFile::kChosen, writePicture(picture), ""});
  EXPECT_TRUE(buffers.reviewMode);
  EXPECT_EQ(buffers.levels[334 * 320 + 10], 180);
  EXPECT_EQ(buffers.levels[0], 255);  // black is not a table colour here
  EXPECT_EQ(consoleText, "");
}

TEST_F(ReviewToggle, PicturesOfAnotherShapeAreRefusedAndTheViewStaysLive) {
  run(ChosenFile{ChosenFile::kChosen, writePicture(cv::Mat(100, 80, CV_8UC3)), ""});
  EXPECT_FALSE(buffers.reviewMode);
  EXPECT_NE(consoleText.find("refused"), std::string::npos);
  run(ChosenFile{ChosenFile::kChosen, writePicture(cv::Mat(335, 320, CV_8UC4)), ""});
  EXPECT_FALSE(buffers.reviewMode);
  run(ChosenFile{ChosenFile::kChosen, writePicture(cv::Mat(335, 320, CV_16UC3)), ""});
  EXPECT_FALSE(buffers.reviewMode);
  run(ChosenFile{ChosenFile::kChosen, "/nonexistent/picture.png", ""});
  EXPECT_FALSE(buffers.reviewMode);
  EXPECT_NE(consoleText.find("cannot read"), std::string::npos);
  EXPECT_EQ(buffers.marked, std::vector<unsigned char>(kPixels * 3, 0xEE));
}

// LOAD of a 58-byte BMP declaring 1 x 1 048 577 pixels once ended the station with the image
// library's exception; it is refused by its header, the view stays live and the operator is
// told.
TEST_F(ReviewToggle, ATinyFileDeclaringAHugePictureIsRefusedWithoutEndingTheStation) {
  const std::string tall = bmpDeclaring(1, 1048577, 4);
  const std::string path = scratch / "tall.bmp";
  ASSERT_TRUE(platform::writeFileAtomic(path, tall));
  CapturedStream console, errors;
  const std::string message = togglePressureReview(
      buffers.target(),
      [&] {
        return ChosenFile{ChosenFile::kChosen, path, ""};
      },
      console.file, errors.file);
  EXPECT_NE(message.find("tall.bmp refused"), std::string::npos) << message;
  EXPECT_NE(console.close().find("refused"), std::string::npos);
  errors.close();
  EXPECT_FALSE(buffers.reviewMode);
  EXPECT_EQ(buffers.marked, std::vector<unsigned char>(kPixels * 3, 0xEE));
}

}  // namespace
