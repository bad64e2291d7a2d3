// Where fitted insoles are written: automatically per foot into the shared output folder, or
// under a name the user chooses.
#pragma once
#include <string>

#include "cobblet/height_plane.h"
#include "cobblet/insole_bitmap.h"

namespace cobblet {

constexpr const char* kInsoleFolder = "./PDF_INSOLES";
// Title of the tool's message boxes.
constexpr const char* kCobbletCaption = "鞋墊製作";

// "./PDF_INSOLES/NAME_iLeft.bmp" or "..._iRight.bmp"; the record name is made safe for a file
// name first, so it can never point outside the folder.
std::string automaticInsolePath(const std::string& recordName, int side);

// The chosen name with ".bmp" appended unless it already ends in exactly ".bmp".
std::string withBmpEnding(const std::string& path);

// Paints the insole into the template bitmap and writes it under pathUtf8 (".bmp" appended as
// above), then its 3-D model beside it. On failure prints a line on standard error, sets
// failedPath to the file that was not written (the bitmap or the model) and returns false.
bool saveInsole(InsoleBitmap& bitmap, const HeightPlane& insole, const std::string& pathUtf8,
                std::string* failedPath = nullptr);

// "NAME.stl" for "NAME.bmp": the 3-D model's place beside the bitmap.
std::string modelPathBeside(const std::string& bmpPath);

// Writes the insole's STL with the model settings of the working directory.
bool saveInsoleModel(const HeightPlane& insole, const std::string& path);

// Automatic saving of one foot: creates the output folder when it is missing, then saves as
// saveInsole does.
bool saveInsoleForSide(InsoleBitmap& bitmap, const HeightPlane& insole,
                       const std::string& recordName, int side, std::string* failedPath = nullptr);

}  // namespace cobblet
