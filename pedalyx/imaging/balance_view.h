// The three balance views of the analysis window. Each shows one of the pressure view's
// balance pictures (low left share, even stance, high left share). A view is drawn when its
// window is exposed and when the pressure view captures a new picture into it (it asks for the
// redraw), not on a timer.
#pragma once
#include <FL/Fl_Gl_Window.H>

#include "pedalyx/imaging/gl_handles.h"

// Common body of the three views; mouse events are only logged.
class BalanceView : public Fl_Gl_Window {
 public:
  ~BalanceView() override;
  void draw() override;
  int handle(int event) override;

 protected:
  // picture: which of the pressure view's balance pictures this view shows.
  BalanceView(int x, int y, const unsigned char* (*picture)());

 private:
  const unsigned char* (*picture_)();
  TextureHandle texture_;
  int viewWidth_;
  int viewHeight_;
};

// Left foot at the low share (default 20 %), right foot at its complement.
class GL_Display_2080 : public BalanceView {
 public:
  GL_Display_2080();
};

// Even stance, 50 % on each foot.
class GL_Display_5050 : public BalanceView {
 public:
  GL_Display_5050();
};

// Left foot at the high share (default 80 %).
class GL_Display_8020 : public BalanceView {
 public:
  GL_Display_8020();
};
