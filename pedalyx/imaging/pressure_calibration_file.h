// "pressure_calibration.txt" in the working directory: the load calibration with every
// recorded load, so the curve can be refitted and checked. Lines, in this order:
//
//   pressure_calibration 1
//   load <mass kg> <pad area cm²> <tone density> <level>:<pixels> <level>:<pixels> ...
//   ...                                              (one line per recorded load)
//   curve <level> <kPa> <level> <kPa> ...            (the fitted curve's points)
//   end
//
// On reading, the curve is fitted again from the loads and must equal the stored one: the loads
// are the calibration, the curve line lets a reader see it and shows that the file is whole.
#pragma once
#include <optional>
#include <string>

#include "pedalyx/imaging/pressure_calibration.h"

constexpr const char* kPressureCalibrationFile = "pressure_calibration.txt";
// A longer file is refused before it is read (64 loads of 255 levels are about 160 KB).
constexpr size_t kMaxPressureCalibrationBytes = 256 * 1024;

std::string formatPressureCalibration(const PressureCalibration& calibration);

// The calibration a text holds, or nothing with the reason in `reason`: a line that is not
// understood or cut short, a number that is not finite or out of range, a missing "end", a
// curve that does not follow from the loads, or loads the fit refuses.
std::optional<PressureCalibration> parsePressureCalibration(const std::string& text,
                                                            std::string& reason);

// Read at start. A missing file leaves the station uncalibrated silently; a damaged one too,
// and says why on standard error.
std::optional<PressureCalibration> loadPressureCalibration(const std::string& path);

// Written whole or not at all; false (file untouched) when it could not be written.
bool savePressureCalibration(const std::string& path, const PressureCalibration& calibration);
