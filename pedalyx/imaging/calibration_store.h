// The calibration store: both grids' reference points in 128 bytes, four 32-byte blocks (x of
// the left grid, y of the left grid, x of the right grid, y of the right grid). Each block
// holds the 16 points' coordinate in point order as unsigned 16-bit little-endian numbers equal
// to the coordinate + 100. A blank store (all bytes 0) holds no calibration. Only the first
// byte being 0 does not make it blank: that is also the low byte of a point at x = 156.
#pragma once
#include <array>
#include <string>

#include "pedalyx/imaging/calibration_grid.h"

constexpr int kCalibrationStoreBytes = 128;
using CalibrationStoreBytes = std::array<unsigned char, kCalibrationStoreBytes>;

// The store file in the working directory.
constexpr const char* kCalibrationStoreFile = "calibration_store.bin";

// How far outside the camera frame a calibration point may lie, in camera pixels.
constexpr float kCalibrationMargin = 100;

// A point the grid can use: finite and within the camera frame widened by kCalibrationMargin.
bool calibrationPointUsable(const CalibrationGrid& grid, float x, float y);

// Store bytes of both grids. Coordinates are clamped to the storable range -100 .. 65435 and
// then truncated toward zero, so an out-of-range point never wraps into a wrong one.
CalibrationStoreBytes encodeCalibrationStore(const CalibrationGrid& left,
                                             const CalibrationGrid& right);

// Sets both grids' points from store bytes (logging "%d (%f,%f)" per point) and rebuilds their
// meshes. Returns false, grids untouched, when the store is empty or shorter than 128 bytes.
bool decodeCalibrationStore(const std::string& bytes, CalibrationGrid& left,
                            CalibrationGrid& right);

// Both grids from the store file, or the fallback layout when it is missing, short or empty;
// both meshes are rebuilt either way. Returns whether the store was used.
bool loadCalibrationStore(const std::string& path, CalibrationGrid& left, CalibrationGrid& right);

// Writes both grids into the store file atomically. False (file untouched) on failure, or
// when a point is not a finite number, with a console line.
bool saveCalibrationStore(const std::string& path, const CalibrationGrid& left,
                          const CalibrationGrid& right);

enum class ReferenceFileResult { Loaded, Missing, Refused };

// Reads 32 numbers x0 y0 .. x15 y15 into grid's points: camera pixels when the first number is
// greater than 1, otherwise fractions of the image size. A text with fewer than 32 numbers, or
// with a point that is not usable (not finite, or outside the frame and its margin), is refused
// with a console line and leaves the points as they are. The mesh is rebuilt in every case.
ReferenceFileResult applyReferencePointText(const std::string& text, CalibrationGrid& grid);

// The same for a file; a missing file leaves the points and rebuilds the mesh.
ReferenceFileResult readReferencePointFile(const std::string& path, CalibrationGrid& grid);
