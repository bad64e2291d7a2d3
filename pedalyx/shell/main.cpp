// The station program: builds every window once, shows the main window and runs the event
// loop. Closing the main window ends the process.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include "pedalyx/report/report_export.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"

namespace {

// Before main, as the station has always started: the working directory is named on the
// console before anything else, and the clocks run from the first turn of the event loop.
// This file includes the handle registry above, so the working directory it fills is
// constructed first.
const bool kStartedBeforeMain = (runStationStartup(), true);

}  // namespace

int main(int argc, char** argv) {
  // Files a killed run was writing are removed before anything reads the folder.
  report::removeStaleTemporaryFiles(report::printToConsole);
  buildStation();
  mainWindow->show(argc, argv);
  return Fl::run();
}
