// Writes the foot statistics into the main window's result fields.
#pragma once
#include <cstddef>

class FootZoneAnalyzer;

// Every share rounded half up to a whole percent, the arch indices unrounded, and the shoe
// size from the longer measured foot, which is also kept in `shoeSizeText`.
void publishResults(const FootZoneAnalyzer& analyzer, int leftLengthMm, int rightLengthMm,
                    char* shoeSizeText, size_t shoeSizeCapacity);
