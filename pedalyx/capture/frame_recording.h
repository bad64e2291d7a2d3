// Every frame the plate camera delivers, at the camera's own rate. While a recording runs, a
// thread of its own reads the camera and moves each frame, stamped with its capture time and
// the camera's frame counter, into a bounded queue; the interface thread takes the frames from
// there. The thread only moves frames: when the queue is full it waits for room rather than
// drop one. Meanwhile the camera has this one reader: the live picture takes the newest
// recorded frame through the source (at most 30 a second), and gets its camera back at stop.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <opencv2/core.hpp>
#include <thread>

// The camera's header is not needed here, and the toolkit's X11 names clash with it.
struct CameraFrameSource;
class FrameFeed;

struct RecordedFrame {
  int64_t counter = 0;  // the camera's frame counter: one more per frame the camera took
  double seconds = 0;   // capture time on the camera's clock
  cv::Mat frame;        // 640 × 480 B G R, top row first; never written after it was queued
};

struct RecordingStats {
  int64_t framesRecorded = 0;  // queued by the thread
  int64_t readFailures = 0;    // reads that brought no frame
  size_t framesWaiting = 0;    // in the queue now
  size_t bytesWaiting = 0;
  size_t mostBytesWaiting = 0;    // the queue at its fullest
  double longestWaitForRoom = 0;  // seconds the thread once waited for room in the queue
  // How far the reads fell behind the camera's own clock at most (seconds since the first
  // frame on the wall clock less on the camera's): a camera holds only a few frames for a
  // late reader before it drops one.
  double mostLateSeconds = 0;
  double framesPerSecond = 0;  // the camera's rate, 0 when it does not say
  bool cameraLost = false;     // the camera stopped delivering: the recording ended early
};

class FrameRecording {
 public:
  static constexpr size_t kQueueBytes = 600u * 1000u * 1000u;
  static constexpr double kLiveFramesPerSecond = 30.0;
  // This many failed reads in a row end the recording (a camera that was unplugged).
  static constexpr int kFailedReadsToGiveUp = 100;

  explicit FrameRecording(size_t queueBytes = kQueueBytes);
  ~FrameRecording();
  FrameRecording(const FrameRecording&) = delete;
  FrameRecording& operator=(const FrameRecording&) = delete;

  // Starts reading the source's camera for `seconds` of capture time, counted from the first
  // frame. False when the source has no camera or a recording already holds it.
  bool start(CameraFrameSource& source, double seconds);
  // Ends the reading after the frame being read and gives the camera back to the source.
  // Frames already queued stay to be taken. Nothing happens when no recording holds a camera.
  void stop();
  // The recording holds the camera (started, not yet stopped).
  bool holdsCamera() const { return thread_.joinable(); }
  // The thread still reads: its time is not up, it was not stopped and the camera delivers.
  bool reading() const;
  // The oldest queued frame into `frame`; false when none is waiting.
  bool take(RecordedFrame& frame);
  // Seconds of capture time from the first recorded frame to the newest.
  double recordedSeconds() const;
  RecordingStats stats() const;

  struct Shared;

 private:
  void readFrames(std::unique_ptr<FrameFeed>& camera, double seconds);

  size_t queueBytes_;
  std::shared_ptr<Shared> shared_;
  std::unique_ptr<FrameFeed> camera_;  // the source's camera while the thread reads it
  CameraFrameSource* source_ = nullptr;
  const FrameFeed* tap_ = nullptr;  // what the source reads meanwhile
  std::thread thread_;
};
