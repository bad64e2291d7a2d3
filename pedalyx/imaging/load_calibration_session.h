// The technician's calibration at the plate: loads recorded one after another, the curve
// fitted as soon as three are there, and what the calibration window shows of it (each load
// with its residual and its prediction when left out). Plain logic; the window stores and
// adopts the calibration it yields.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "pedalyx/imaging/pressure_calibration.h"

// The part of the picture the pad lies in when the technician marks none: the bounding box of
// the largest connected loaded area (8-neighbours), a few pixels wider on each side. The
// whole canvas when nothing is loaded.
PadRegion loadedPadRegion(const uint8_t* levels);

// One recorded load as the window lists it.
struct LoadRow {
  CalibrationRecord record;
  double pressureKpa = 0;
  double meanLevel = 0;
  std::optional<CalibrationResidual> residual;  // against the current curve
  std::optional<CalibrationResidual> leftOut;   // the curve fitted without this load
};

class LoadCalibrationSession {
 public:
  // Starts from the records of the calibration in use, so its curve is shown and loads can be
  // added to it; nothing when the plate is uncalibrated.
  explicit LoadCalibrationSession(const PressureCalibration* inUse = nullptr);

  struct Step {
    bool recorded = false;
    std::string message;     // the new load's line, or why it was refused
    bool fitted = false;     // a curve follows from the records: `calibration()` holds it
    std::string fitRefusal;  // three or more records and no curve: why
  };
  // Records the pad's load from the level image and, from three records on, fits the curve.
  Step record(const uint8_t* levels, const PadRegion& region, double massKg, double padAreaCm2,
              double toneDensity);
  // Back to no records (the calibration in use stays until a new curve is fitted).
  void clear();
  // Takes the last record away and fits again.
  void removeLast();

  const std::vector<CalibrationRecord>& records() const { return records_; }
  // The calibration of the current records, when they give a curve.
  const std::optional<PressureCalibration>& calibration() const { return calibration_; }
  // Why the current records give no curve (empty below three records or with a curve).
  const std::string& fitRefusal() const { return fitRefusal_; }
  std::vector<LoadRow> rows() const;

 private:
  void fit();
  std::vector<CalibrationRecord> records_;
  std::optional<PressureCalibration> calibration_;
  std::string fitRefusal_;
};
