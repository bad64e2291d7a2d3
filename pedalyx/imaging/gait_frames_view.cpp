#include "pedalyx/imaging/gait_frames_view.h"

#include <GL/glew.h>

#include <chrono>

#include "pedalyx/imaging/frame_levels_gl.h"
#include "pedalyx/imaging/pressure_view.h"

namespace {

// Time one draw spends on recorded frames: short while recording, so the live picture and the
// operator's clicks go on; longer once the camera is no longer read.
constexpr std::chrono::milliseconds kRecordingBudget(25);
constexpr std::chrono::milliseconds kAnalysingBudget(200);

void canvasProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glViewport(0, 0, kCanvasWidth, kCanvasHeight);
  glOrtho(0, kCanvasWidth, 0, kCanvasHeight, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

}  // namespace

void levelRecordedFrames(GL_Display_Pressure& view) {
  GaitRecorder& recorder = view.gaitRecorder;
  if (!recorder.hasWork()) return;
  const bool pipelineReady =
      !view.firstInit && !view.calibrationRequested && view.pipeline.program.usable;
  if (pipelineReady) {
    if (!view.frameLevelTargets.levels) createFrameLevelTargets(view.frameLevelTargets);
    canvasProjection();
    const auto budget =
        recorder.state() == GaitRecorder::State::Recording ? kRecordingBudget : kAnalysingBudget;
    const auto end = std::chrono::steady_clock::now() + budget;
    RecordedFrame frame;
    static unsigned char levels[kCanvasPixels];
    while (std::chrono::steady_clock::now() < end && recorder.takeFrame(frame)) {
      frameLevels(view.pipeline, view.frameLevelTargets, frame.frame.data, *view.gridLeft,
                  *view.gridRight, view.filterValues(), levels);
      recorder.addFrameLevels(frame, levels);
    }
  }
  recorder.update();
}

bool recordedFramesWaiting(const GL_Display_Pressure& view) { return view.gaitRecorder.hasWork(); }
