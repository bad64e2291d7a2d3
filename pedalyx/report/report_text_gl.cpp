#include "pedalyx/report/report_text_gl.h"

#include <GL/glew.h>
// GLEW before the other GL headers.
#include <FTGL/ftgl.h>

#include <cstdio>

#include "pedalyx/report/report_font.h"

namespace report {

std::unique_ptr<FTFont> loadReportFont(int faceSize) {
  FontFile file = findReportFont();
  if (file.path.empty()) {
    std::fprintf(stderr, "no font for the report found (simsun.ttc or a Chinese system font)\n");
    return nullptr;
  }
  auto font = std::make_unique<FTPixmapFont>(file.path.c_str());
  if (font->Error() != 0 || !font->FaceSize(faceSize, 72)) {
    std::fprintf(stderr, "can not load the report font %s\n", file.path.c_str());
    return nullptr;
  }
  font->CharMap(ft_encoding_unicode);
  return font;
}

void writeText(FTFont* font, int x, int y, const std::string& text) {
  if (font == nullptr || text.empty()) return;
  glDisable(GL_TEXTURE_2D);
  glColor3f(0.5f, 0.5f, 0.5f);
  glRasterPos2i(x, y);
  font->Render(text.c_str());
  glColor3f(1, 1, 1);
}

}  // namespace report
