// The report's walking page drawn into the current page projection (page pixels, y upwards).
#pragma once

class FTFont;
struct GaitResults;
struct GaitPressures;

// The page's own parts over its template; `font` is the report font at kGaitTextSize, `texture`
// a scratch texture name for the pictures and `colourTable` the 768-byte colour table (grey
// levels without one).
void drawGaitPage(FTFont* font, const GaitResults& results, const GaitPressures& pressures,
                  const unsigned char* colourTable, unsigned int texture);
