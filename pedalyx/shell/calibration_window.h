// The calibration window "校正視窗": the camera view with both calibration grids
// (GL_Display_webcam1) and beside it the technician's load calibration: the level picture with
// the pad's region, the mass and pad area, "記錄", the loads recorded with their residuals and
// the plot of the curve. From three loads on every record fits the curve; a curve is stored in
// "pressure_calibration.txt" and the station uses it at once.
#pragma once
#include <FL/Fl_Double_Window.H>

#include <string>

#include "pedalyx/imaging/load_calibration_session.h"

class Fl_Box;
class Fl_Browser;
class Fl_Button;
class Fl_Value_Input;
class CalibrationPlotBox;
class PadPictureBox;

class CalibrationWindow : public Fl_Double_Window {
 public:
  CalibrationWindow();
  ~CalibrationWindow() override;
  // The first showing starts from the calibration the station reads at start.
  void show() override;

  // "記錄": the load on the pad now, from the pressure view's current levels.
  void recordLoad();
  // "刪除最後一筆" and "清除": the last load or every load away.
  void removeLastLoad();
  void clearLoads();
  // Ten times a second while shown: the level picture follows new frames.
  void followPicture();

  const LoadCalibrationSession& session() const { return session_; }
  const std::string& statusText() const { return statusText_; }

  PadPictureBox* padPicture = nullptr;
  Fl_Value_Input* massInput = nullptr;
  Fl_Value_Input* padAreaInput = nullptr;
  Fl_Button* recordButton = nullptr;
  Fl_Button* removeLastButton = nullptr;
  Fl_Button* clearButton = nullptr;
  Fl_Browser* loadList = nullptr;
  CalibrationPlotBox* plot = nullptr;
  Fl_Box* status = nullptr;

 private:
  // The records' curve becomes the station's: stored first, used only once stored.
  void adoptCurve();
  void refuse(const std::string& why);
  void say(const std::string& text, bool problem = false);
  void showLoads();

  LoadCalibrationSession session_;
  bool started_ = false;
  long picturesShown_ = -1;
  std::string statusText_;
};
