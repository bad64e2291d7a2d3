// The levels of one camera frame by itself, for the walking recording: the live picture
// averages the last three frames in its ring, a roll-over needs every frame's own levels. The
// pipeline's own warp, clean and level programs run with all three ring units holding this one
// frame, so the levels are exactly those of the live passes over a ring filled with it, against
// the live background; the passes write into targets of their own and leave the live picture
// as it was. Needs the pressure view's context current and the canvas projection set.
#pragma once
#include "pedalyx/imaging/colour_pipeline_gl.h"

struct FrameLevelTargets {
  TextureHandle warped, cleaned, levels;
};

// Creates the three 320 x 335 targets (once per context).
void createFrameLevelTargets(FrameLevelTargets& targets);

// Levels of frame (640 x 480 B G R, top row first) into levelImage (320 x 335, bottom row first).
void frameLevels(ColourPipeline& pipeline, FrameLevelTargets& targets, const unsigned char* frame,
                 const CalibrationGrid& left, const CalibrationGrid& right,
                 const FilterValues& filters, unsigned char* levelImage);
