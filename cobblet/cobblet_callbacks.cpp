#include "cobblet/cobblet_callbacks.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>

#include <cstdio>
#include <string>

#include "cobblet/controls.h"
#include "cobblet/insole_fitting.h"
#include "cobblet/insole_output.h"
#include "cobblet/insole_view.h"
#include "cobblet/wedges.h"
#include "platform/clock.h"
#include "platform/message_box_ui.h"

using cobblet::InsoleState;

namespace {

constexpr double kPollPeriod = 1.0 / 120;

InsoleState& insole() { return insoleView->state; }

// Sets the length slider and the arch index of one side from a hand-off and fits that side.
void applyPendingSide(const cobblet::SideValues& values, Fl_Value_Input* archInput, int side) {
  archInput->value(values.archIndex());
  lengthSlider->value(values.footLength() + 10);
  changeLength();
  insole().currentSide = side;
  insole().dirty = true;
}

void readHandoffOnce(InsoleState& state) {
  std::string log, reason, keptAs;
  const cobblet::HandoffRead read =
      cobblet::readHandoffFile(".", state.handoff, log, &reason, &keptAs);
  std::fputs(log.c_str(), stdout);
  if (read == cobblet::HandoffRead::kRefused) {
    platform::postMessageBox(
        "鞋墊資料有誤，未製作鞋墊：" + reason + "\n原檔已保留為 " + keptAs + "。",
        cobblet::kCobbletCaption);
  }
}

}  // namespace

FileChooser chooseFile = nativeChooseFile;

std::string nativeChooseFile(const char* title, const char* filter, bool save) {
  Fl_Native_File_Chooser chooser;
  chooser.type(save ? Fl_Native_File_Chooser::BROWSE_SAVE_FILE
                    : Fl_Native_File_Chooser::BROWSE_FILE);
  chooser.title(title);
  if (filter != nullptr) chooser.filter(filter);
  switch (chooser.show()) {
    case -1:
      std::fprintf(stderr, "ERROR: %s\n", chooser.errmsg());
      std::fprintf(stderr, "*** CANCEL\n");
      return std::string();
    case 1:
      std::fprintf(stderr, "*** CANCEL\n");
      return std::string();
    default:
      return chooser.filename() != nullptr ? chooser.filename() : std::string();
  }
}

void changeWidth() {
  InsoleState& state = insole();
  state.targetWidth = static_cast<float>(widthSlider->value() / state.templateWidth * 150);
  state.dirty = true;
  std::printf(" LU_Point %f \n", state.targetWidth);
}

void changeLength() {
  InsoleState& state = insole();
  state.targetHeight = static_cast<float>(lengthSlider->value() / state.templateLength * 360);
  if (widthFollowsLengthCheck->value()) {
    const double difference = lengthSlider->value() - state.templateLength;
    widthSlider->value(state.templateWidth + cobblet::widthStepForLength(difference));
    changeWidth();
  }
  state.dirty = true;
}

void restoreSize() {
  InsoleState& state = insole();
  widthSlider->value(state.templateWidth);
  state.targetWidth = cobblet::kPlaneColumns;
  lengthSlider->value(state.templateLength);
  state.targetHeight = cobblet::kPlaneRows;
  heightRatioSlider->value(1);
  state.dirty = true;
}

void chooseTemplate(int side) {
  const std::string chosen = chooseFile("Load a image file", "image\t*.bmp\n", false);
  if (!chosen.empty()) insoleView->loadTemplate(chosen, side);
}

void readLeftCallback(Fl_Widget*, void*) { chooseTemplate(cobblet::kLeft); }
void readRightCallback(Fl_Widget*, void*) { chooseTemplate(cobblet::kRight); }

void saveCallback(Fl_Widget*, void*) {
  const std::string chosen = chooseFile("Save The Diabetic Insole", nullptr, true);
  if (chosen.empty()) return;
  if (!insoleView->templateBitmap.loaded()) {
    std::fprintf(stderr, "ERROR: no insole template is loaded, nothing was saved\n");
    return;
  }
  cobblet::saveInsole(insoleView->templateBitmap, insole().resultPlane, chosen);
}

void restoreCallback(Fl_Widget*, void*) { restoreSize(); }
void widthSliderCallback(Fl_Widget*, void*) { changeWidth(); }
void lengthSliderCallback(Fl_Widget*, void*) { changeLength(); }

void slopeLimitCallback(Fl_Widget*, void*) {
  if (!cobblet::storeSlopeLimitSetting(".", slopeLimitCheck->value() != 0)) {
    std::fprintf(stderr, "The 30-degree setting could not be stored in %s\n",
                 cobblet::kSlopeLimitSettingPath);
  }
  insole().dirty = true;
}

void markDirtyCallback(Fl_Widget*, void*) { insole().dirty = true; }

void leftArchIndexCallback(Fl_Widget*, void*) {
  insole().currentSide = cobblet::kLeft;
  insole().dirty = true;
}

void rightArchIndexCallback(Fl_Widget*, void*) {
  insole().currentSide = cobblet::kRight;
  insole().dirty = true;
}

void wedgeCallback(Fl_Widget*, void* button) {
  const auto which = static_cast<cobblet::WedgeButton>(reinterpret_cast<intptr_t>(button));
  Fl_Value_Input* amount = wholeHeelInput;
  switch (which) {
    case cobblet::WedgeButton::kInnerArch:
      amount = innerArchInput;
      break;
    case cobblet::WedgeButton::kOuterArch:
      amount = outerArchInput;
      break;
    case cobblet::WedgeButton::kInnerHeel:
      amount = innerHeelInput;
      break;
    case cobblet::WedgeButton::kOuterHeel:
      amount = outerHeelInput;
      break;
    case cobblet::WedgeButton::kWholeHeel:
      amount = wholeHeelInput;
      break;
  }
  InsoleState& state = insole();
  cobblet::pressWedgeButton(state.workPlane, which, state.landmarks, state.currentBox,
                            static_cast<float>(amount->value()));
  state.resultPlane = state.workPlane;
}

void pollTimer(void* data) {
  auto* poll = static_cast<cobblet::PollState*>(data);
  InsoleState& state = insole();
  if (cobblet::advancePollClock(*poll, platform::epochSeconds())) {
    std::printf("Loop Check! %ld\n", static_cast<long>(poll->currentSecond));
    // Without a template or an off-screen buffer no insole could be written: the hand-off
    // stays for a later start that can. One hand-off at a time: the next waits until every
    // foot of this one is saved.
    if (!insoleView->readyToFit()) {
      std::printf("No insole can be made now: the hand-off is left in place\n");
    } else if (state.handoff.takenPath.empty()) {
      readHandoffOnce(state);
    }
  }
  if (state.handoff.leftPending) {
    applyPendingSide(state.handoff.left, leftArchIndexInput, cobblet::kLeft);
  } else if (state.handoff.rightPending) {
    applyPendingSide(state.handoff.right, rightArchIndexInput, cobblet::kRight);
  }
  std::fflush(stdout);
  insoleView->redraw();
  Fl::repeat_timeout(kPollPeriod, pollTimer, data);
}

void startPolling(cobblet::PollState* state) { Fl::add_timeout(kPollPeriod, pollTimer, state); }
