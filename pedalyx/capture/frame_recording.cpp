#include "pedalyx/capture/frame_recording.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "pedalyx/capture/camera_frame_source.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kFrameBytes = static_cast<size_t>(kCameraFrameWidth) * kCameraFrameHeight * 3;

double nowSeconds() {
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

}  // namespace

// What the recording's thread, the interface thread and the live picture share.
struct FrameRecording::Shared {
  mutable std::mutex mutex;
  std::condition_variable roomFreed;
  std::condition_variable frameArrived;
  std::deque<RecordedFrame> queue;
  RecordedFrame newest;  // for the live picture
  int64_t newestSerial = -1;
  double firstSeconds = 0;
  bool stopRequested = false;
  bool threadEnded = false;
  RecordingStats stats;
};

namespace {

// The live picture's camera while a recording reads the real one: the newest recorded frame,
// at most kLiveFramesPerSecond a second so the live passes leave time for the recording's.
class LiveTap : public FrameFeed {
 public:
  explicit LiveTap(std::shared_ptr<FrameRecording::Shared> shared) : shared_(std::move(shared)) {}
  bool read(cv::Mat& picture) override {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->frameArrived.wait_for(lock, std::chrono::seconds(1), [&] {
      return shared_->newestSerial > delivered_ || shared_->threadEnded;
    });
    if (shared_->newestSerial <= delivered_) return false;
    delivered_ = shared_->newestSerial;
    picture = shared_->newest.frame;  // shared, never written again
    seconds_ = shared_->newest.seconds;
    counter_ = shared_->newest.counter;
    lastDelivery_ = Clock::now();
    return true;
  }
  bool frameDue() const override {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    // A little under the period, so a camera at 30 a second still shows every frame.
    const auto period = std::chrono::duration<double>(0.9 / FrameRecording::kLiveFramesPerSecond);
    return shared_->newestSerial > delivered_ && Clock::now() - lastDelivery_ >= period;
  }
  std::optional<double> pictureSeconds() const override { return seconds_; }
  std::optional<int64_t> pictureCounter() const override { return counter_; }
  double framesPerSecond() const override {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->stats.framesPerSecond;
  }

 private:
  std::shared_ptr<FrameRecording::Shared> shared_;
  int64_t delivered_ = -1;
  double seconds_ = 0;
  int64_t counter_ = 0;
  Clock::time_point lastDelivery_;
};

}  // namespace

FrameRecording::FrameRecording(size_t queueBytes) : queueBytes_(queueBytes) {}

FrameRecording::~FrameRecording() { stop(); }

bool FrameRecording::start(CameraFrameSource& source, double seconds) {
  if (holdsCamera() || !source.capture) return false;
  shared_ = std::make_shared<Shared>();
  shared_->stats.framesPerSecond = source.capture->framesPerSecond();
  camera_ = std::move(source.capture);
  auto tap = std::make_unique<LiveTap>(shared_);
  tap_ = tap.get();
  source.capture = std::move(tap);
  source_ = &source;
  thread_ = std::thread([this, seconds] { readFrames(camera_, seconds); });
  return true;
}

void FrameRecording::stop() {
  if (!holdsCamera()) return;
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->stopRequested = true;
  }
  shared_->roomFreed.notify_all();
  thread_.join();
  // The camera goes back unless the source was given another one (or released) meanwhile.
  if (source_->capture.get() == tap_) source_->capture = std::move(camera_);
  camera_.reset();
  source_ = nullptr;
  tap_ = nullptr;
}

void FrameRecording::readFrames(std::unique_ptr<FrameFeed>& camera, double seconds) {
  Shared& s = *shared_;
  cv::Mat picture;
  int failuresInARow = 0;
  int64_t ownCount = 0;
  bool first = true;
  Clock::time_point firstReadAt;
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(s.mutex);
      if (s.stopRequested) break;
    }
    if (!camera->read(picture) || picture.empty() ||
        (picture.channels() != 1 && picture.channels() != 3 && picture.channels() != 4)) {
      std::lock_guard<std::mutex> lock(s.mutex);
      ++s.stats.readFailures;
      if (++failuresInARow < kFailedReadsToGiveUp) continue;
      s.stats.cameraLost = true;
      break;
    }
    failuresInARow = 0;
    RecordedFrame frame;
    frame.seconds = camera->pictureSeconds().value_or(nowSeconds());
    frame.counter = camera->pictureCounter().value_or(ownCount);
    ++ownCount;
    toCameraFrame(picture, frame.frame);
    const auto readAt = Clock::now();
    std::unique_lock<std::mutex> lock(s.mutex);
    if (first) {
      s.firstSeconds = frame.seconds;
      firstReadAt = readAt;
    }
    first = false;
    const double late = std::chrono::duration<double>(readAt - firstReadAt).count() -
                        (frame.seconds - s.firstSeconds);
    if (late > s.stats.mostLateSeconds) s.stats.mostLateSeconds = late;
    // The chosen time is full: this frame is the first beyond it.
    if (frame.seconds - s.firstSeconds >= seconds - 1e-9 && s.stats.framesRecorded > 0) break;
    const auto waitStart = Clock::now();
    s.roomFreed.wait(
        lock, [&] { return s.stopRequested || s.stats.bytesWaiting + kFrameBytes <= queueBytes_; });
    const double waited = std::chrono::duration<double>(Clock::now() - waitStart).count();
    if (waited > s.stats.longestWaitForRoom) s.stats.longestWaitForRoom = waited;
    if (s.stopRequested) break;
    s.newest = frame;
    ++s.newestSerial;
    s.queue.push_back(std::move(frame));
    ++s.stats.framesRecorded;
    s.stats.bytesWaiting += kFrameBytes;
    if (s.stats.bytesWaiting > s.stats.mostBytesWaiting)
      s.stats.mostBytesWaiting = s.stats.bytesWaiting;
    lock.unlock();
    s.frameArrived.notify_all();
  }
  std::lock_guard<std::mutex> lock(s.mutex);
  s.threadEnded = true;
  s.frameArrived.notify_all();
}

bool FrameRecording::reading() const {
  if (!shared_) return false;
  std::lock_guard<std::mutex> lock(shared_->mutex);
  return holdsCamera() && !shared_->threadEnded;
}

bool FrameRecording::take(RecordedFrame& frame) {
  if (!shared_) return false;
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    if (shared_->queue.empty()) return false;
    frame = std::move(shared_->queue.front());
    shared_->queue.pop_front();
    shared_->stats.bytesWaiting -= kFrameBytes;
  }
  shared_->roomFreed.notify_all();
  return true;
}

double FrameRecording::recordedSeconds() const {
  if (!shared_) return 0;
  std::lock_guard<std::mutex> lock(shared_->mutex);
  return shared_->newestSerial < 0 ? 0.0 : shared_->newest.seconds - shared_->firstSeconds;
}

RecordingStats FrameRecording::stats() const {
  if (!shared_) return {};
  std::lock_guard<std::mutex> lock(shared_->mutex);
  RecordingStats stats = shared_->stats;
  stats.framesWaiting = shared_->queue.size();
  return stats;
}
