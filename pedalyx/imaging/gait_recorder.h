// One customer's walking recording, from its start to its figures. The camera's own thread
// queues every frame (frame_recording.h); the pressure view's draw turns each queued frame into
// its own levels (frame_levels_gl.h) and hands them here, where the contacts are followed as
// the frames come. Once the recording has ended (its time is up, the operator stopped it or
// the camera gave out) and every frame has its levels, the contacts are closed and their
// figures made. Plain logic; runs on the interface thread.
#pragma once
#include <vector>

#include "pedalyx/capture/frame_recording.h"
#include "pedalyx/imaging/gait_figures.h"

struct GaitResults {
  double plannedSeconds = 0;
  std::vector<RecordedFrameStamp> frames;  // every frame recorded, in order
  int64_t framesLost = 0;                  // frames the camera counted but did not deliver
  double framePeriod = 0;                  // seconds, from the frames' own stamps
  RecordingStats camera;                   // the queue and the camera at the end
  std::vector<GaitContact> contacts;       // in the order they began
  std::vector<ContactFigures> figures;     // of each contact
  GaitSummary summary;                     // per foot, over the counted contacts
};

class GaitRecorder {
 public:
  static constexpr int kShortestSeconds = 5;
  static constexpr int kLongestSeconds = 60;
  static constexpr int kDefaultSeconds = 20;

  enum class State {
    Idle,       // nothing recorded since the last clear
    Recording,  // the camera is being read
    Analysing,  // frames still wait for their levels, or the figures are being made
    Done,       // results() holds the recording
  };

  // Starts a recording of `seconds` (held to 5 .. 60) on the camera; the previous results are
  // dropped. False when the camera is not open or a recording still runs.
  bool start(CameraFrameSource& camera, double seconds);
  // The operator's stop: no further frame is read; the frames already recorded are analysed.
  void stop();
  // Everything dropped, the camera given back (the next customer).
  void clear();

  State state() const { return state_; }
  double plannedSeconds() const { return results_.plannedSeconds; }
  // Capture time from the first recorded frame to the newest.
  double elapsedSeconds() const { return recording_.recordedSeconds(); }
  // Contacts of each foot seen so far (while recording, some may still be on the plate).
  int contactsSoFar(FootSide side) const { return finder_.contactsSoFar(side); }

  // The pressure view's draw: the oldest frame waiting for its levels, then its levels.
  bool takeFrame(RecordedFrame& frame) { return recording_.take(frame); }
  void addFrameLevels(const RecordedFrame& frame, const uint8_t* levels);
  // After the draw's frames: ends a recording whose camera thread has ended and, once no frame
  // waits, makes the figures.
  void update();
  // Whether the draw has work: frames waiting, or figures to make.
  bool hasWork() const;
  // Frames recorded but not yet levelled.
  size_t framesWaiting() const { return recording_.stats().framesWaiting; }

  const GaitResults& results() const { return results_; }
  // The operator's corrections of one contact; the figures and means follow.
  void setSideSwapped(size_t contact, bool swapped);
  void setDropped(size_t contact, bool dropped);
  // Advances whenever a recording starts, ends, is corrected or dropped.
  unsigned revision() const { return revision_; }

 private:
  void makeFigures();

  FrameRecording recording_;
  ContactFinder finder_;
  GaitResults results_;
  State state_ = State::Idle;
  unsigned revision_ = 0;
};

// Frames lost by the camera (gaps in its counter) and the frame period from the stamps: the
// middle of the frame-to-frame times per counted frame; 1 / fallbackRate without two frames.
int64_t framesLostIn(const std::vector<RecordedFrameStamp>& frames);
double framePeriodOf(const std::vector<RecordedFrameStamp>& frames, double fallbackRate);
