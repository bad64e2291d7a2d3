// Page 2's pressure section and the legend's pressures, drawn into the current page projection
// (page pixels, y upwards).
#pragma once
#include "pedalyx/imaging/pressure_figures.h"

class FTFont;

struct PressureSectionFonts {
  FTFont* text = nullptr;   // the heading, the report's text
  FTFont* table = nullptr;  // the table and the legend's pressures
};

// Nothing for levels only: the page stays as it was. With a recorded stance (`withSway`) the
// section lies above the sway section, which covers the legend; without one it covers the
// template's notes and the legend shows kPa at its class bounds.
void drawPressureSection(const PressureSectionFonts& fonts, const PressureFigures& figures,
                         const PressureScale& scale, bool withSway);
