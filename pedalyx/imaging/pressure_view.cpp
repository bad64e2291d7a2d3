#include "pedalyx/imaging/pressure_view.h"

#include <FL/gl.h>

GL_Display_Pressure::GL_Display_Pressure() : Fl_Gl_Window(5, 86, 630, 540) {}

void GL_Display_Pressure::draw() {
  glClearColor(192 / 255.0f, 192 / 255.0f, 192 / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}
