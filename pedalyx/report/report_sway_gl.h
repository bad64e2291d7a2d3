// Page 2's sway section drawn into the current page projection (page pixels, y upwards).
#pragma once

class FTFont;
class SwayRecorder;

// Nothing when neither stance was recorded: the page stays as its template shows it. The
// pictures' own labels take `labelFont`.
void drawSwaySection(FTFont* font, FTFont* labelFont, const SwayRecorder& sway);
