#include "pedalyx/imaging/balance_capture_view.h"

#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/gl.h>

#include "pedalyx/imaging/balance_capture.h"
#include "pedalyx/imaging/balance_view.h"
#include "pedalyx/imaging/canvas_geometry.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/station/handles.h"

void captureBalanceFrames(GL_Display_Pressure& view) {
  BalanceReading reading;
  reading.autoCapture = autoCaptureCheck->value() != 0;
  reading.leftShare = shareLeftInput->value();
  reading.slider = ratioSlider->value();
  for (int i = 0; i < 12; ++i) reading.zones[i] = zoneInputs[i]->value();

  unsigned char* picture = nullptr;
  Fl_Value_Output* archLeft = nullptr;
  Fl_Value_Output* archRight = nullptr;
  Fl_Widget* shownIn = nullptr;
  switch (balanceCaptureSlot(reading)) {
    case BalanceSlot::kNone:
      return;
    case BalanceSlot::kLow:
      picture = view.balanceImage2080;
      archLeft = archOutput2080L;
      archRight = archOutput2080R;
      shownIn = balanceView2080;
      break;
    case BalanceSlot::kEven:
      picture = view.balanceImage5050;
      archLeft = archOutput5050L;
      archRight = archOutput5050R;
      shownIn = balanceView5050;
      break;
    case BalanceSlot::kHigh:
      picture = view.balanceImage8020;
      archLeft = archOutput8020L;
      archRight = archOutput8020R;
      shownIn = balanceView8020;
      break;
  }
  // The canvas goes into the back buffer, which the view's own display pass overwrites next.
  view.drawColourPicture(kCanvasWidth, kCanvasHeight);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kCanvasWidth, kCanvasHeight, GL_RGB, GL_UNSIGNED_BYTE, picture);
  archLeft->value(leftArchInput->value());
  archRight->value(rightArchInput->value());
  // The balance views draw only when asked: this is their new picture.
  if (shownIn != nullptr) shownIn->redraw();
}
