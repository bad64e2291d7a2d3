// The insole tool's window built inside the test, in a fresh working directory, with the file
// chooser replaced so the buttons can be pressed without a person.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "cobblet/cobblet_callbacks.h"
#include "cobblet/cobblet_window.h"
#include "cobblet/controls.h"
#include "cobblet/insole_view.h"
#include "platform/files.h"

namespace {

std::string folder;
std::string nextChoice;  // what the replaced chooser answers next
std::string lastTitle;

std::string answerChooser(const char* title, const char*, bool) {
  lastTitle = title;
  return nextChoice;
}

class CobbletWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/cobblet_window_XXXXXX";
    folder = mkdtemp(pattern);
    for (const char* name : {"drop.png", "255mm narrow 20220606 backmove 5mm.bmp"}) {
      std::string bytes = *platform::readWholeFile(platform::joinPath(STATION_DIR, name));
      ASSERT_TRUE(platform::writeFileAtomic(platform::joinPath(folder, name), bytes));
    }
    ASSERT_TRUE(platform::writeFileAtomic(platform::joinPath(folder, "bt_degree_30.txt"), "5"));
    ASSERT_EQ(chdir(folder.c_str()), 0);
    setenv("PEDALYX_MESSAGE_LOG", platform::joinPath(folder, "messages.log").c_str(), 1);
    setenv("PEDALYX_MESSAGES_LOGGED_ONLY", "1", 1);
    chooseFile = answerChooser;
    buildCobbletWindow();
  }
  static void TearDownTestSuite() { std::system(("rm -rf '" + folder + "'").c_str()); }

  cobblet::InsoleState& state() { return insoleView->state; }
};

TEST_F(CobbletWindowTest, StartsNarrowWithTheStoredSlopeLimitAndTheDefaultTemplate) {
  EXPECT_EQ(cobbletWindow->w(), 205);
  EXPECT_EQ(cobbletWindow->h(), 422);
  EXPECT_STREQ(cobbletWindow->label(), "Cobblet");
  EXPECT_EQ(insoleView->x(), 30);
  EXPECT_EQ(insoleView->w(), 150);
  EXPECT_GE(readLeftButton->x(), cobbletWindow->w()) << "controls lie right of the window";
  EXPECT_EQ(slopeLimitCheck->value(), 1) << "the file holds 5";
  ASSERT_TRUE(state().templateLoaded);
  EXPECT_EQ(widthSlider->value(), state().templateWidth);
  EXPECT_EQ(lengthSlider->value(), state().templateLength);
  EXPECT_EQ(lengthSlider->minimum(), 0.5 * state().templateLength);
  EXPECT_EQ(state().templateLength, 255) << "the default template is a 255 mm insole";
  EXPECT_GT(state().pad.maximum, 0) << "the pad shape was loaded";

  toggleControlsShown();
  EXPECT_EQ(cobbletWindow->w(), kCobbletWideWidth);
  toggleControlsShown();
  EXPECT_EQ(cobbletWindow->w(), 205);
}

TEST_F(CobbletWindowTest, ReadButtonsLoadTheTemplateForTheirOwnFoot) {
  nextChoice = platform::joinPath(folder, "255mm narrow 20220606 backmove 5mm.bmp");
  readRightButton->do_callback();
  EXPECT_EQ(lastTitle, "Load a image file");
  EXPECT_EQ(state().templateSide, cobblet::kRight);
  EXPECT_EQ(state().currentSide, cobblet::kRight);
  readLeftButton->do_callback();
  EXPECT_EQ(state().templateSide, cobblet::kLeft);

  nextChoice.clear();  // cancelled: nothing changes
  state().dirty = false;
  readRightButton->do_callback();
  EXPECT_EQ(state().templateSide, cobblet::kLeft);
  EXPECT_FALSE(state().dirty);
}

TEST_F(CobbletWindowTest, RefusedTemplateKeepsTheCurrentOne) {
  std::string bytes = *platform::readWholeFile("255mm narrow 20220606 backmove 5mm.bmp");
  bytes[30] = 2;  // 4-bit run-length compression
  ASSERT_TRUE(platform::writeFileAtomic("rle.bmp", bytes));
  const cobblet::HeightPlane before = state().templatePlane;
  nextChoice = platform::joinPath(folder, "rle.bmp");
  testing::internal::CaptureStdout();
  readRightButton->do_callback();
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find("Unable to load texture"), std::string::npos) << log;
  EXPECT_NE(log.find("compressed BMP"), std::string::npos) << log;
  EXPECT_TRUE(state().templatePlane == before);
  EXPECT_TRUE(insoleView->templateBitmap.loaded());
  Fl::wait(0.1);  // the message waits for the event loop
  EXPECT_NE(platform::readWholeFile("messages.log").value_or("").find("rle.bmp"), std::string::npos)
      << "a refused template is told, not only logged";
}

// A hand-off the tool cannot take whole is not half applied and not lost: it is kept aside
// and the operator is told.
TEST_F(CobbletWindowTest, AMalformedHandOffIsKeptAsideAndTold) {
  ASSERT_TRUE(platform::writeFileAtomic(
      "insole_info.txt", "left 0.27 240 1 2 3 4 5 6 7\nright nan 245 1 2 3 4 5 6 7\nNAME"));
  cobblet::PollState poll;
  poll.previousSecond = 1;
  for (int tick = 0; tick < 30 && platform::fileExists("insole_info.txt"); ++tick) {
    poll.previousSecond = 1;
    pollTimer(&poll);
    Fl::remove_timeout(pollTimer, &poll);
    Fl::wait(0.2);
  }
  EXPECT_FALSE(state().handoff.leftPending);
  EXPECT_FALSE(state().handoff.rightPending);
  EXPECT_TRUE(platform::fileExists("insole_info.bad"));
  EXPECT_NE(platform::readWholeFile("messages.log").value_or("").find("insole_info.bad"),
            std::string::npos);
}

TEST_F(CobbletWindowTest, LengthCarriesTheWidthAndRestoreUndoesBoth) {
  widthFollowsLengthCheck->value(1);
  lengthSlider->value(state().templateLength + 13);
  lengthSlider->do_callback();
  EXPECT_EQ(widthSlider->value(), state().templateWidth + 3);
  EXPECT_FLOAT_EQ(state().targetHeight,
                  float((state().templateLength + 13.0) / state().templateLength * 360));
  restoreCallback(nullptr, nullptr);
  EXPECT_EQ(widthSlider->value(), state().templateWidth);
  EXPECT_FLOAT_EQ(state().targetWidth, 150);
  EXPECT_FLOAT_EQ(state().targetHeight, 360);
}

TEST_F(CobbletWindowTest, SlopeSwitchIsStoredAndSaveButtonAddsTheEnding) {
  slopeLimitCheck->value(0);
  slopeLimitCheck->do_callback();
  EXPECT_EQ(platform::readWholeFile("bt_degree_30.txt"), "0");
  slopeLimitCheck->value(1);
  slopeLimitCheck->do_callback();
  EXPECT_EQ(platform::readWholeFile("bt_degree_30.txt"), "1");

  nextChoice = platform::joinPath(folder, "insole");
  saveButton->do_callback();
  EXPECT_EQ(lastTitle, "Save The Diabetic Insole");
  EXPECT_TRUE(platform::fileExists("insole.bmp"));
}

TEST_F(CobbletWindowTest, HandOffIsAppliedLeftFirst) {
  ASSERT_TRUE(platform::writeFileAtomic(
      "insole_info.txt", "left 0.27 240 1 2 3 4 5 6 7\nright 0.20 245 1 2 3 4 5 6 7\nNAME"));
  cobblet::PollState poll;  // the first tick reads when the second is even
  for (int tick = 0; tick < 30 && !state().handoff.leftPending; ++tick) {
    poll.previousSecond = 1;  // makes every even second due
    pollTimer(&poll);
    Fl::remove_timeout(pollTimer, &poll);
    if (!state().handoff.leftPending) Fl::wait(0.2);
  }
  ASSERT_TRUE(state().handoff.leftPending);
  EXPECT_DOUBLE_EQ(lengthSlider->value(), 250);
  EXPECT_NEAR(leftArchIndexInput->value(), 0.27, 1e-6);
  EXPECT_EQ(state().currentSide, cobblet::kLeft);
  EXPECT_TRUE(state().dirty);
  EXPECT_EQ(state().handoff.recordName, "NAME");
  EXPECT_FALSE(platform::fileExists("insole_info.txt"));

  state().handoff.leftPending = false;  // as if the left insole had been saved
  pollTimer(&poll);
  Fl::remove_timeout(pollTimer, &poll);
  EXPECT_DOUBLE_EQ(lengthSlider->value(), 255);
  EXPECT_NEAR(rightArchIndexInput->value(), 0.20, 1e-6);
  EXPECT_EQ(state().currentSide, cobblet::kRight);
  state().handoff.rightPending = false;
}

}  // namespace
