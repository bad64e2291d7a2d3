// The sway window: the operator chooses a time (10 to 60 s) and the eyes-open or eyes-closed
// condition, presses "開始" and watches the countdown while the pressure view feeds the
// recorder; both recordings are shown as pictures and figures with the Romberg quotients.
// Each finished recording is stored in "Sway.csv" and "SWAY/".
#pragma once
#include <FL/Fl_Double_Window.H>

#include <string>

#include "pedalyx/imaging/sway_recorder.h"

class Fl_Box;
class Fl_Button;
class Fl_Progress;
class Fl_Round_Button;
class Fl_Value_Slider;
class SwayPictureBox;
class SwayTableBox;

class SwayWindow : public Fl_Double_Window {
 public:
  // `recorder` is the pressure view's; `startDirectory` is where "Sway.csv" lies.
  SwayWindow(SwayRecorder& recorder, std::string startDirectory);
  ~SwayWindow() override;

  // "開始": a new recording of the chosen condition and time.
  void startRecording();
  // Ten times a second: countdown, progress, and what a recording that just ended left.
  void followRecorder();

  Fl_Value_Slider* secondsSlider = nullptr;
  Fl_Round_Button* eyesOpenButton = nullptr;
  Fl_Round_Button* eyesClosedButton = nullptr;
  Fl_Button* startButton = nullptr;
  Fl_Progress* progress = nullptr;
  Fl_Box* status = nullptr;

 private:
  void recordingEnded();
  SwayRecorder& recorder_;
  std::string startDirectory_;
  std::string recordName_;  // fixed when the customer's first recording starts
  bool wasRecording_ = false;
  unsigned shownRevision_ = 0;
  char countdown_[32] = {};
  std::string statusText_;
  SwayPictureBox* pictures_[4] = {};
  SwayTableBox* table_ = nullptr;
};
