// The settings files as seen from the controls: each writer takes the current values of its
// controls; failures are silent and the controls keep working with their values.
#pragma once

class Fl_Input;

// Case text fields: folder is the working directory; name e.g. "tx_case_1".
void saveControlText(const char* name, Fl_Input* input);
void loadControlText(const char* name, Fl_Input* input);
// Loads case field `row` (0..5) from its file "tx_case_<row+1>".
void loadCaseInput(int row);
void saveCaseInput(int row);

// "language_choice.txt" from languageChoice.
void storeLanguage();
// "noise.txt" from noiseFilterSlider and toneDensitySlider.
void storeFilterSettings();
// "blue_block.txt" from blockSliders 0 to 5.
void storeBlockSettings();

// Slider drags change the value many times a second while each rewrite waits for the disk
// (several milliseconds), so the sliders ask for a rewrite that runs once the values have
// settled for a moment; a drag still leaves the file with its last value.
void requestFilterSettingsWrite();
void requestBlockSettingsWrite();
// Writes any requested file now (before the program ends).
void flushPendingSettings();
