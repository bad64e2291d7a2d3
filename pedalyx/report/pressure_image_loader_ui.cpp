// "LOAD" of the main window: the native file chooser in front of the review loader.
#include <FL/Fl_Native_File_Chooser.H>

#include <cstdio>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/pressure_image_loader.h"
#include "pedalyx/station/handles.h"
#include "platform/message_box_ui.h"

namespace {

ChosenFile chooseSavedPicture() {
  Fl_Native_File_Chooser chooser;
  chooser.title("Load a image file");
  chooser.type(Fl_Native_File_Chooser::BROWSE_FILE);
  chooser.filter("image\t*.png\n");
  ChosenFile chosen;
  switch (chooser.show()) {
    case -1:
      chosen.outcome = ChosenFile::kFailed;
      chosen.error = chooser.errmsg() != nullptr ? chooser.errmsg() : "";
      break;
    case 1:
      chosen.outcome = ChosenFile::kCancelled;
      break;
    default:
      chosen.outcome = ChosenFile::kChosen;
      chosen.path = chooser.filename() != nullptr ? chooser.filename() : "";
      break;
  }
  return chosen;
}

}  // namespace

void loadPressureImage() {
  ReviewTarget target;
  target.markedImage = pressureView->markedImage;
  target.levelImage = pressureView->levelImage;
  target.colourTable = pressureView->colourTable;
  target.reviewMode = &pressureView->reviewMode;
  const std::string refused = togglePressureReview(target, chooseSavedPicture, stdout, stderr);
  if (!refused.empty()) platform::showMessageBox(refused, "LOAD");
}
