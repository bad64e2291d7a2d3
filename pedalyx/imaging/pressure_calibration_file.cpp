#include "pedalyx/imaging/pressure_calibration_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "pedalyx/imaging/canvas_geometry.h"
#include "platform/files.h"

namespace {

constexpr const char* kHeader = "pressure_calibration 1";

std::vector<std::string> wordsOf(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// A whole word as a finite number.
std::optional<double> numberOf(const std::string& word) {
  char* end = nullptr;
  const double value = std::strtod(word.c_str(), &end);
  if (word.empty() || *end != '\0' || !std::isfinite(value)) return std::nullopt;
  return value;
}

// A whole word as a whole number low..high.
std::optional<long> wholeOf(const std::string& word, long low, long high) {
  char* end = nullptr;
  const long value = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0' || value < low || value > high) return std::nullopt;
  return value;
}

std::optional<CalibrationRecord> loadOf(const std::vector<std::string>& words,
                                        std::string& reason) {
  if (words.size() < 5) {
    reason = "a load line is cut short";
    return std::nullopt;
  }
  const std::optional<double> mass = numberOf(words[1]), area = numberOf(words[2]),
                              gen = numberOf(words[3]);
  if (!mass || !area || !gen) {
    reason = "a load's mass, pad area or tone density is not a finite number";
    return std::nullopt;
  }
  CalibrationRecord record{*mass, *area, *gen, {}};
  for (size_t i = 4; i < words.size(); ++i) {
    const size_t colon = words[i].find(':');
    const std::optional<long> level =
        colon == std::string::npos ? std::nullopt : wholeOf(words[i].substr(0, colon), 1, 255);
    const std::optional<long> pixels = colon == std::string::npos
                                           ? std::nullopt
                                           : wholeOf(words[i].substr(colon + 1), 1, kCanvasPixels);
    if (!level || !pixels || record.levelCounts[*level] != 0) {
      reason = "a load's level distribution holds \"" + words[i] + "\"";
      return std::nullopt;
    }
    record.levelCounts[*level] = static_cast<uint32_t>(*pixels);
  }
  const std::string problem = recordProblem(record);
  if (!problem.empty()) {
    reason = "a load is refused: " + problem;
    return std::nullopt;
  }
  return record;
}

std::optional<CalibrationCurve> curveOf(const std::vector<std::string>& words) {
  if (words.size() % 2 != 1) return std::nullopt;
  CalibrationCurve curve;
  for (size_t i = 1; i + 1 < words.size(); i += 2) {
    const std::optional<double> level = numberOf(words[i]), kpa = numberOf(words[i + 1]);
    if (!level || !kpa) return std::nullopt;
    curve.points.push_back({*level, *kpa});
  }
  return curve;
}

bool sameCurve(const CalibrationCurve& a, const CalibrationCurve& b) {
  if (a.points.size() != b.points.size()) return false;
  auto near = [](double x, double y) { return std::abs(x - y) <= 1e-5 + 1e-7 * std::abs(x); };
  for (size_t i = 0; i < a.points.size(); ++i) {
    if (!near(a.points[i].level, b.points[i].level) || !near(a.points[i].kpa, b.points[i].kpa))
      return false;
  }
  return true;
}

// The shortest text that reads back as exactly `value`, so the loads survive the file.
std::string exactText(double value) {
  char text[32];
  for (int digits = 6; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

}  // namespace

std::string formatPressureCalibration(const PressureCalibration& calibration) {
  std::string text = std::string(kHeader) + "\n";
  char number[64];
  for (const CalibrationRecord& record : calibration.records) {
    text += "load " + exactText(record.massKg) + " " + exactText(record.padAreaCm2) + " " +
            exactText(record.toneDensity);
    for (int level = 1; level < 256; ++level) {
      if (record.levelCounts[level] == 0) continue;
      std::snprintf(number, sizeof number, " %d:%u", level, record.levelCounts[level]);
      text += number;
    }
    text += "\n";
  }
  text += "curve";
  for (const LoadPoint& point : calibration.curve.points) {
    std::snprintf(number, sizeof number, " %.6f %.6f", point.level, point.kpa);
    text += number;
  }
  return text + "\nend\n";
}

std::optional<PressureCalibration> parsePressureCalibration(const std::string& text,
                                                            std::string& reason) {
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || wordsOf(line) != wordsOf(kHeader)) {
    reason = "it does not begin with \"" + std::string(kHeader) + "\"";
    return std::nullopt;
  }
  std::vector<CalibrationRecord> records;
  std::optional<CalibrationCurve> stored;
  bool ended = false;
  while (std::getline(lines, line)) {
    const std::vector<std::string> words = wordsOf(line);
    if (words.empty()) continue;
    if (ended) {
      reason = "it goes on after \"end\"";
      return std::nullopt;
    }
    if (words[0] == "load" && !stored) {
      if (records.size() >= static_cast<size_t>(CalibrationLimits::kMaxRecords)) {
        reason = "it holds more loads than a calibration keeps";
        return std::nullopt;
      }
      std::optional<CalibrationRecord> record = loadOf(words, reason);
      if (!record) return std::nullopt;
      records.push_back(*record);
    } else if (words[0] == "curve" && !stored) {
      stored = curveOf(words);
      if (!stored) {
        reason = "its curve line is cut short or holds a number that is not finite";
        return std::nullopt;
      }
    } else if (words[0] == "end" && words.size() == 1 && stored) {
      ended = true;
    } else {
      reason = "it holds a line not understood: \"" + line.substr(0, 40) + "\"";
      return std::nullopt;
    }
  }
  if (!ended) {
    reason = "it is cut short (no curve and \"end\")";
    return std::nullopt;
  }
  std::optional<PressureCalibration> calibration =
      makePressureCalibration(std::move(records), reason);
  if (!calibration) return std::nullopt;
  if (!sameCurve(calibration->curve, *stored)) {
    reason = "its curve does not follow from its loads";
    return std::nullopt;
  }
  return calibration;
}

std::optional<PressureCalibration> loadPressureCalibration(const std::string& path) {
  if (!platform::fileExists(path)) return std::nullopt;
  const std::optional<std::string> text =
      platform::readWholeFile(path, kMaxPressureCalibrationBytes);
  std::string reason = "it cannot be read or is longer than a calibration can be";
  std::optional<PressureCalibration> calibration;
  if (text) calibration = parsePressureCalibration(*text, reason);
  if (!calibration) {
    std::fprintf(stderr, "%s refused, the station is not calibrated for pressure: %s\n",
                 path.c_str(), reason.c_str());
  }
  return calibration;
}

bool savePressureCalibration(const std::string& path, const PressureCalibration& calibration) {
  if (!platform::writeFileAtomic(path, formatPressureCalibration(calibration))) {
    std::fprintf(stderr, "%s could not be written; it is as it was\n", path.c_str());
    return false;
  }
  return true;
}
