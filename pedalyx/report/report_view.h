// Placeholder: the view exists at its fixed place and clears to the default grey.
#pragma once
#include <FL/Fl_Gl_Window.H>

class GL_Display_report : public Fl_Gl_Window {
 public:
  GL_Display_report();
  void draw() override;
};
