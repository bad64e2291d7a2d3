// The one-pass build of every window, view and control of the station.
#pragma once

// Builds everything in the fixed order (remarks, data entry, report view, calibration view,
// settings, analysis, main window), makes the main window its own resizable widget and applies
// the Traditional labels. Nothing is shown.
void buildStation();

// The pieces, in the order buildStation() calls them.
void buildRemarksWindow();
void buildDataEntryWindow();
void buildSettingsWindow();
void buildAnalysisWindow();
void buildMainWindow();
// After the main window: the sway window on the pressure view's recorder.
void buildSwayWindow();
