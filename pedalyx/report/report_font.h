// Finding the font the report is written in: "simsun.ttc" in the working directory when the
// station has one, otherwise a Traditional Chinese font known to the system.
#pragma once
#include <string>

namespace report {

struct FontFile {
  std::string path;  // empty when no usable font was found
  int faceIndex = 0;
};

// Asks the system's font configuration for a font that covers Traditional Chinese.
FontFile findSystemCjkFont(bool bold);

// The report font: "./simsun.ttc" when present, else findSystemCjkFont(false).
FontFile findReportFont();

}  // namespace report
