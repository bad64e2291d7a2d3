// The small legend picture shown beside the pressure ratio columns: a light card with two red
// bands, 56 x 131 RGBA, drawn by our own code at start.
#pragma once
#include <vector>

class Fl_RGB_Image;

constexpr int kLegendWidth = 56;
constexpr int kLegendHeight = 131;

// Top row first, four bytes (R, G, B, A) per pixel.
std::vector<unsigned char> makeLegendPixels();

// The picture as a toolkit image; made once, lives for the whole run (in the UI library).
Fl_RGB_Image* embeddedLegendImage();
