// Drawing of a calibration grid's reference points over the camera picture in the calibration
// view. The caller's viewport spans the 640 x 480 camera image with y upwards, so camera point
// (x, y) is drawn at (x, 480 - y).
#pragma once

struct CalibrationGrid;

// All 16 points as 5-pixel dots in the current colour, the selected one (if any) as a red dot
// with a yellow centre, then each point's number; leaves colour white and point size 1.
void drawCalibrationOverlay(CalibrationGrid& grid);
