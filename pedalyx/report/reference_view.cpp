#include "pedalyx/report/reference_view.h"

#include <FL/gl.h>

GL_Display_reference::GL_Display_reference() : Fl_Gl_Window(654, 193, 265, 55) {}

void GL_Display_reference::draw() {
  glClearColor(192 / 255.0f, 192 / 255.0f, 192 / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}
