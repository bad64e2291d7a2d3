// Writes the foot statistics into the main window's result fields.
#pragma once
#include <cstddef>

class FootZoneAnalyzer;

// The analyzer revisions whose results are in the fields. A field is written only when its
// result is new, so a value the operator typed stays until a tool measures again.
struct PublishedRevisions {
  bool valid = false;  // false: nothing published yet, or the fields were cleared by hand
  unsigned left = 0, right = 0, level = 0;
};

// Every share rounded half up to a whole percent, the arch indices unrounded: each foot's
// arch index and zone shares when that foot's revision moved on, the half, upper/lower and
// level-class shares when the level revision moved on. The shoe size follows the length
// fields, measured or typed, and is also kept in `shoeSizeText`.
void publishResults(const FootZoneAnalyzer& analyzer, PublishedRevisions& published,
                    char* shoeSizeText, size_t shoeSizeCapacity);
