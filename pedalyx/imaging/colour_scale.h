// The station's pressure colour scale: entry 0 is the no-load colour (dark navy), entries 1 to
// 255 run from blue through cyan, green, yellow and orange to red. All 256 colours differ, so
// a saved picture maps back to its levels exactly.
#pragma once
#include <string>

// Fills table (768 bytes, R G B per entry).
void makeColourScale(unsigned char* table);

// The table as the text of the colour-table file: one entry per line, "r g b".
std::string colourScaleText(const unsigned char* table);
