// Placeholder: the view exists at its fixed place and clears to the default grey.
#pragma once
#include <FL/Fl_Gl_Window.H>

class GL_Display_2080 : public Fl_Gl_Window {
 public:
  GL_Display_2080();
  void draw() override;
};

class GL_Display_5050 : public Fl_Gl_Window {
 public:
  GL_Display_5050();
  void draw() override;
};

class GL_Display_8020 : public Fl_Gl_Window {
 public:
  GL_Display_8020();
  void draw() override;
};
