// Every callback the window build attaches. Each is a short free function with the toolkit's
// callback signature: it reads and writes the process-wide handles and the views' request
// flags and modes; the imaging work itself happens at the views' next draw.
#pragma once

class Fl_Widget;

// Modes of the pressure view's left mouse button, set by the five mode buttons.
enum MeasureModeValue {
  kModeNone = 0,
  kModeArchIndex = 1,
  kModeLength = 2,
  kModeWidth = 3,
  kModeAngle = 4,
  kModeReferenceLine = 5,
};

// --- Navigation, language and settings (navigation_callbacks.cpp) ---
// Closing the main window ends the program through the pressure view's teardown (status 0).
void mainWindowCloseCallback(Fl_Widget* widget, void* data);
// "報表": hides the report view and shows the data-entry window.
void reportButtonCallback(Fl_Widget* widget, void* data);
// "備註": shows the remarks window.
void remarksButtonCallback(Fl_Widget* widget, void* data);
// "足壓分析專區": shows the analysis window.
void analysisAreaButtonCallback(Fl_Widget* widget, void* data);
// "重心搖擺" of the analysis window: shows the sway window.
void swayButtonCallback(Fl_Widget* widget, void* data);
// "步態分析" of the analysis window: shows the walking window.
void walkButtonCallback(Fl_Widget* widget, void* data);
// "校正視窗" of the settings window: shows the calibration window.
void cameraViewButtonCallback(Fl_Widget* widget, void* data);
// "足底壓力" of the analysis window: shows the pressure window.
void pressureButtonCallback(Fl_Widget* widget, void* data);
// The balance ratio slider: sets the right share and both balance captions.
void ratioSliderCallback(Fl_Widget* widget, void* data);
// Case fields C1 to C6: data is the field index 0..5; stores the field's text.
void caseInputCallback(Fl_Widget* widget, void* data);
// Language items: relabel the main window and store the choice.
void traditionalLanguageCallback(Fl_Widget* widget, void* data);
void simplifiedLanguageCallback(Fl_Widget* widget, void* data);
// Noise-filter and tone-density sliders: rewrite "noise.txt".
void filterSliderCallback(Fl_Widget* widget, void* data);
// The six block sliders: rewrite "blue_block.txt".
void blockSliderCallback(Fl_Widget* widget, void* data);

// --- Measuring tools and hand-overs (measure_callbacks.cpp) ---
// "取圖": holds the picture or returns to the live view for the next subject.
void takePictureCallback(Fl_Widget* widget, void* data);
// The five mode buttons: data is the MeasureModeValue; sets the mode and highlights the button.
void modeButtonCallback(Fl_Widget* widget, void* data);
// "清除量測": resets the manual measurements and the reference lines.
void clearMeasurementCallback(Fl_Widget* widget, void* data);
// "校正": asks for a new background picture.
void calibrateCallback(Fl_Widget* widget, void* data);
// "LOAD": brings a saved pressure picture back for review.
void loadButtonCallback(Fl_Widget* widget, void* data);
// "Save" of the analysis window: appends the subject to the measurement database.
void databaseSaveCallback(Fl_Widget* widget, void* data);
// "歷史": the history window of the customer in the analysis window.
void historyButtonCallback(Fl_Widget* widget, void* data);
void openHistoryWindow();
// Calibration point buttons of the settings window.
void savePointsCallback(Fl_Widget* widget, void* data);
void loadPointsCallback(Fl_Widget* widget, void* data);
void loadPointsFileCallback(Fl_Widget* widget, void* data);

// --- Personal data entry (data_entry_callbacks.cpp) ---
// "確定": asks for the report snapshot and a report refresh.
void okButtonCallback(Fl_Widget* widget, void* data);
// "開啟小鍵盤": starts the on-screen keyboard.
void keyboardButtonCallback(Fl_Widget* widget, void* data);
