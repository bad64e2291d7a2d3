// Suggested shoe size from the measured foot lengths.
#pragma once
#include <string>

// The larger length plus 13 mm of room, rounded to the nearest 5 mm (2 rounds down, 3 up),
// as centimetres with one decimal ("26.5").
std::string shoeSizeText(int leftLengthMm, int rightLengthMm);
