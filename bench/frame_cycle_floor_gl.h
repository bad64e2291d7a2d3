// The floor of one live frame cycle: the same work as the pressure view's pipeline written as
// plainly as GL allows, so the pipeline's time can be judged as a ratio to it in the same run.
// One small program per pass, one framebuffer per target attached once, no mipmaps, no depth
// buffer, the warp mesh in a vertex buffer, nearest sampling where a pass reads its source 1:1.
// Needs a current GL context with GLEW initialised.
#pragma once
#include <GL/glew.h>

#include "pedalyx/imaging/calibration_grid.h"

class FrameCycleFloor {
 public:
  // table: the 256-entry colour table (768 bytes R G B).
  FrameCycleFloor(const CalibrationGrid& left, const CalibrationGrid& right,
                  const unsigned char* table);
  ~FrameCycleFloor();
  FrameCycleFloor(const FrameCycleFloor&) = delete;
  FrameCycleFloor& operator=(const FrameCycleFloor&) = delete;

  // Camera frame (640 x 480 B G R) warped into the background or ring slot `slot`.
  void warp(const unsigned char* frame, bool toBackground, int slot);
  // Clean pass, blue mask and level pass; the level plane (320 x 335) read back into levels.
  void levels(float noise, float gen, unsigned char* levels);
  // Levels through the colour table onto a width x height quad of the window's back buffer.
  void colour(int width, int height);
  // One whole live cycle: warp into `slot`, levels, colour onto the view, glFinish.
  void cycle(const unsigned char* frame, int slot, float noise, float gen, unsigned char* levels,
             int viewWidth, int viewHeight);

 private:
  enum Target { kRing0, kRing1, kRing2, kBackground, kCleaned, kLevel, kTargetCount };
  GLuint camera_ = 0, table_ = 0;
  GLuint targets_[kTargetCount] = {};
  GLuint framebuffers_[kTargetCount] = {};
  GLuint warpProgram_ = 0, cleanProgram_ = 0, levelProgram_ = 0, colourProgram_ = 0;
  GLint noiseLocation_ = -1, genLocation_ = -1;
  GLuint meshBuffer_ = 0;
  GLsizei meshVertices_ = 0;

  void drawToTarget(Target target);
};
