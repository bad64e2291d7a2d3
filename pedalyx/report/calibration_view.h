// The calibration window: the raw camera frame the pressure view is working on, with the two
// calibration grids' reference points over it (left foot grid blue, right foot grid green).
// The right button picks the nearest point of the active grid, the left button drags it, and
// the small square at the bottom-left corner switches the active grid. Every drag step
// rebuilds the grid's mesh, so the pressure view follows at its next frame.
#pragma once
#include <FL/Fl_Gl_Window.H>

#include "pedalyx/imaging/calibration_editing.h"
#include "pedalyx/imaging/gl_handles.h"

struct CalibrationGrid;

class GL_Display_webcam1 : public Fl_Gl_Window {
 public:
  GL_Display_webcam1();
  ~GL_Display_webcam1() override;
  void draw() override;
  int handle(int event) override;

  int activeGrid() const { return mouse_.activeGrid; }

 private:
  // The grid the mouse edits, or nullptr before the pressure view exists.
  CalibrationGrid* editedGrid() const;
  void drawFrame();
  void drawGridSelector();

  TextureHandle texture_;
  int viewWidth_;
  int viewHeight_;
  CalibrationMouse mouse_;
};
