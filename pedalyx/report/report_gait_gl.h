// The report's walking page drawn into the current page projection (page pixels, y upwards).
#pragma once

class FTFont;
struct GaitResults;
struct GaitPressures;

struct GaitPageFonts {
  FTFont* heading = nullptr;  // the report's 30-pixel text
  FTFont* text = nullptr;     // kGaitTextSize
};

// The whole page over white; `texture` is a scratch texture name for the pictures and
// `colourTable` the 768-byte colour table (grey levels without one).
void drawGaitPage(const GaitPageFonts& fonts, const GaitResults& results,
                  const GaitPressures& pressures, const unsigned char* colourTable,
                  unsigned int texture);
