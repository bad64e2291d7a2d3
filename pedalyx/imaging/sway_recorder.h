// The timed stance recordings of one customer: eyes open, then eyes closed. The pressure view
// hands every new live frame's load sums to the recorder; the sway window starts and shows the
// recordings; the report and the sway files read them. Plain logic, no toolkit.
#pragma once
#include <cstdint>
#include <vector>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/sway_figures.h"

enum class SwayCondition { EyesOpen = 0, EyesClosed = 1 };

// Why a recording ended.
enum class SwayStop {
  NotEnded,     // still recording, or never started
  Completed,    // the chosen time has passed
  NoCustomer,   // nobody stood on both feet when it started: nothing recorded
  SteppedOff,   // the load left the plate or one foot: the frames before are kept
  PictureHeld,  // the live picture was held: the frames before are kept
  Full,         // more frames than a recording holds (a camera far faster than 30 a second)
};

struct SwayRecording {
  std::vector<SwaySample> samples;
  double plannedSeconds = 0;
  double clockStart = 0;  // the first frame's time on the camera's clock
  SwayStop stop = SwayStop::NotEnded;
  // The level image of the last recorded frame: the feet's outline under the trace.
  std::vector<uint8_t> lastLevels;
  SwayFigures figures[3];  // Left, Right, Both (SwayPart order), set when the recording ends
  bool recorded() const { return !samples.empty() && stop != SwayStop::NotEnded; }
};

class SwayRecorder {
 public:
  static constexpr int kShortestSeconds = 10;
  static constexpr int kLongestSeconds = 60;
  static constexpr int kDefaultSeconds = 30;
  // 60 s at up to 120 frames a second.
  static constexpr size_t kSampleCapacity = kLongestSeconds * 120;
  // A foot carrying less than this (sum of levels, about 40 fully loaded pixels) is off.
  static constexpr int64_t kLeastFootLoad = 10000;
  // The stance has been left when the load falls below this share of the first frame's.
  static constexpr double kLeastLoadShare = 0.5;

  SwayRecorder();

  // Starts a new recording of the condition for `seconds` (held to 10 .. 60); the previous
  // recording of that condition is dropped.
  void start(SwayCondition condition, double seconds);
  // One live frame. `frameNumber` tells frames apart (a repeated number is ignored);
  // `frameSeconds` is the frame's time on the camera's clock. `levels` is the 320 x 335 level
  // image the sums came from.
  void addFrame(int64_t frameNumber, double frameSeconds, const LoadMoments& left,
                const LoadMoments& right, const uint8_t* levels);
  // Ends the running recording, keeping its frames.
  void stop(SwayStop reason);
  // Both recordings dropped, any running one ended (the next customer).
  void clear();

  bool isRecording() const { return recording_; }
  SwayCondition condition() const { return condition_; }
  // Seconds recorded so far by the running (or last) recording.
  double elapsedSeconds() const;
  const SwayRecording& result(SwayCondition condition) const {
    return recordings_[static_cast<int>(condition)];
  }
  // Advances whenever a recording starts, ends or is dropped.
  unsigned revision() const { return revision_; }

 private:
  void finish(SwayStop reason);
  SwayRecording recordings_[2];
  SwayCondition condition_ = SwayCondition::EyesOpen;
  bool recording_ = false;
  int64_t lastFrame_ = -1;
  int64_t referenceLoad_ = 0;
  unsigned revision_ = 0;
};

// The sample of one frame from the load sums of both halves (canvas pixels to millimetres on
// the plate, at pixel centres).
SwaySample swaySampleOf(double seconds, const LoadMoments& left, const LoadMoments& right);

// The operator's message for a recording's end, Traditional characters; empty for NotEnded and
// Completed.
const char* swayStopMessage(SwayStop stop);
