// The walking recording's camera thread: every frame of a camera faster than its reader reaches
// the reader, in order and within the queue's bound, and the camera goes back to the station.
#include "pedalyx/capture/frame_recording.h"

#include <gtest/gtest.h>

#include <thread>

#include "pedalyx/capture/camera_frame_source.h"

namespace {

// A camera without pacing that numbers its frames in their pixels and stamps them 1/100 s
// apart.
class CountingCamera : public FrameFeed {
 public:
  bool read(cv::Mat& picture) override {
    picture.create(kCameraFrameHeight, kCameraFrameWidth, CV_8UC3);
    picture.setTo(cv::Scalar::all(static_cast<double>(next_ % 256)));
    ++next_;
    return true;
  }
  std::optional<double> pictureSeconds() const override { return (next_ - 1) / 100.0; }
  std::optional<int64_t> pictureCounter() const override { return next_ - 1; }
  double framesPerSecond() const override { return 100; }

 private:
  int64_t next_ = 0;
};

TEST(FrameRecording, EveryFrameOfAFastCameraReachesASlowReaderInOrder) {
  CameraFrameSource source;
  source.capture = std::make_unique<CountingCamera>();
  const FrameFeed* camera = source.capture.get();
  const size_t threeFrames = 3u * 640 * 480 * 3;
  FrameRecording recording(threeFrames);
  ASSERT_TRUE(recording.start(source, 2.0));
  EXPECT_FALSE(recording.start(source, 2.0));  // one recording holds the camera
  // The live picture reads recorded frames meanwhile.
  ASSERT_TRUE(queryFrame(source));
  std::vector<int64_t> counters;
  RecordedFrame frame;
  for (;;) {
    const bool more = recording.reading();
    if (!recording.take(frame)) {
      if (!more) break;
      continue;
    }
    counters.push_back(frame.counter);
    ASSERT_EQ(frame.frame.at<cv::Vec3b>(10, 10)[1], frame.counter % 256);
    ASSERT_DOUBLE_EQ(frame.seconds, frame.counter / 100.0);
    std::this_thread::sleep_for(std::chrono::microseconds(300));  // slower than the camera
  }
  const RecordingStats stats = recording.stats();
  recording.stop();
  // Two seconds at 100 a second: frames 0..199, none lost while the queue was full.
  ASSERT_EQ(counters.size(), 200u);
  for (size_t i = 0; i < counters.size(); ++i) ASSERT_EQ(counters[i], static_cast<int64_t>(i));
  EXPECT_LE(stats.mostBytesWaiting, threeFrames);
  EXPECT_GT(stats.longestWaitForRoom, 0);
  EXPECT_EQ(source.capture.get(), camera);
  EXPECT_TRUE(queryFrame(source));
}

}  // namespace
