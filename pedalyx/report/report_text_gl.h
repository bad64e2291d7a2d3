// Text on the report pages: FTGL pixmap glyphs at a raster position, in the report's grey.
#pragma once
#include <memory>
#include <string>

class FTFont;

namespace report {

// The report font at face size 30 (or the size given), or nothing (with a console line) when
// none can be loaded.
std::unique_ptr<FTFont> loadReportFont(int faceSize = 30);

// Writes UTF-8 text with its base line starting at (x, y) page pixels.
void writeText(FTFont* font, int x, int y, const std::string& text);

}  // namespace report
