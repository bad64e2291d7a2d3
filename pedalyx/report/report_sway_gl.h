// Page 2's sway section drawn into the current page projection (page pixels, y upwards).
#pragma once

class FTFont;
class SwayRecorder;

// The fonts of the section: the report's text for the heading and captions, the table's and
// the pictures' labels at kSwayTableTextSize and kSwayLabelTextSize.
struct SwaySectionFonts {
  FTFont* text = nullptr;
  FTFont* table = nullptr;
  FTFont* labels = nullptr;
};

// Nothing when neither stance was recorded: the page stays as its template shows it.
// `belowPressure`: the pressure section lies above, the sway section takes its shorter form.
void drawSwaySection(const SwaySectionFonts& fonts, const SwayRecorder& sway,
                     bool belowPressure = false);
// Whether the customer's sway shows on page 2.
bool swaySectionShown(const SwayRecorder* sway);
