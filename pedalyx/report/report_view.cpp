#include "pedalyx/report/report_view.h"

#include <FL/gl.h>

GL_Display_report::GL_Display_report() : Fl_Gl_Window(0, 0, 500, 707) {}

void GL_Display_report::draw() {
  glClearColor(192 / 255.0f, 192 / 255.0f, 192 / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}
