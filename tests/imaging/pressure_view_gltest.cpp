// The pressure view inside the whole station window, driven draw by draw on the simulated
// plate camera: blue until the ring holds three frames, then the picture; the report snapshot
// defers its message to the event loop.
#include <GL/glew.h>
// GLEW before the toolkit's GL headers.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <tuple>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/files.h"
#include "scratch_folder.h"
// The X headers last: their macros would clash with the test framework's names.
#include <FL/x.H>

namespace {

struct Rgb {
  int r, g, b;
};

// The view's pixel at (x, y) (origin bottom-left) as it is on the screen.
Rgb shownPixel(int x, int y) {
  XImage* image = XGetImage(fl_display, fl_xid(pressureView), x, pressureView->h() - 1 - y, 1, 1,
                            AllPlanes, ZPixmap);
  if (image == nullptr) return {-1, -1, -1};
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
          static_cast<int>(pixel & 0xFF)};
}

// Closes whatever modal message box is open, so a test never waits for a person.
void closeModalBoxes(void*) {
  if (Fl::modal() != nullptr) Fl::modal()->hide();
  Fl::repeat_timeout(0.1, closeModalBoxes);
}

class PressureViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A private working directory holding the staged run-time files.
    static ScratchFolder scratch("pressure-view-station");  // goes when the program ends
    const std::string folder = scratch.path();
    ASSERT_EQ(std::system((std::string("cp '") + STATION_DIR + "'/colorShader.* '" + STATION_DIR +
                           "'/lut_ancestor.txt '" + folder + "'")
                              .c_str()),
              0);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    messageLog_ = folder + "/messages.txt";
    setenv("PEDALYX_SIMULATED_CAMERA", "1", 1);
    setenv("PEDALYX_MESSAGE_LOG", messageLog_.c_str(), 1);
    runStationStartup();
    buildStation();
    mainWindow->show();
    while (!pressureView->shown()) Fl::wait(0.05);
  }

  static std::string messageLog_;
};

std::string PressureViewTest::messageLog_;

TEST_F(PressureViewTest, BlueUntilThreeFramesHavePassedTheRingThenThePicture) {
  GL_Display_Pressure& view = *pressureView;
  // Inside the left foot's heel area, off the centre cross.
  auto probe = [&] { return shownPixel(view.w() / 6, view.h() / 5); };
  // The redraw timer drives the view; every draw changes this state, so each change is one
  // draw whose picture is then on screen.
  auto state = [&] {
    return std::make_tuple(view.warmupCount, view.calibrationRequested, view.ringFrames);
  };
  auto seen = std::make_tuple(-1, false, -1);
  int observed = 0;
  while (view.ringFrames < 3) {
    Fl::wait(0.005);
    if (state() == seen || view.firstInit) continue;
    seen = state();
    ++observed;
    ASSERT_LT(observed, 30);
    const Rgb pixel = probe();
    if (view.ringFrames < 3) {
      EXPECT_EQ(pixel.r, 0) << "draw " << observed;
      EXPECT_EQ(pixel.g, 0) << "draw " << observed;
      EXPECT_EQ(pixel.b, 255) << "draw " << observed;
    } else {
      EXPECT_FALSE(pixel.r == 0 && pixel.g == 0 && pixel.b == 255) << "still blue";
    }
  }
  // Six background frames, then three ring frames.
  EXPECT_EQ(view.warmupCount, 5);
  EXPECT_FALSE(view.calibrationRequested);
  // The first fit: the view keeps x, y and the 320 : 335 shape within the design height.
  EXPECT_EQ(view.w(), 533);
  EXPECT_EQ(view.h(), 558);

  // Let the simulated customer step on (the plate is empty for its first second).
  while (view.ringFrames < 60) Fl::wait(0.01);
  int loaded = 0;
  for (unsigned char level : view.levelImage) loaded += level > 0;
  EXPECT_GT(loaded, 5000);
  const Rgb heel = probe();
  EXPECT_FALSE(heel.r == 0 && heel.g == 0 && heel.b == 64) << "heel shows no load";
  Fl::wait(0.2);
  EXPECT_EQ(std::system("import -window root pressure_view_screenshot.png"), 0);
  std::printf("screenshot: %s/pressure_view_screenshot.png\n", get_current_dir_name());
}

TEST_F(PressureViewTest, ReportSnapshotFillsBothPicturesAndDefersTheMissingPhoneMessage) {
  GL_Display_Pressure& view = *pressureView;
  while (view.ringFrames < 3) Fl::wait(0.01);
  platform::removeFile(messageLog_);
  std::fill(view.plainImage, view.plainImage + sizeof view.plainImage, 7);
  view.reportRequest = true;
  while (view.reportRequest) Fl::wait(0.005);
  EXPECT_FALSE(platform::fileExists(messageLog_)) << "message box opened inside draw()";
  // The plain picture is the colour pass: a level-0 corner shows the no-load colour (B G R).
  EXPECT_EQ(view.plainImage[0], 64);
  EXPECT_EQ(view.plainImage[1], 0);
  EXPECT_EQ(view.plainImage[2], 0);
  // The marked picture carries the red, dotted centre cross along x = 160, y 83 to 249 (the
  // line lies on a pixel border, so it may land in column 159); the plain one does not.
  int redMarked = 0, redPlain = 0;
  for (int y = 83; y <= 249; ++y) {
    for (int x = 159; x <= 160; ++x) {
      const unsigned char* marked = view.markedImage + 3 * (x + 320 * y);
      const unsigned char* plain = view.plainImage + 3 * (x + 320 * y);
      redMarked += marked[2] == 255 && marked[1] == 0 && marked[0] == 0;
      redPlain += plain[2] == 255 && plain[1] == 0 && plain[0] == 0;
    }
  }
  EXPECT_GT(redMarked, 60);
  EXPECT_EQ(redPlain, 0);
  // The message appears once the event loop runs.
  Fl::add_timeout(0.1, closeModalBoxes);
  for (int i = 0; i < 20 && !platform::fileExists(messageLog_); ++i) Fl::wait(0.05);
  const auto log = platform::readWholeFile(messageLog_);
  ASSERT_TRUE(log.has_value());
  EXPECT_EQ(*log, "聯絡方式為必填項目|聯絡方式欄位空白\n");
}

// Sends one mouse event to the view at toolkit coordinates (x, y), origin top-left.
int sendMouse(int event, int button, int x, int y) {
  Fl::e_x = x;
  Fl::e_y = y;
  Fl::e_keysym = FL_Button + button;
  return pressureView->handle(event);
}

TEST_F(PressureViewTest, ReferenceLinesFollowTheMouseAndStopAtTheirCapacity) {
  GL_Display_Pressure& view = *pressureView;
  view.measureMode = kReferenceLineTool;
  view.referencePointCount = 0;
  EXPECT_EQ(sendMouse(FL_PUSH, 1, 100, 50), 1);
  EXPECT_EQ(view.referencePointCount, 1);
  EXPECT_EQ(view.referenceLines[0].x, 100);
  EXPECT_EQ(view.referenceLines[0].y, view.h() - 50 - 1);
  // The open segment's end follows the mouse without being counted.
  sendMouse(FL_MOVE, 0, 200, 60);
  EXPECT_EQ(view.referencePointCount, 1);
  EXPECT_EQ(view.referenceLines[1].x, 200);
  EXPECT_EQ(view.cursorY, view.h() - 60 - 1);
  sendMouse(FL_PUSH, 1, 210, 70);
  EXPECT_EQ(view.referencePointCount, 2);
  // A full list ignores further clicks and moves instead of writing past its end.
  for (int i = 0; i < 400; ++i) sendMouse(FL_PUSH, 1, i, i);
  EXPECT_EQ(view.referencePointCount, GL_Display_Pressure::kReferenceLineCapacity);
  sendMouse(FL_MOVE, 0, 5, 5);
  EXPECT_EQ(view.referencePointCount, GL_Display_Pressure::kReferenceLineCapacity);
  // Other buttons and mode 0 do nothing but take the event.
  view.measureMode = kNoTool;
  view.referencePointCount = 0;
  EXPECT_EQ(sendMouse(FL_PUSH, 1, 10, 10), 1);
  EXPECT_EQ(sendMouse(FL_PUSH, 2, 10, 10), 1);
  EXPECT_EQ(view.referencePointCount, 0);
}

// Runs the event loop, and with it the station's clock, for the given time.
void runFor(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) Fl::wait(0.01);
}

// The clock asks 120 times a second; the view answers with work only when there is some.
TEST_F(PressureViewTest, HeldPictureRestsUntilASettingOrTheMouseChangesIt) {
  GL_Display_Pressure& view = *pressureView;
  while (view.ringFrames < 3) Fl::wait(0.01);
  // Live, the passes keep to the camera's 30 frames a second, not to the clock's 120 ticks.
  // (The simulated camera counts every frame: on a loaded machine it catches up with frames it
  // was late for, so a second may bring more than 30; a pass on every tick would bring 120.)
  runFor(2.0);
  long cycles = view.frameCycles;
  runFor(1.0);
  EXPECT_GT(view.frameCycles - cycles, 0);
  EXPECT_LE(view.frameCycles - cycles, 60);

  view.measureMode = kNoTool;
  view.live = false;
  runFor(0.3);  // the draw that shows the held state
  long draws = view.draws;
  cycles = view.frameCycles;
  runFor(1.0);
  EXPECT_EQ(view.draws, draws) << "a held, untouched picture was drawn again";
  EXPECT_EQ(view.frameCycles, cycles);

  // A new noise setting needs the level pass again, once.
  const double noise = noiseFilterSlider->value();
  noiseFilterSlider->value(noise + 1);
  runFor(0.3);
  EXPECT_EQ(view.frameCycles, cycles + 1);
  noiseFilterSlider->value(noise);
  runFor(0.3);
  EXPECT_EQ(view.frameCycles, cycles + 2);

  // The mouse redraws the overlays over the same levels.
  draws = view.draws;
  cycles = view.frameCycles;
  sendMouse(FL_MOVE, 0, 100, 100);
  runFor(0.3);
  EXPECT_GT(view.draws, draws);
  EXPECT_EQ(view.frameCycles, cycles);

  // "校正" while held: one cycle takes the new background, the next the levels against it.
  view.calibrationRequested = true;
  runFor(0.3);
  EXPECT_FALSE(view.calibrationRequested);
  EXPECT_EQ(view.frameCycles, cycles + 2);
  view.live = true;
}

}  // namespace
