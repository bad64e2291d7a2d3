// The one-pass build of every window, view and control of the station.
#pragma once

// Reads the working directory into the registry and names it on the console ("system_path"),
// then starts the heartbeat and the 1/120 s clock that asks each view whether it has anything
// new. The program runs it before main (shell/main.cpp); a test that builds the station in its
// own process runs it before buildStation(). Runs once; later calls do nothing.
void runStationStartup();

// Builds everything in the fixed order (remarks, data entry, report view, calibration view,
// settings, analysis, main window), makes the main window its own resizable widget and applies
// the Traditional labels. Nothing is shown.
void buildStation();

// The pieces, in the order buildStation() calls them.
void buildRemarksWindow();
void buildDataEntryWindow();
// The calibration window with the camera view (calibrationCameraView) and the load calibration.
void buildCalibrationWindow();
void buildSettingsWindow();
// The shop and station name inputs of the settings window, at height y (two rows).
void addStationIdentityInputs(int y);
void buildAnalysisWindow();
void buildMainWindow();
// After the main window: the sway and walking windows on the pressure view's recorders.
void buildSwayWindow();
// The pressure window of the analysis window's "足底壓力".
void buildPressureWindow();
// The walking window of the analysis window's "步態分析".
void buildWalkWindow();
