// A station built inside the test process, in a scratch working directory that holds the
// staged data files, on the simulated plate: helpers shared by the tests that drive its
// callbacks and frame cycle directly.
#pragma once
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pedalyx/imaging/frame_statistics_view.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace in_process_station {

namespace fs = std::filesystem;

// Message boxes are modal; this closes each one shortly after it opens, as the operator would.
inline void closeMessageBoxes(void*) {
  if (Fl::modal() != nullptr) Fl::modal()->hide();
  Fl::repeat_timeout(0.2, closeMessageBoxes);
}

template <class Condition>
bool pumpUntil(Condition done, double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    Fl::wait(0.02);
  }
  return done();
}

inline void pump(double seconds) {
  pumpUntil([] { return false; }, seconds);
}

// A new temporary working directory named after `name` with the staged data, whose insole tool
// is the stand-in shell script `cobblet`; the process moves into it, every message box is
// logged to "messages.log" there, and the simulated plate is the camera. The folder is removed
// when the test program ends. Returns the folder.
inline fs::path enterScratchStation(const std::string& name, const std::string& cobblet) {
  static std::vector<std::unique_ptr<ScratchFolder>> scratches;
  scratches.push_back(std::make_unique<ScratchFolder>(name));
  const fs::path folder = scratches.back()->path();
  for (auto& entry : fs::directory_iterator(STATION_DIR)) {
    std::string file = entry.path().filename().string();
    if (file == "Cobblet" || file == "Pedalyx" || !entry.is_regular_file()) continue;
    fs::copy_file(entry.path(), folder / file);
  }
  platform::writeFileAtomic((folder / "Cobblet").string(), "#!/bin/sh\n" + cobblet + "\n");
  chmod((folder / "Cobblet").c_str(), 0755);
  if (chdir(folder.c_str()) != 0) std::abort();
  setenv("PEDALYX_SIMULATED_CAMERA", "1", 1);
  setenv("PEDALYX_MESSAGE_LOG", (folder / "messages.log").c_str(), 1);
  workingDirectory = folder.string();
  return folder;
}

// Builds the station in the scratch folder, shows the main window, answers every message box
// and waits until the simulated customer stands on the plate; false when nobody appeared.
inline bool openStationUntilCustomerStands(double seconds) {
  runStationStartup();
  buildStation();
  startExaminationKeeping();
  mainWindow->show();
  Fl::add_timeout(0.2, closeMessageBoxes);
  return pumpUntil(
      [] {
        int loaded = 0;
        for (unsigned char level : pressureView->levelImage) loaded += level != 0;
        return loaded > 5000;
      },
      seconds);
}

inline std::string messages() { return platform::readWholeFile("messages.log").value_or(""); }

inline std::string lastMessage() {
  std::string log = messages();
  if (log.empty()) return log;
  size_t start = log.rfind('\n', log.size() - 2);
  return log.substr(start == std::string::npos ? 0 : start + 1);
}

// "確定" and the frames it takes until the gate has answered (a message or the report).
inline void confirm() {
  size_t before = messages().size();
  okButton->do_callback();
  pumpUntil([&] { return messages().size() > before || reportView->visible(); }, 20);
  pump(0.5);
}

// The operator's two arch-tool clicks per foot, heel then toe, at fractions of the view's
// height from its top, in the middle of each half.
inline void clickAxes(double heelFraction, double toeFraction) {
  pressureView->measureMode = kArchIndexTool;
  const int w = pressureView->w(), h = pressureView->h();
  for (int x : {w / 4, 3 * w / 4}) {
    pressAnalysisTool(*pressureView, false, x, static_cast<int>(h * heelFraction));
    pressAnalysisTool(*pressureView, false, x, static_cast<int>(h * toeFraction));
  }
  pressureView->measureMode = kNoTool;
}

}  // namespace in_process_station
