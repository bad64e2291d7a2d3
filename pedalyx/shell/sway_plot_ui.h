// Toolkit widgets that draw the sway pictures and the figures table of the sway window.
#pragma once
#include <FL/Fl_Widget.H>

#include "pedalyx/imaging/sway_plot.h"

// One picture of one recording, rebuilt from the recording at every draw.
class SwayPictureBox : public Fl_Widget {
 public:
  enum Kind { PlateTrace, Stabilogram };
  SwayPictureBox(int x, int y, int w, int h, const char* label, const SwayRecording& recording,
                 Kind kind);
  void draw() override;

 private:
  const SwayRecording& recording_;
  Kind kind_;
};

// The figures of both recordings and their Romberg quotients.
class SwayTableBox : public Fl_Widget {
 public:
  SwayTableBox(int x, int y, int w, int h, const SwayRecorder& recorder);
  void draw() override;

 private:
  const SwayRecorder& recorder_;
};
