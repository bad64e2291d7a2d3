// The real colour pipeline on an offscreen window, fed with simulated plate frames; shared by
// the pipeline tests.
#pragma once
#include <GL/glew.h>
// GLEW before the toolkit's GL headers.
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <vector>

#include "pedalyx/capture/simulated_plate.h"
#include "pedalyx/imaging/calibration_store.h"
#include "pedalyx/imaging/colour_pipeline_gl.h"
#include "pedalyx/imaging/colour_table.h"
#include "pipeline_reference.h"

namespace pipeline_fixture {

class ContextWindow : public Fl_Gl_Window {
 public:
  ContextWindow() : Fl_Gl_Window(0, 0, 640, 600) { mode(FL_RGB | FL_DOUBLE | FL_DEPTH); }
  void draw() override {}
};

inline void setCanvasProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glViewport(0, 0, kCanvasWidth, kCanvasHeight);
  glOrtho(0, kCanvasWidth, 0, kCanvasHeight, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// One pipeline on one window, shared by the tests of a file.
class PipelineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (window_ != nullptr) return;  // every suite of the program shares the first pipeline
    window_ = new ContextWindow();
    window_->show();
    while (!window_->shown()) Fl::wait(0.1);
    Fl::flush();
    window_->make_current();
    ASSERT_EQ(glewInit(), GLEW_OK);
    pipeline_ = new ColourPipeline();
    ASSERT_TRUE(loadColourTableFile(STATION_DIR "/lut_ancestor.txt", table_));
    std::vector<unsigned char> black(kCameraFrameBytes, 0);
    createPipelineObjects(*pipeline_, black.data(), table_, STATION_DIR);
    createFramebuffer(*pipeline_);
    setPipelineUniforms(*pipeline_, FilterValues{});
    ASSERT_TRUE(pipeline_->program.usable);
  }

  void SetUp() override {
    window_->make_current();
    setCanvasProjection();
    setFallbackLayout(left_, right_);
    rebuildMesh(left_);
    rebuildMesh(right_);
  }

  // Runs background frames 0..5 and ring frames first..first+2 through the pipeline and the
  // reference; returns the GPU levels.
  std::vector<unsigned char> runFrames(const SimulatedPlate& plate, int first,
                                       const FilterValues& filters) {
    cv::Mat frame;
    for (int n = 0; n < 6; ++n) {
      plate.renderFrame(n, frame);
      warpPass(*pipeline_, frame.data, left_, right_, true, 0);
      if (n == 5) background_ = reference::warpGreen(frame.data, left_, right_);
    }
    for (int slot = 0; slot < 3; ++slot) {
      plate.renderFrame(first + slot, frame);
      warpPass(*pipeline_, frame.data, left_, right_, false, slot);
      ring_[slot] = reference::warpGreen(frame.data, left_, right_);
    }
    cleanPass(*pipeline_);
    std::vector<unsigned char> levels(kCanvasPixels);
    levelPass(*pipeline_, filters, levels.data());
    return levels;
  }

  static inline ContextWindow* window_ = nullptr;
  static inline ColourPipeline* pipeline_ = nullptr;
  static inline unsigned char table_[768] = {};
  CalibrationGrid left_, right_;
  std::vector<unsigned char> background_;
  std::vector<unsigned char> ring_[3];
};

}  // namespace pipeline_fixture
