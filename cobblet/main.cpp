// The insole tool: waits for the station's hand-off, fits and saves one insole per foot and
// ends by itself after the right foot.
#include <FL/Fl.H>

#include "cobblet/cobblet_callbacks.h"
#include "cobblet/cobblet_window.h"
#include "platform/station_folder.h"

int main(int argc, char** argv) {
  // Files a killed run was writing are removed (never those of a program still running).
  platform::removeStaleTemporaryFilesOfStation(".");
  Fl_Double_Window* window = buildCobbletWindow();
  static cobblet::PollState pollState;
  startPolling(&pollState);
  window->show(argc, argv);
  return Fl::run();
}
