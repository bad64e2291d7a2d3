// Callbacks that move between windows, follow the balance ratio, switch the language and keep
// the settings files up to date.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Value_Output.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/Fl_Window.H>

#include <cstdio>
#include <cstdlib>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/balance_captions.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/shell/labels_ui.h"
#include "pedalyx/shell/settings_ui.h"
#include "pedalyx/station/handles.h"

void mainWindowCloseCallback(Fl_Widget*, void*) {
  // The toolkit also sends Escape to a window's callback; a stray Escape must not end an
  // examination, so only the close box ends the program.
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
  flushPendingSettings();
  closeExamination();  // the last customer's record is complete
  // The camera is released, then every window closes, so the event loop and the program end
  // with status 0.
  pressureView->releaseCamera();
  while (Fl_Window* window = Fl::first_window()) window->hide();
}

void reportButtonCallback(Fl_Widget*, void*) {
  reportView->hide();
  dataEntryWindow->show();
}

void remarksButtonCallback(Fl_Widget*, void*) { remarksWindow->show(); }

void analysisAreaButtonCallback(Fl_Widget*, void*) { analysisWindow->show(); }

void swayButtonCallback(Fl_Widget*, void*) { swayWindow->show(); }

void cameraViewButtonCallback(Fl_Widget*, void*) { calibrationWindow->show(); }

void pressureButtonCallback(Fl_Widget*, void*) { pressureWindow->show(); }

void walkButtonCallback(Fl_Widget*, void*) { walkWindow->show(); }

void ratioSliderCallback(Fl_Widget*, void*) {
  // The captions point at these buffers, so they live as long as the program.
  static char lowLeftCaption[kBalanceCaptionSize];
  static char highLeftCaption[kBalanceCaptionSize];
  BalanceCaptions captions = balanceCaptionsFor(ratioSlider->value());
  ratioRightOutput->value(captions.rightShare);
  std::snprintf(lowLeftCaption, sizeof lowLeftCaption, "%s", captions.lowLeft);
  std::snprintf(highLeftCaption, sizeof highLeftCaption, "%s", captions.highLeft);
  balanceCaption2080->label(lowLeftCaption);
  balanceCaption2080->redraw_label();
  balanceCaption8020->label(highLeftCaption);
  balanceCaption8020->redraw_label();
}

void caseInputCallback(Fl_Widget*, void* data) {
  saveCaseInput(static_cast<int>(reinterpret_cast<long>(data)));
}

void traditionalLanguageCallback(Fl_Widget*, void*) {
  applyTraditionalLabels();
  storeLanguage();
}

void simplifiedLanguageCallback(Fl_Widget*, void*) {
  applySimplifiedLabels();
  storeLanguage();
}

void filterSliderCallback(Fl_Widget*, void*) { requestFilterSettingsWrite(); }

void blockSliderCallback(Fl_Widget*, void*) { requestBlockSettingsWrite(); }
