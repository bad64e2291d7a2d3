#include "pedalyx/capture/frame_feeds.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>
#include <thread>
#include <vector>

#include "pedalyx/capture/frame_rates.h"
#include "pedalyx/capture/simulated_walk.h"
#include "platform/picture_decoder.h"

namespace fs = std::filesystem;

namespace {

// A damaged recording fails the same way on every frame, thirty times a second. Each failure
// is said the first time; after that only how often it came again, every kSummarySeconds
// while it repeats and once more when the recording is closed.
class RepeatedFailures {
 public:
  explicit RepeatedFailures(const char* what) : what_(what) {}
  ~RepeatedFailures() { summarise(); }
  RepeatedFailures(const RepeatedFailures&) = delete;
  RepeatedFailures& operator=(const RepeatedFailures&) = delete;

  // reason tells one failure from another; firstLine is what is said the first time.
  void failed(const std::string& reason, const std::string& firstLine) {
    auto [entry, first] = repeats_.emplace(reason, 0);
    if (first) {
      std::fprintf(stderr, "%s\n", firstLine.c_str());
    } else {
      ++entry->second;
    }
    if (std::chrono::steady_clock::now() - lastSummary_ >= kSummaryPeriod) summarise();
  }

 private:
  static constexpr std::chrono::seconds kSummaryPeriod{10};

  void summarise() {
    for (auto& [reason, count] : repeats_) {
      if (count == 0) continue;
      std::fprintf(stderr, "%s %lld more times: %s\n", what_, static_cast<long long>(count),
                   reason.c_str());
      count = 0;
    }
    lastSummary_ = std::chrono::steady_clock::now();
  }

  const char* what_;
  std::map<std::string, int64_t> repeats_;  // failures said once, with their repeats since
  std::chrono::steady_clock::time_point lastSummary_ = std::chrono::steady_clock::now();
};

class VideoNodeFeed : public FrameFeed {
 public:
  bool open(int index) {
    if (!capture_.open(index, cv::CAP_V4L2)) return false;
    capture_.set(cv::CAP_PROP_FRAME_WIDTH, kCameraFrameWidth);
    capture_.set(cv::CAP_PROP_FRAME_HEIGHT, kCameraFrameHeight);
    // A walking roll-over lasts well under a second: ask for the camera's highest rate at this
    // size (the driver keeps the nearest it has) and read back what it granted.
    capture_.set(cv::CAP_PROP_FPS, kHighestFramesPerSecond);
    const double granted = capture_.get(cv::CAP_PROP_FPS);
    framesPerSecond_ =
        std::isfinite(granted) && granted >= kLowestFramesPerSecond && granted <= 1000.0 ? granted
                                                                                         : 0.0;
    std::printf("SETUP: camera %d delivers %.1f frames per second\n", index, framesPerSecond_);
    return capture_.isOpened();
  }
  bool read(cv::Mat& picture) override {
    if (!capture_.read(picture)) return false;
    stampPicture();
    return true;
  }
  std::optional<double> pictureSeconds() const override { return seconds_; }
  std::optional<int64_t> pictureCounter() const override { return counter_; }
  double framesPerSecond() const override { return framesPerSecond_; }

 private:
  // The driver's time of the exposure when it gives one (the monotonic clock), else nothing:
  // the station then times the picture as it arrives. The counter moves on by as many frame
  // periods as the driver's times lie apart, so a frame the driver dropped leaves a gap.
  void stampPicture() {
    const double milliseconds = capture_.get(cv::CAP_PROP_POS_MSEC);
    const bool timed = std::isfinite(milliseconds) && milliseconds > 0;
    if (counter_ < 0) driverTimes_ = timed;
    std::optional<double> seconds;
    if (driverTimes_ && timed) seconds = milliseconds / 1000.0;
    int64_t step = 1;
    if (seconds && seconds_ && framesPerSecond_ > 0) {
      const double periods = (*seconds - *seconds_) * framesPerSecond_;
      if (periods > 1.5 && periods < 1e6) step = std::llround(periods);
    }
    counter_ = counter_ < 0 ? 0 : counter_ + step;
    seconds_ = seconds;
  }

  cv::VideoCapture capture_;
  double framesPerSecond_ = 0;
  bool driverTimes_ = false;
  int64_t counter_ = -1;
  std::optional<double> seconds_;
};

class SimulatedPlateFeed : public FrameFeed {
 public:
  SimulatedPlateFeed(PlateScene scene, uint32_t seed, bool pace)
      : plate_(scene, seed), pacer_(SimulatedPlate::kFramesPerSecond, pace) {}
  bool read(cv::Mat& picture) override {
    // Frames are counted, never skipped: a slow station sees the customer later but every
    // moment of the scene, so a balance swing always passes through each share.
    pacer_.waitForFrame(next_);
    plate_.renderFrame(next_++, picture);
    return true;
  }
  bool frameDue() const override { return pacer_.due(next_); }
  // The scene's own clock: a slow station sees the customer later, not faster.
  std::optional<double> pictureSeconds() const override {
    return static_cast<double>(next_ - 1) / SimulatedPlate::kFramesPerSecond;
  }
  std::optional<int64_t> pictureCounter() const override { return next_ - 1; }
  double framesPerSecond() const override { return SimulatedPlate::kFramesPerSecond; }

 private:
  SimulatedPlate plate_;
  FramePacer pacer_;
  int64_t next_ = 0;
};

// Recorded frames are scaled to the camera frame; far larger pictures are not recordings of
// the plate camera and are refused by their header.
const platform::PictureRequirements kRecordedFrame = [] {
  platform::PictureRequirements frame;
  frame.largestWidth = 4096;
  frame.largestHeight = 4096;
  frame.allowSixteenBit = true;
  return frame;
}();

bool isImageFile(const fs::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  static const char* const kImageExtensions[] = {".png",  ".jpg", ".jpeg", ".bmp", ".tif",
                                                 ".tiff", ".ppm", ".pgm",  ".pnm", ".webp"};
  return std::any_of(std::begin(kImageExtensions), std::end(kImageExtensions),
                     [&](const char* e) { return ext == e; });
}

// The walking customer at its frame rate, counted like the standing scenes.
class SimulatedWalkFeed : public FrameFeed {
 public:
  SimulatedWalkFeed(double framesPerSecond, uint32_t seed, bool pace)
      : walk_(framesPerSecond, seed), pacer_(framesPerSecond, pace) {}
  bool read(cv::Mat& picture) override {
    pacer_.waitForFrame(next_);
    walk_.renderFrame(next_++, picture);
    return true;
  }
  bool frameDue() const override { return pacer_.due(next_); }
  std::optional<double> pictureSeconds() const override {
    return static_cast<double>(next_ - 1) / walk_.framesPerSecond();
  }
  std::optional<int64_t> pictureCounter() const override { return next_ - 1; }
  double framesPerSecond() const override { return walk_.framesPerSecond(); }

 private:
  SimulatedWalk walk_;
  FramePacer pacer_;
  int64_t next_ = 0;
};

class ImageFolderFeed : public FrameFeed {
 public:
  ImageFolderFeed(std::vector<fs::path> files, bool pace, double framesPerSecond)
      : files_(std::move(files)),
        pacer_(framesPerSecond, pace),
        framesPerSecond_(framesPerSecond) {}
  bool read(cv::Mat& picture) override {
    pacer_.waitForFrame(frames_++);
    // A file that cannot be read is passed over; a folder without readable pictures gives
    // no frame rather than looping for ever.
    for (size_t tries = 0; tries < files_.size(); ++tries) {
      const fs::path& file = files_[next_];
      next_ = (next_ + 1) % files_.size();
      std::string reason;
      if (platform::loadPicture(file.string(), kRecordedFrame, cv::IMREAD_COLOR, picture, reason)) {
        return true;
      }
      failures_.failed(reason, "Recorded frame " + file.string() + " passed over: " + reason);
    }
    return false;
  }
  bool frameDue() const override { return pacer_.due(frames_); }
  std::optional<double> pictureSeconds() const override {
    return static_cast<double>(frames_ - 1) / framesPerSecond_;
  }
  std::optional<int64_t> pictureCounter() const override { return frames_ - 1; }
  double framesPerSecond() const override { return framesPerSecond_; }

 private:
  std::vector<fs::path> files_;
  size_t next_ = 0;
  FramePacer pacer_;
  int64_t frames_ = 0;
  double framesPerSecond_;
  RepeatedFailures failures_{"Recorded frames passed over"};
};

class VideoFileFeed : public FrameFeed {
 public:
  VideoFileFeed(std::string path, bool pace) : path_(std::move(path)), pacer_(1, false) {
    capture_.open(path_);
    double fps = capture_.get(cv::CAP_PROP_FPS);
    if (!(fps > 1 && fps < 1000)) fps = kDefaultFramesPerSecond;
    pacer_ = FramePacer(fps, pace);
    framesPerSecond_ = fps;
  }
  bool opened() const { return capture_.isOpened(); }
  bool read(cv::Mat& picture) override {
    pacer_.waitForFrame(frames_++);
    // A damaged recording ends the replay's frames, never the station.
    try {
      if (capture_.read(picture) && !picture.empty()) return true;
      // At the end start again from the first frame.
      capture_.open(path_);
      return capture_.read(picture) && !picture.empty();
    } catch (const cv::Exception& error) {
      failures_.failed(error.what(), "Recording " + path_ + ": " + error.what());
      picture.release();
      return false;
    }
  }
  bool frameDue() const override { return pacer_.due(frames_); }
  std::optional<double> pictureSeconds() const override {
    return static_cast<double>(frames_ - 1) / framesPerSecond_;
  }
  std::optional<int64_t> pictureCounter() const override { return frames_ - 1; }
  double framesPerSecond() const override { return framesPerSecond_; }

 private:
  std::string path_;
  cv::VideoCapture capture_;
  FramePacer pacer_;
  int64_t frames_ = 0;
  double framesPerSecond_ = kDefaultFramesPerSecond;
  RepeatedFailures failures_{"Recording failed"};
};

}  // namespace

FramePacer::FramePacer(double framesPerSecond, bool enabled)
    : start_(std::chrono::steady_clock::now()), period_(1.0 / framesPerSecond), enabled_(enabled) {}

std::chrono::steady_clock::time_point FramePacer::dueTime(int64_t frameNumber) const {
  return start_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                      std::chrono::duration<double>(period_ * static_cast<double>(frameNumber)));
}

void FramePacer::waitForFrame(int64_t frameNumber) {
  if (!enabled_) return;
  if (frameNumber == 0) start_ = std::chrono::steady_clock::now();
  std::this_thread::sleep_until(dueTime(frameNumber));
}

bool FramePacer::due(int64_t frameNumber) const {
  // Frame 0 starts the clock, so it is due at once.
  return !enabled_ || frameNumber == 0 || std::chrono::steady_clock::now() >= dueTime(frameNumber);
}

std::unique_ptr<FrameFeed> openVideoNode(int captureIndex) {
  auto feed = std::make_unique<VideoNodeFeed>();
  if (!feed->open(captureIndex)) return nullptr;
  return feed;
}

std::unique_ptr<FrameFeed> openSimulatedPlate(PlateScene scene, uint32_t seed, bool pace) {
  return std::make_unique<SimulatedPlateFeed>(scene, seed, pace);
}

std::unique_ptr<FrameFeed> openSimulatedWalk(double framesPerSecond, uint32_t seed, bool pace) {
  return std::make_unique<SimulatedWalkFeed>(framesPerSecond, seed, pace);
}

std::unique_ptr<FrameFeed> openRecording(const std::string& path, bool pace) {
  std::error_code error;
  if (fs::is_directory(path, error)) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, error))
      if (entry.is_regular_file(error) && isImageFile(entry.path())) files.push_back(entry.path());
    if (files.empty()) return nullptr;
    std::sort(files.begin(), files.end());
    return std::make_unique<ImageFolderFeed>(std::move(files), pace,
                                             folderFramesPerSecond(path, stderr));
  }
  if (!fs::is_regular_file(path, error)) return nullptr;
  if (isImageFile(path)) {
    return std::make_unique<ImageFolderFeed>(std::vector<fs::path>{path}, pace,
                                             kDefaultFramesPerSecond);
  }
  auto feed = std::make_unique<VideoFileFeed>(path, pace);
  if (!feed->opened()) return nullptr;
  return feed;
}
