// The station's start-up work before its windows are built: the working directory, the
// heartbeat and the frame clock.
#include <FL/Fl.H>

#include <cstdio>
#include <string>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/calibration_view.h"
#include "pedalyx/report/reference_view.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/heartbeat.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text_encoding.h"

namespace {

constexpr double kTickSeconds = 1.0 / 120.0;

void heartbeatTick(void*) {
  static Heartbeat heartbeat;
  int64_t now = platform::epochSeconds();
  if (heartbeat.tick(now)) {
    std::printf("Loop Check! %ld\n", static_cast<long>(now));
    std::fflush(stdout);
  }
  Fl::repeat_timeout(kTickSeconds, heartbeatTick);
}

// The frame clock of the program asks each view whether there is anything new: the pressure
// view takes and processes a camera frame in its draw when one is ready. A view whose picture
// did not change is not drawn again (exposing a window still draws it). Redraw requests of
// hidden windows have no effect.
void redrawTick(void*) {
  static long camerasShown = -1;
  if (pressureView != nullptr) {
    pressureView->redrawIfChanged();
    // The calibration view shows the frame the pressure view works on.
    if (calibrationCameraView != nullptr && pressureView->frameCycles != camerasShown) {
      camerasShown = pressureView->frameCycles;
      calibrationCameraView->redraw();
    }
  }
  if (reportView != nullptr && (reportView->exportPending || reportView->refreshPending))
    reportView->redraw();
  if (referenceView != nullptr) referenceView->redrawIfChanged();
  Fl::repeat_timeout(kTickSeconds, redrawTick);
}

}  // namespace

void runStationStartup() {
  static bool done = false;
  if (done) return;
  done = true;
  Fl::add_timeout(kTickSeconds, heartbeatTick);
  workingDirectory = platform::utf8ToSystemCodePage(platform::currentDirectory());
  std::printf("system_path %s\n", workingDirectory.c_str());
  std::fflush(stdout);
  Fl::add_timeout(kTickSeconds, redrawTick);
}
