// The station program: builds every window once, shows the main window and runs the event
// loop. Closing the main window ends the process.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include <cstdio>
#include <string>

#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/report_export.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/chinese_fonts_ui.h"
#include "platform/files.h"
#include "platform/message_box_ui.h"
#include "platform/station_folder.h"

namespace {

// Before main, as the station has always started: the working directory is named on the
// console before anything else, and the clocks run from the first turn of the event loop.
// This file includes the handle registry above, so the working directory it fills is
// constructed first.
const bool kStartedBeforeMain = (runStationStartup(), true);

}  // namespace

int main(int argc, char** argv) {
  // One station per station folder, before anything in it is read or written.
  std::string why;
  switch (platform::holdStationFolder(".", &why)) {
    case platform::FolderHold::kHeld:
      break;
    case platform::FolderHold::kInUse: {
      const std::string text = platform::stationFolderInUseText(platform::currentDirectory());
      std::fprintf(stderr, "%s\n", text.c_str());
      platform::useChineseCapableFonts();
      platform::showMessageBox(text, "Pedalyx");
      return 1;
    }
    case platform::FolderHold::kUnavailable:
      std::fprintf(stderr,
                   "The station folder cannot be locked (%s): a second station started on it "
                   "would not be stopped\n",
                   why.c_str());
      break;
  }
  // Files a killed run was writing are removed before anything reads the folder.
  report::removeStaleTemporaryFiles(report::printToConsole);
  buildStation();
  startExaminationKeeping();
  mainWindow->show(argc, argv);
  const int status = Fl::run();
  stopExaminationKeeping();
  return status;
}
