// A balance view of the analysis window: it shows one of the pressure view's three balance
// pictures (low left share, even stance, high left share) at canvas size. A view is drawn when
// its window is exposed and when the pressure view captures a new picture into it (it asks for
// the redraw), not on a timer. Mouse events are only logged.
#pragma once
#include <FL/Fl_Gl_Window.H>

#include "pedalyx/imaging/balance_capture.h"
#include "pedalyx/imaging/gl_handles.h"

class BalanceView : public Fl_Gl_Window {
 public:
  // picture: which of the pressure view's balance pictures this view shows (not kNone).
  BalanceView(int x, int y, BalanceSlot picture);
  ~BalanceView() override;
  void draw() override;
  int handle(int event) override;

 private:
  BalanceSlot picture_;
  TextureHandle texture_;
  int viewWidth_;
  int viewHeight_;
};
