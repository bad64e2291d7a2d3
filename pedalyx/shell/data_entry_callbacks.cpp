// The data-entry window's buttons. "OK" only asks: the pressure view takes the report snapshot
// at its next live draw and then runs the report gate; the report view captures its pages.
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/station/handles.h"
#include "platform/message_box_ui.h"
#include "platform/process.h"

void okButtonCallback(Fl_Widget*, void*) {
  if (pressureView != nullptr) pressureView->reportRequest = true;
  if (reportView != nullptr) reportView->refreshPending = true;
}

// A station without an on-screen keyboard tells the operator so; typing still works.
void keyboardButtonCallback(Fl_Widget*, void*) {
  if (!platform::startOnScreenKeyboard())
    platform::showMessageBox("此電腦未安裝螢幕小鍵盤(onboard)", "開啟小鍵盤");
}
