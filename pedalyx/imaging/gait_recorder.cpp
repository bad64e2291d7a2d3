#include "pedalyx/imaging/gait_recorder.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFallbackFramesPerSecond = 30.0;

}  // namespace

int64_t framesLostIn(const std::vector<RecordedFrameStamp>& frames) {
  int64_t lost = 0;
  for (size_t i = 1; i < frames.size(); ++i)
    lost += std::max<int64_t>(0, frames[i].counter - frames[i - 1].counter - 1);
  return lost;
}

double framePeriodOf(const std::vector<RecordedFrameStamp>& frames, double fallbackRate) {
  std::vector<double> periods;
  for (size_t i = 1; i < frames.size(); ++i) {
    const int64_t counted = frames[i].counter - frames[i - 1].counter;
    const double seconds = frames[i].seconds - frames[i - 1].seconds;
    if (counted > 0 && seconds > 0 && std::isfinite(seconds)) periods.push_back(seconds / counted);
  }
  if (periods.empty()) return 1.0 / (fallbackRate > 0 ? fallbackRate : kFallbackFramesPerSecond);
  std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
  return periods[periods.size() / 2];
}

bool GaitRecorder::start(CameraFrameSource& camera, double seconds) {
  if (state_ == State::Recording || state_ == State::Analysing) return false;
  // A NaN time falls to the shortest recording.
  const double planned = seconds >= kShortestSeconds
                             ? std::min(seconds, static_cast<double>(kLongestSeconds))
                             : kShortestSeconds;
  if (!recording_.start(camera, planned)) return false;
  results_ = GaitResults{};
  results_.plannedSeconds = planned;
  finder_ = ContactFinder();
  state_ = State::Recording;
  ++revision_;
  return true;
}

void GaitRecorder::stop() {
  if (state_ != State::Recording) return;
  recording_.stop();
  state_ = State::Analysing;
  ++revision_;
}

void GaitRecorder::clear() {
  recording_.stop();
  RecordedFrame frame;
  while (recording_.take(frame)) {
  }
  results_ = GaitResults{};
  finder_ = ContactFinder();
  state_ = State::Idle;
  ++revision_;
}

void GaitRecorder::addFrameLevels(const RecordedFrame& frame, const uint8_t* levels) {
  if (state_ == State::Recording || state_ == State::Analysing)
    finder_.addFrame(frame.counter, frame.seconds, levels);
}

bool GaitRecorder::hasWork() const {
  if (state_ == State::Analysing) return true;
  return state_ == State::Recording &&
         (recording_.stats().framesWaiting > 0 || !recording_.reading());
}

void GaitRecorder::update() {
  if (state_ == State::Recording && !recording_.reading()) {
    recording_.stop();
    state_ = State::Analysing;
    ++revision_;
  }
  if (state_ != State::Analysing || recording_.stats().framesWaiting > 0) return;
  makeFigures();
  state_ = State::Done;
  ++revision_;
}

void GaitRecorder::makeFigures() {
  results_.camera = recording_.stats();
  results_.frames = finder_.frames();
  results_.framesLost = framesLostIn(results_.frames);
  results_.framePeriod = framePeriodOf(results_.frames, results_.camera.framesPerSecond);
  results_.contacts = finder_.finish();
  finder_ = ContactFinder();  // its regions are the contacts' now
  results_.figures.clear();
  for (const GaitContact& contact : results_.contacts)
    results_.figures.push_back(computeContactFigures(contact, results_.framePeriod));
  results_.summary = summariseGait(results_.contacts, results_.figures);
}

void GaitRecorder::setSideSwapped(size_t contact, bool swapped) {
  if (contact >= results_.contacts.size()) return;
  results_.contacts[contact].sideSwapped = swapped;
  // Medial and lateral, and the angle's sign, belong to the side.
  results_.figures[contact] =
      computeContactFigures(results_.contacts[contact], results_.framePeriod);
  results_.summary = summariseGait(results_.contacts, results_.figures);
  ++revision_;
}

void GaitRecorder::setDropped(size_t contact, bool dropped) {
  if (contact >= results_.contacts.size()) return;
  results_.contacts[contact].dropped = dropped;
  results_.summary = summariseGait(results_.contacts, results_.figures);
  ++revision_;
}
