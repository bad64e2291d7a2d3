#include "pedalyx/imaging/sway_recorder.h"

#include <algorithm>

#include "pedalyx/imaging/measure_marks.h"

namespace {

PlatePoint centreOf(int64_t load, int64_t sumX, int64_t sumY) {
  if (load <= 0) return {};
  return {(static_cast<double>(sumX) / load + 0.5) * kMillimetresPerPixel,
          (static_cast<double>(sumY) / load + 0.5) * kMillimetresPerPixel};
}

}  // namespace

SwaySample swaySampleOf(double seconds, const LoadMoments& left, const LoadMoments& right) {
  SwaySample s;
  s.seconds = seconds;
  s.left = centreOf(left.load, left.sumX, left.sumY);
  s.right = centreOf(right.load, right.sumX, right.sumY);
  const int64_t total = left.load + right.load;
  s.both = centreOf(total, left.sumX + right.sumX, left.sumY + right.sumY);
  s.leftShare = total > 0 ? 100.0 * static_cast<double>(left.load) / total : 50.0;
  return s;
}

SwayRecorder::SwayRecorder() {
  for (SwayRecording& r : recordings_) {
    r.samples.reserve(kSampleCapacity);
    r.lastLevels.reserve(kCanvasPixels);
  }
}

void SwayRecorder::start(SwayCondition condition, double seconds) {
  condition_ = condition;
  SwayRecording& r = recordings_[static_cast<int>(condition)];
  r.samples.clear();
  r.lastLevels.clear();
  r.stop = SwayStop::NotEnded;
  for (SwayFigures& f : r.figures) f = SwayFigures{};
  // A NaN time falls to the shortest recording.
  r.plannedSeconds = seconds >= kShortestSeconds
                         ? std::min(seconds, static_cast<double>(kLongestSeconds))
                         : kShortestSeconds;
  recording_ = true;
  lastFrame_ = -1;
  referenceLoad_ = 0;
  ++revision_;
}

void SwayRecorder::addFrame(int64_t frameNumber, double frameSeconds, const LoadMoments& left,
                            const LoadMoments& right, const uint8_t* levels) {
  if (!recording_ || frameNumber == lastFrame_) return;
  lastFrame_ = frameNumber;
  SwayRecording& r = recordings_[static_cast<int>(condition_)];
  const int64_t total = left.load + right.load;
  const bool bothFeet = left.load >= kLeastFootLoad && right.load >= kLeastFootLoad;
  if (r.samples.empty()) {
    if (!bothFeet) return finish(SwayStop::NoCustomer);
    r.clockStart = frameSeconds;
    referenceLoad_ = total;
  } else if (!bothFeet || total < kLeastLoadShare * static_cast<double>(referenceLoad_)) {
    return finish(SwayStop::SteppedOff);
  }
  if (r.samples.size() >= kSampleCapacity) return finish(SwayStop::Full);
  const double seconds = frameSeconds - r.clockStart;
  r.samples.push_back(swaySampleOf(seconds, left, right));
  if (levels != nullptr) r.lastLevels.assign(levels, levels + kCanvasPixels);
  // Frame times are differences of two clock readings: a hair short of the time still counts.
  if (seconds + 1e-6 >= r.plannedSeconds) finish(SwayStop::Completed);
}

void SwayRecorder::stop(SwayStop reason) {
  if (recording_) finish(reason);
}

void SwayRecorder::finish(SwayStop reason) {
  SwayRecording& r = recordings_[static_cast<int>(condition_)];
  r.stop = reason;
  for (SwayPart part : {SwayPart::Left, SwayPart::Right, SwayPart::Both})
    r.figures[static_cast<int>(part)] = computeSwayFigures(r.samples, part);
  recording_ = false;
  ++revision_;
}

void SwayRecorder::clear() {
  recording_ = false;
  for (SwayRecording& r : recordings_) {
    r.samples.clear();
    r.lastLevels.clear();
    r.stop = SwayStop::NotEnded;
    r.plannedSeconds = 0;
    for (SwayFigures& f : r.figures) f = SwayFigures{};
  }
  ++revision_;
}

double SwayRecorder::elapsedSeconds() const {
  const SwayRecording& r = recordings_[static_cast<int>(condition_)];
  return r.samples.empty() ? 0.0 : r.samples.back().seconds;
}

const char* swayStopMessage(SwayStop stop) {
  switch (stop) {
    case SwayStop::NoCustomer:
      return "踏板上沒有雙足站立，未能記錄";
    case SwayStop::SteppedOff:
      return "受測者離開踏板，記錄已停止，保留已記錄部分";
    case SwayStop::PictureHeld:
      return "畫面已暫停，記錄已停止，保留已記錄部分";
    case SwayStop::Full:
      return "記錄已滿，記錄已停止";
    case SwayStop::NotEnded:
    case SwayStop::Completed:
      break;
  }
  return "";
}
