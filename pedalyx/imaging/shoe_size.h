// Suggested shoe size from the foot lengths in the size fields, measured or typed.
#pragma once
#include <string>

#include "platform/insole_handoff_contract.h"

// The longest foot the size fields can mean, the one the insole tool takes; a longer or
// non-finite length is no length.
constexpr double kLongestFootMm = platform::kHandoffLongestFootMm;

// The larger length (rounded to whole millimetres) plus 13 mm of room, rounded to the nearest
// 5 mm (2 rounds down, 3 up), as centimetres with one decimal ("26.5"). Empty while neither
// length is known: no positive, finite length up to kLongestFootMm.
std::string shoeSizeText(double leftLengthMm, double rightLengthMm);
