// The walking recording in the whole station: a station built in this process on the simulated
// walking customer records 5 s through its own camera thread and pressure view; every frame is
// recorded in order, the contacts of both feet get their figures, and the live picture has its
// camera back afterwards.
#include <gtest/gtest.h>
// The toolkit's X11 headers define macros that clash with the test framework: include after.
#include <FL/Fl.H>

#include <filesystem>

#include "pedalyx/capture/camera_frame_source.h"
#include "pedalyx/imaging/pressure_view.h"
#include "report/in_process_station.h"

namespace fs = std::filesystem;
using namespace in_process_station;

namespace {

TEST(WalkRecording, EveryFrameRecordedContactsOfBothFeetAndTheCameraBack) {
  const fs::path folder = enterScratchStation("walk_station", "exit 0");
  setenv("PEDALYX_SIMULATED_CAMERA", "walk", 1);
  runStationStartup();
  buildStation();
  mainWindow->show();
  Fl::add_timeout(0.2, closeMessageBoxes);
  ASSERT_TRUE(pumpUntil(
      [] { return pressureView->ringFrames >= 3 && !pressureView->calibrationRequested; }, 60));
  CameraFrameSource& camera = *pressureView->frameSource;
  const FrameFeed* device = camera.capture.get();
  GaitRecorder& recorder = pressureView->gaitRecorder;
  ASSERT_TRUE(recorder.start(camera, GaitRecorder::kShortestSeconds));
  EXPECT_NE(camera.capture.get(), device);  // the recording's thread reads the device
  ASSERT_TRUE(pumpUntil([&] { return recorder.state() == GaitRecorder::State::Done; }, 90));

  const GaitResults& r = recorder.results();
  ASSERT_EQ(r.frames.size(), 150u);  // 5 s at 30 a second
  for (size_t i = 1; i < r.frames.size(); ++i)
    ASSERT_EQ(r.frames[i].counter, r.frames[i - 1].counter + 1) << i;
  EXPECT_EQ(r.framesLost, 0);
  EXPECT_NEAR(r.framePeriod, 1 / 30.0, 1e-9);
  int counted[2] = {0, 0};
  for (size_t k = 0; k < r.contacts.size(); ++k) {
    if (!r.contacts[k].counted()) continue;
    ++counted[static_cast<int>(r.contacts[k].side())];
    ASSERT_TRUE(r.figures[k].valid) << k;
    EXPECT_NEAR(r.figures[k].progressionDegrees, 7, 2) << k;
    if (k > 0) {
      EXPECT_NE(r.contacts[k].side(), r.contacts[k - 1].side()) << "feet take turns";
    }
  }
  EXPECT_GE(counted[0], 1);
  EXPECT_GE(counted[1], 1);
  EXPECT_GE(counted[0] + counted[1], 3);
  EXPECT_EQ(r.summary.left[0].count, counted[0]);

  // The live picture reads the camera itself again.
  EXPECT_EQ(camera.capture.get(), device);
  const int64_t before = camera.framesRead;
  EXPECT_TRUE(pumpUntil([&] { return camera.framesRead > before + 5; }, 10));
  mainWindow->hide();
  Fl::wait(0.1);
  if (chdir("..") == 0) fs::remove_all(folder);
}

}  // namespace
