#include "pedalyx/imaging/balance_view.h"

#include <FL/gl.h>

GL_Display_2080::GL_Display_2080() : Fl_Gl_Window(40, 116, 320, 335) {}

void GL_Display_2080::draw() {
  glClearColor(192 / 255.0f, 192 / 255.0f, 192 / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

GL_Display_5050::GL_Display_5050() : Fl_Gl_Window(405, 116, 320, 335) {}

void GL_Display_5050::draw() {
  glClearColor(192 / 255.0f, 192 / 255.0f, 192 / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

GL_Display_8020::GL_Display_8020() : Fl_Gl_Window(770, 116, 320, 335) {}

void GL_Display_8020::draw() {
  glClearColor(192 / 255.0f, 192 / 255.0f, 192 / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}
