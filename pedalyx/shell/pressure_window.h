// The pressure window "足底壓力", opened from the analysis window: for the held picture, per
// foot, the contact area, force, per cent of body weight, peak and mean pressure of the whole
// foot and of its six zones, with how the pressures were obtained and the body-weight check.
// It follows the held picture, its axes, the weight field and the calibration, and is empty
// while the picture is live (the figures clear with the customer's other results).
#pragma once
#include <FL/Fl_Double_Window.H>

#include <array>
#include <string>
#include <vector>

#include "pedalyx/imaging/pressure_table.h"

class Fl_Box;
class PressureTableBox;

class PressureWindow : public Fl_Double_Window {
 public:
  PressureWindow();
  ~PressureWindow() override;
  void show() override;

  // Ten times a second while shown: new figures when anything they come from changed.
  void follow();

  // What the window shows now.
  bool showsFigures() const { return showsFigures_; }
  const PressureFigures& figures() const { return figures_; }
  const PressureTable& table() const { return table_; }
  const std::string& sourceText() const { return sourceText_; }
  const std::string& weightText() const { return weightText_; }

  Fl_Box* source = nullptr;
  Fl_Box* weight = nullptr;

 private:
  // Everything the figures are computed from besides the calibration's curve.
  struct Inputs {
    std::vector<unsigned char> levels;
    std::array<int, 10> axes{};  // both feet: point count, heel and toe
    double weightKg = 0, toneDensity = 0;
    std::vector<double> curve;  // the calibration's points, level and kPa
    bool held = false;
    bool operator==(const Inputs& other) const;
  };
  Inputs currentInputs() const;
  void update();

  PressureTableBox* tableBox_ = nullptr;
  Inputs shown_;
  bool everShown_ = false;
  bool showsFigures_ = false;
  PressureFigures figures_;
  PressureTable table_;
  std::string sourceText_, weightText_;
};
