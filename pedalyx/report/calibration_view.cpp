#include "pedalyx/report/calibration_view.h"

#include <FL/gl.h>

GL_Display_webcam1::GL_Display_webcam1() : Fl_Gl_Window(0, 0, 640, 480) {}

void GL_Display_webcam1::draw() {
  glClearColor(192 / 255.0f, 192 / 255.0f, 192 / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}
