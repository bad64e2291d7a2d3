// The strip of eight reference foot prints in the main window. Each draw frames in red the
// print that matches each measured foot's arch-index field and writes both foot types and the
// shoe-type advice. Left foot columns 0 severe flat, 1 mild flat, 2 normal, 3 high-arched;
// the right foot mirrored in columns 4 (high-arched) to 7 (severe flat).
#pragma once
#include <FL/Fl_Gl_Window.H>

#include <array>
#include <opencv2/core.hpp>
#include <vector>

#include "pedalyx/imaging/gl_handles.h"

class GL_Display_reference : public Fl_Gl_Window {
 public:
  GL_Display_reference();
  ~GL_Display_reference() override;
  void draw() override;
  // Right button: opens the settings window. Every mouse event is consumed.
  int handle(int event) override;
  // Asked by the station's clock: redraws when an arch field, a measured foot or the language
  // changed since the last look; the strip is otherwise still.
  void redrawIfChanged();

  TextureHandle texture;
  std::vector<unsigned char> placeholder;  // neutral grey, shown when the picture is missing
  int placeholderWidth;
  int placeholderHeight;
  float leftColumn = 0;   // 0..3, read by the report page
  float rightColumn = 0;  // 4..7
  cv::Mat picture;        // "./reference.png", B G R, top row first; empty when unreadable
  bool textureDirty = true;

 private:
  std::array<double, 5> lastInputs_{};

  void createTexture();
  void drawStrip();
  void drawFrames(bool leftMeasured, bool rightMeasured);
};

// Foot types of both feet and the shoe-type advice from the computed arch indices, written
// into their output fields. Run by every draw of the view that has a positive arch value.
void updateFootTypeOutputs();
