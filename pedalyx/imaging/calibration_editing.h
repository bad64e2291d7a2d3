// Mouse editing of the calibration grids in the calibration view. The view has the camera
// frame's size, so window coordinates are camera pixels (origin top-left). The left button
// drags the selected reference point of the active grid; a press in the small square at the
// bottom-left corner switches which grid the mouse edits.
#pragma once

struct CalibrationGrid;

constexpr int kGridSelectorSize = 10;

struct CalibrationMouse {
  int activeGrid = 0;  // 0 left foot grid, 1 right foot grid
  int lastX = 0;       // pointer at the last press or drag step
  int lastY = 0;
};

// Left button press at window (x, y): remembers the pointer and switches the active grid when
// the press lies in the selector square. Returns whether it switched.
bool pressCalibrationMouse(CalibrationMouse& mouse, int x, int y, int windowHeight);

// One drag step to (x, y): moves the grid's selected reference point by the pointer's movement
// since the last step and rebuilds the grid's mesh. Returns whether a point moved.
bool dragCalibrationMouse(CalibrationMouse& mouse, CalibrationGrid& grid, int x, int y);
