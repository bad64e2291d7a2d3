#include <FL/Fl_RGB_Image.H>

#include "pedalyx/shell/legend_image.h"

Fl_RGB_Image* embeddedLegendImage() {
  static const std::vector<unsigned char> pixels = makeLegendPixels();
  static Fl_RGB_Image image(pixels.data(), kLegendWidth, kLegendHeight, 4);
  return &image;
}
