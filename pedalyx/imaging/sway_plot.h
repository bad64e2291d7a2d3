// The sway pictures as plain geometry, drawn the same way in the sway window and on report
// page 2: the feet's outline with each foot's and the combined centre-of-pressure trace and
// the 95 % ellipse, and the stabilogram (front-back and left-right against time). Also the
// figures table of both recordings with the Romberg quotients.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "pedalyx/imaging/sway_recorder.h"

// A drawing area: left, bottom corner and size, y upwards.
struct PlotArea {
  double left = 0, bottom = 0, width = 0, height = 0;
};

enum class SwayInk { Outline, LeftFoot, RightFoot, Both, Ellipse, Frame, ZeroLine };

struct InkColour {
  unsigned char red, green, blue;
};
// The one colour of each ink in the window and on the page.
InkColour inkColour(SwayInk ink);

struct PlotLine {
  SwayInk ink;
  std::vector<PlatePoint> points;  // drawing units, y upwards; drawn as a connected line
};

struct PlotLabel {
  double x, y;  // start of the base line
  std::string text;
};

struct SwayPicture {
  std::vector<PlotLine> lines;
  std::vector<PlatePoint> outlineDots;  // the feet's edge, one dot per edge pixel
  std::vector<PlotLabel> labels;
};

// The whole canvas fitted into the area (its shape kept) with the feet's outline from the
// recording's last level image, each foot's trace, the combined trace and, once the recording
// has ended, its ellipse.
SwayPicture plateTracePicture(const SwayRecording& recording, const PlotArea& area);

// Front-back (upper strip) and left-right (lower strip) combined COP about the mean of the
// samples so far against time, both strips on the same millimetre scale; the labels name the
// picture (`title`, full-width characters, none by default), the strips and the scale and stay
// inside the frames for text `labelSize` units high (the window's 14-pixel labels by default).
SwayPicture stabilogramPicture(const SwayRecording& recording, const PlotArea& area,
                               double labelSize = 14, const std::string& title = "");

// The figures table: a heading row, then one row per figure with its name, the eyes-open
// value, the eyes-closed value and the Romberg quotient where one applies ("-" where a value
// is missing).
using SwayTableRow = std::array<std::string, 4>;
std::vector<SwayTableRow> swayFigureTable(const SwayRecording& eyesOpen,
                                          const SwayRecording& eyesClosed);
