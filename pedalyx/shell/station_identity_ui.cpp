// The shop and station names in the settings window: read from "station_identity.txt" when the
// window is built, written whole when the operator has changed one (Enter or leaving the
// field), and carried by every examination record opened from then on.
#include <FL/Fl_Input.H>

#include <string>

#include "pedalyx/report/examination_session.h"
#include "pedalyx/report/station_examinations.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/message_box_ui.h"

namespace {

constexpr int kNameBytes = 200;

std::string folder() { return workingDirectory.empty() ? "." : workingDirectory; }

void identityChanged(Fl_Widget*, void*) {
  report::StationIdentity identity;
  identity.shop = shopNameInput->value();
  identity.station = stationNameInput->value();
  report::StationExaminations& examinations = report::stationExaminations();
  if (identity.shop == examinations.identity().shop &&
      identity.station == examinations.identity().station)
    return;
  if (!report::writeStationIdentity(folder(), identity)) {
    platform::showMessageBox(
        std::string("無法寫入 ") + report::kStationIdentityFile + "：門市與檢測站名稱未儲存",
        "設定");
    return;
  }
  examinations.setIdentity(identity);
}

Fl_Input* makeNameInput(int y, const char* label, const std::string& value) {
  auto* input = new Fl_Input(110, y, 200, 30, label);
  input->maximum_size(kNameBytes);
  input->textsize(14);
  input->value(value.c_str());
  input->when(FL_WHEN_RELEASE | FL_WHEN_ENTER_KEY);
  input->callback(identityChanged);
  return input;
}

}  // namespace

void addStationIdentityInputs(int y) {
  const report::StationIdentity identity = report::readStationIdentity(folder());
  shopNameInput = makeNameInput(y, "門市名稱", identity.shop);
  stationNameInput = makeNameInput(y + 38, "檢測站名稱", identity.station);
}
