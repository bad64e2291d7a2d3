#include "pedalyx/imaging/calibration_editing.h"

#include "pedalyx/imaging/calibration_grid.h"

bool pressCalibrationMouse(CalibrationMouse& mouse, int x, int y, int windowHeight) {
  mouse.lastX = x;
  mouse.lastY = y;
  if (x < kGridSelectorSize && windowHeight - y < kGridSelectorSize) {
    mouse.activeGrid = 1 - mouse.activeGrid;
    return true;
  }
  return false;
}

bool dragCalibrationMouse(CalibrationMouse& mouse, CalibrationGrid& grid, int x, int y) {
  const bool moves = grid.referenceSelected && grid.selectedReference >= 0 &&
                     grid.selectedReference < CalibrationGrid::kReferenceCount;
  if (moves) {
    CalibrationPoint& point = grid.reference[grid.selectedReference];
    point.x += static_cast<float>(x - mouse.lastX);
    point.y += static_cast<float>(y - mouse.lastY);
    rebuildMesh(grid);
  }
  mouse.lastX = x;
  mouse.lastY = y;
  return moves;
}
