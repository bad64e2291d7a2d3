// The reference strip on the real main window: red frames from the typed arch values, foot
// types and shoe advice from the computed ones, both character forms, untouched fields when
// nothing is typed, and the right click that opens the settings window.
#include <gtest/gtest.h>
// The toolkit's X11 header defines macros that clash with the test framework: include it after.
#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Value_Input.H>
#include <FL/gl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/reference_view.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace {

void pump(double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) Fl::wait(0.02);
}

struct Rgb {
  int r, g, b;
  bool red() const { return r > 200 && g < 60 && b < 60; }
};

class ReferenceStrip : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("PEDALYX_SIMULATED_CAMERA", "1", 1);
    static ScratchFolder scratch("reference-strip");  // goes when the program ends
    const std::string folder = scratch.path();
    for (const char* name :
         {"colorShader.vert", "colorShader.frag", "lut_ancestor.txt", "reference.png"}) {
      auto bytes = platform::readWholeFile(platform::joinPath(STATION_DIR, name));
      ASSERT_TRUE(bytes.has_value()) << name << " is staged";
      ASSERT_TRUE(platform::writeFileAtomic(platform::joinPath(folder, name), *bytes));
    }
    ASSERT_EQ(chdir(folder.c_str()), 0);
    workingDirectory = folder;
    runStationStartup();
    buildStation();
    mainWindow->show();
    pump(0.5);
    // Held picture: the frame cycle no longer recomputes the zones set by the tests.
    pressureView->live = false;
  }

  void SetUp() override { languageChoice->value(0); }

  // Sets the computed state of one foot.
  void foot(bool left, bool measured, float archIndex) {
    FootAxis& axis = left ? pressureView->analyzer->left : pressureView->analyzer->right;
    axis.pointCount = measured ? 2 : 0;
    axis.archIndex = archIndex;
  }

  // One draw of the strip with the given typed values, straight after setting them; returns
  // the drawn pixels (bottom row first).
  std::vector<unsigned char> drawWith(double leftTyped, double rightTyped) {
    leftArchInput->value(leftTyped);
    rightArchInput->value(rightTyped);
    referenceView->make_current();
    referenceView->draw();
    std::vector<unsigned char> pixels(referenceView->w() * referenceView->h() * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, referenceView->w(), referenceView->h(), GL_RGB, GL_UNSIGNED_BYTE,
                 pixels.data());
    return pixels;
  }

  Rgb at(const std::vector<unsigned char>& pixels, int x, int y) {
    const unsigned char* p = &pixels[3 * (x + referenceView->w() * y)];
    return {p[0], p[1], p[2]};
  }
};

TEST_F(ReferenceStrip, FramesFollowTheTypedValuesOfMeasuredFeet) {
  foot(true, true, 0.25f);
  foot(false, true, 0.31f);
  auto pixels = drawWith(0.25, 0.31);
  EXPECT_EQ(referenceView->leftColumn, 2);
  EXPECT_EQ(referenceView->rightColumn, 7);
  // Column 2 spans x 66.25 to 99.375, column 7 x 231.875 to 265.
  EXPECT_TRUE(at(pixels, 66, 27).red());
  EXPECT_TRUE(at(pixels, 99, 27).red());
  EXPECT_TRUE(at(pixels, 232, 27).red());
  EXPECT_TRUE(at(pixels, 80, 1).red());
  EXPECT_FALSE(at(pixels, 33, 27).red()) << "column 0 and 1 stay unframed";
  EXPECT_FALSE(at(pixels, 165, 27).red());

  foot(false, false, 0.31f);  // an unmeasured foot gets no frame
  pixels = drawWith(0.25, 0.31);
  EXPECT_FALSE(at(pixels, 232, 27).red());
  EXPECT_STREQ(rightFootTypeOutput->value(), "");
}

TEST_F(ReferenceStrip, TypedAndComputedPointTwentyOneDisagreeAsDescribed) {
  foot(true, true, 0.21f);
  foot(false, false, 0);
  drawWith(0.21, 0);
  EXPECT_EQ(referenceView->leftColumn, 2) << "typed 0.21 is not below 0.21";
  EXPECT_STREQ(leftFootTypeOutput->value(), "高弓足") << "computed 0.21f is below 0.21";
  EXPECT_STREQ(shoeTypeOutput->value(), "超级稳定型");
}

TEST_F(ReferenceStrip, WordsAndAdviceForEachFoot) {
  foot(true, false, 0.05f);  // stale value of an unmeasured foot never decides
  foot(false, true, 0.32f);
  drawWith(0, 0.32);
  EXPECT_STREQ(leftFootTypeOutput->value(), "");
  EXPECT_STREQ(rightFootTypeOutput->value(), "重度扁平");
  EXPECT_STREQ(shoeTypeOutput->value(), "控制型");

  foot(true, true, 0.23f);
  foot(false, true, 0.23f);
  drawWith(0.23, 0.23);
  EXPECT_STREQ(leftFootTypeOutput->value(), "正常足");
  EXPECT_STREQ(shoeTypeOutput->value(), "基础功能型");

  foot(true, true, 0.28f);
  drawWith(0.28, 0.23);
  EXPECT_STREQ(leftFootTypeOutput->value(), "輕度扁平");
  languageChoice->value(1);
  drawWith(0.28, 0.23);
  EXPECT_STREQ(leftFootTypeOutput->value(), "轻度扁平");
}

TEST_F(ReferenceStrip, NoTypedValueLeavesTheStripBareAndTheFieldsAlone) {
  foot(true, true, 0.32f);
  foot(false, true, 0.32f);
  leftFootTypeOutput->value("kept");
  shoeTypeOutput->value("kept too");
  auto pixels = drawWith(0, -0.1);
  EXPECT_STREQ(leftFootTypeOutput->value(), "kept");
  EXPECT_STREQ(shoeTypeOutput->value(), "kept too");
  for (int x = 0; x < referenceView->w(); ++x) EXPECT_FALSE(at(pixels, x, 1).red()) << x;
}

TEST_F(ReferenceStrip, StripShowsTheReferencePrints) {
  foot(true, false, 0);
  foot(false, false, 0);
  auto pixels = drawWith(0, 0);
  // Column edges are white paper; the prints are coloured, not the grey stand-in.
  Rgb edge = at(pixels, 33, 50);
  EXPECT_GT(edge.r + edge.g + edge.b, 700);
  int coloured = 0;
  for (int x = 0; x < 33; ++x) {
    Rgb p = at(pixels, x, 10);  // the heel row of the first print
    coloured += (p.r != p.g || p.g != p.b);
  }
  EXPECT_GT(coloured, 3);
}

TEST_F(ReferenceStrip, RightClickOpensTheSettingsWindow) {
  settingsWindow->hide();
  Fl::e_keysym = FL_Button + FL_RIGHT_MOUSE;
  EXPECT_EQ(referenceView->handle(FL_PUSH), 1);
  EXPECT_TRUE(settingsWindow->shown());
  settingsWindow->hide();
  Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
  EXPECT_EQ(referenceView->handle(FL_PUSH), 1);
  EXPECT_FALSE(settingsWindow->shown());
}

}  // namespace
