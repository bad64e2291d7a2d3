// The walking window: the operator chooses a time (5 to 60 s), presses "開始" and the customer
// walks over the plate as often as the time allows, while the countdown runs and the window
// counts each foot's contacts; "停止" ends the recording early. Then every contact is listed
// (foot, start, contact time, angle); the chosen one shows its peak picture with its gait line
// and axis, its phases and, where the plate has a pressure scale, its kPa figures; the operator
// may drop it or give it to the other foot. The per-foot table shows mean, spread and the
// left–right difference. The recording goes to "Gait.csv" and "GAIT/" when it ends, and its
// rows and traces are written again after each correction, so the files say what the report
// shows. The texts follow the language choice.
#pragma once
#include <FL/Fl_Double_Window.H>

#include <string>

#include "pedalyx/imaging/gait_recorder.h"
#include "pedalyx/report/examination_record.h"

class Fl_Box;
class Fl_Browser;
class Fl_Hold_Browser;
class Fl_Progress;
class GaitPictureBox;
class GaitTableBox;
class LegendBox;
class PhaseBarBox;

class WalkWindow : public Fl_Double_Window {
 public:
  // `recorder` is the pressure view's; `startDirectory` is where "Gait.csv" lies.
  WalkWindow(GaitRecorder& recorder, std::string startDirectory);
  ~WalkWindow() override;

  // "開始": a new recording of the chosen time; "停止": its end.
  void startRecording();
  void stopRecording();
  // Ten times a second: countdown, counts, and what a recording that just ended left.
  void followRecorder();
  // The list's choice (0-based contact, -1 for none) and the two checks on it.
  void chooseContact(int contact);
  void dropChosen(bool dropped);
  void swapChosen(bool swapped);
  int chosenContact() const { return chosen_; }

  // What the examination store takes for the recording as its files are now (after the last
  // save or correction); empty before the first.
  const report::ExaminationPart& examinationPart() const { return examinationPart_; }

  Fl_Progress* progress = nullptr;
  Fl_Box* status = nullptr;
  Fl_Box* counts = nullptr;
  Fl_Hold_Browser* contactList = nullptr;
  GaitPictureBox* contactPicture = nullptr;
  PhaseBarBox* contactPhases = nullptr;
  LegendBox* legend = nullptr;
  GaitTableBox* contactTable = nullptr;  // the chosen contact's kPa figures
  GaitTableBox* figureTable = nullptr;   // per foot

 private:
  bool simplified() const;
  void recordingDone();
  void saveCorrection();
  void showResults();
  void showChosen();
  // What the status line says, worded in the current form when shown.
  enum class StatusLine { Hint, PictureHeld, NoCamera, Recording, Done };
  void setStatus(StatusLine line);
  void showStatus();

  GaitRecorder& recorder_;
  std::string startDirectory_;
  std::string recordName_;
  std::vector<std::string> writtenRows_;  // the recording's rows in "Gait.csv"
  bool filesFailed_ = false;              // the last write left a file unwritten
  StatusLine status_ = StatusLine::Hint;
  report::ExaminationPart examinationPart_;
  GaitRecorder::State shownState_ = GaitRecorder::State::Idle;
  unsigned shownRevision_ = ~0u;
  bool shownSimplified_ = false;
  int chosen_ = -1;
  char countdown_[32] = {};
  std::string statusText_, countsText_;
  Fl_Browser* listHeading_ = nullptr;
};
