// Calibration grid of one foot: 16 reference points on the camera image (four columns of four)
// define a smooth bicubic surface that is sampled into a 13 x 13 mesh of camera coordinates.
// The warp pass draws the mesh as 12 x 12 textured quads into the foot's 128 x 335 canvas
// strip, which rectifies the curved plate area seen by the camera.
#pragma once
#include <array>

#include "pedalyx/imaging/canvas_geometry.h"

struct CalibrationPoint {
  float x;  // camera pixels, x grows to the right
  float y;  // camera pixels, y grows downwards
};

struct CalibrationGrid {
  static constexpr int kMeshNodesPerSide = 13;  // room for N, M <= 12
  static constexpr int kReferenceCount = 16;

  int imageWidth = kCameraWidth;
  int imageHeight = kCameraHeight;
  char labelText[16] = {};
  // Node (c, r) at index c + 13 r, camera pixels.
  float meshX[kMeshNodesPerSide * kMeshNodesPerSide] = {};
  float meshY[kMeshNodesPerSide * kMeshNodesPerSide] = {};
  // Point 4 g + p is point p (top to bottom) of column g; it sits on mesh node (4 g, 4 p).
  CalibrationPoint reference[kReferenceCount] = {};
  int referenceCount = kReferenceCount;
  int meshColumns = 12;  // N: mesh nodes c = 0..N
  int meshRows = 12;     // M: mesh nodes r = 0..M
  int selectedReference = 0;
  bool referenceSelected = false;  // stays set once a point has been picked
};

// Index of mesh node (c, r) in meshX / meshY.
inline int meshIndex(int column, int row) {
  return column + CalibrationGrid::kMeshNodesPerSide * row;
}

// Recomputes meshX / meshY from the reference points: a tensor-product cubic through the 4 x 4
// points at parameters 0, 1/3, 2/3, 1. Runs on every drag step in the calibration view.
void rebuildMesh(CalibrationGrid& grid);

// Selects the reference point nearest to camera pixel (x, y); the earlier point wins a tie and
// the running best distance is kept truncated to whole pixels. Logs the chosen index.
void pickCalibrationPoint(CalibrationGrid& grid, float x, float y);

// The layout used when no calibration has been stored: the left foot's columns at camera
// x 580, 520, 460, 400, the right foot's at 240, 180, 120, 60, rows at y 384, 288, 192, 96.
// Sets the points only; the caller rebuilds the meshes.
void setFallbackLayout(CalibrationGrid& left, CalibrationGrid& right);

// One corner of a warp-mesh quad: texture coordinate in the camera image (0..1, t = 0 on the
// camera's first row) and integer canvas position.
struct WarpVertex {
  float s;
  float t;
  int x;
  int y;
};

constexpr int kWarpVertexCount = 12 * 12 * 4;

// The quads of the grid's mesh drawn into the canvas strip starting at x0: for each cell
// (c, r) the corners (c+1, r+1), (c, r+1), (c, r), (c+1, r). Mesh row 0 is the strip's top.
// Returns the number of vertices written (4 N M).
int warpMeshVertices(const CalibrationGrid& grid, int x0,
                     std::array<WarpVertex, kWarpVertexCount>& out);
