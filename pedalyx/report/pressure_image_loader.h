// Bringing a saved pressure picture back into the pressure view for review. "LOAD" toggles:
// while a picture is under review it returns to the live image; otherwise it asks for a PNG,
// shows it in place of the camera image and rebuilds the pressure levels from its colours.
#pragma once
#include <cstdio>
#include <functional>
#include <string>

// The pressure view's buffers the loader fills.
struct ReviewTarget {
  unsigned char* markedImage = nullptr;        // 320 x 335 x 3, B G R, bottom row first
  unsigned char* levelImage = nullptr;         // 320 x 335, one level per pixel
  const unsigned char* colourTable = nullptr;  // 256 entries R G B
  bool* reviewMode = nullptr;
};

// The file chooser's answer.
struct ChosenFile {
  enum Outcome { kChosen, kCancelled, kFailed } outcome = kCancelled;
  std::string path;   // UTF-8, when chosen
  std::string error;  // the chooser's own text, when failed
};

// Level of every pixel of a B G R picture in buffer order: the first colour table entry among
// 0 to 254 with the pixel's colour, or 255 when the table has no such colour.
void rebuildLevelImage(const unsigned char* bgrPicture, const unsigned char* colourTable,
                       unsigned char* levelImage);

// Takes over a decoded picture (rows top first, as in the file): refuses anything that is not
// 320 x 335 with three 8-bit channels, returning false with the reason in `reason`.
bool takeOverPressurePicture(const unsigned char* bgrTopFirst, int width, int height, int channels,
                             int bytesPerChannel, const ReviewTarget& target, std::string* reason);

// The whole "LOAD" action with the chooser passed in: chooser errors and cancels go to
// `errors` ("ERROR: %s\n", "*** CANCEL\n"), a refused picture to `console`. A picture is
// refused by its header unless it is 320 x 335 with three 8-bit channels, before any pixel is
// decoded. Returns the operator's message for a refused or unreadable picture, else "".
std::string togglePressureReview(const ReviewTarget& target,
                                 const std::function<ChosenFile()>& choose, std::FILE* console,
                                 std::FILE* errors);

// The "LOAD" button with the native file chooser and the pressure view's buffers.
void loadPressureImage();
