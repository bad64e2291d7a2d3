#include "pedalyx/shell/settings_ui.h"

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Value_Slider.H>

#include <string>

#include "pedalyx/shell/settings_files.h"
#include "pedalyx/station/handles.h"

namespace {

std::string caseFileName(int row) { return "tx_case_" + std::to_string(row + 1); }

}  // namespace

void saveControlText(const char* name, Fl_Input* input) {
  settings::saveControlText(workingDirectory, name, input->value());
}

void loadControlText(const char* name, Fl_Input* input) {
  if (auto text = settings::loadControlText(workingDirectory, name)) input->value(text->c_str());
}

void loadCaseInput(int row) { loadControlText(caseFileName(row).c_str(), caseInputs[row]); }

void saveCaseInput(int row) { saveControlText(caseFileName(row).c_str(), caseInputs[row]); }

// The three files below use names relative to the current directory, which the station never
// changes, so they sit beside the case files.
void storeLanguage() { settings::saveLanguage("", languageChoice->value()); }

void storeFilterSettings() {
  settings::saveFilterSettings("", noiseFilterSlider->value(), toneDensitySlider->value());
}

void storeBlockSettings() {
  double blocks[settings::kBlockCount];
  for (int i = 0; i < settings::kBlockCount; ++i) blocks[i] = blockSliders[i]->value();
  settings::saveBlockSettings("", blocks);
}

namespace {

constexpr double kSettleSeconds = 0.1;
bool filterWritePending = false;
bool blockWritePending = false;

void writePendingSettings(void*) { flushPendingSettings(); }

void scheduleWrite(bool& pending) {
  if (pending) return;
  pending = true;
  Fl::add_timeout(kSettleSeconds, writePendingSettings);
}

}  // namespace

void requestFilterSettingsWrite() { scheduleWrite(filterWritePending); }

void requestBlockSettingsWrite() { scheduleWrite(blockWritePending); }

void flushPendingSettings() {
  Fl::remove_timeout(writePendingSettings);
  if (filterWritePending) storeFilterSettings();
  if (blockWritePending) storeBlockSettings();
  filterWritePending = blockWritePending = false;
}
