// The kinds of camera the station can pull frames from.
#pragma once
#include <chrono>
#include <memory>
#include <string>

#include "pedalyx/capture/camera_frame_source.h"
#include "pedalyx/capture/simulated_plate.h"

// Holds a recorded or simulated camera to its frame rate, as a real camera's read blocks until
// the next frame is exposed. The clock starts at frame 0; late frames are not skipped, so
// frame n is always the n-th read.
class FramePacer {
 public:
  FramePacer(double framesPerSecond, bool enabled);
  // Sleeps until frame n is due (not at all when pacing is off or the frame is late).
  void waitForFrame(int64_t frameNumber);
  // Whether frame n is due now (always when pacing is off).
  bool due(int64_t frameNumber) const;

 private:
  std::chrono::steady_clock::time_point dueTime(int64_t frameNumber) const;

  std::chrono::steady_clock::time_point start_;
  double period_;
  bool enabled_;
};

// A V4L2 camera opened by its node number, asked for 640 × 480. Nothing when it cannot be
// opened.
std::unique_ptr<FrameFeed> openVideoNode(int captureIndex);

// The simulated plate camera: frames 0, 1, 2, … of the scene.
std::unique_ptr<FrameFeed> openSimulatedPlate(PlateScene scene, uint32_t seed, bool pace);

// The simulated walking customer (simulated_walk.h) at the given frame rate.
std::unique_ptr<FrameFeed> openSimulatedWalk(double framesPerSecond, uint32_t seed, bool pace);

// A recording played in a loop: a video file, or the image files of a folder in name order at
// the rate of the folder's frames_per_second.txt (frame_rates.h). Nothing when the path holds
// no readable frame.
std::unique_ptr<FrameFeed> openRecording(const std::string& path, bool pace);
