// Definitions of the process-wide handles, and the start-up work that runs before main: the
// heartbeat and the view redraw timer, and reading the working directory.
#include <FL/Fl.H>

#include <cstdio>
#include <string>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/calibration_view.h"
#include "pedalyx/report/reference_view.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/handles.h"
#include "pedalyx/shell/heartbeat.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text_encoding.h"

Fl_Double_Window* mainWindow = nullptr;
Fl_Double_Window* analysisWindow = nullptr;
Fl_Double_Window* settingsWindow = nullptr;
Fl_Double_Window* dataEntryWindow = nullptr;
Fl_Double_Window* remarksWindow = nullptr;
GL_Display_Pressure* pressureView = nullptr;
GL_Display_reference* referenceView = nullptr;
GL_Display_report* reportView = nullptr;
GL_Display_webcam1* calibrationCameraView = nullptr;
GL_Display_2080* balanceView2080 = nullptr;
GL_Display_5050* balanceView5050 = nullptr;
GL_Display_8020* balanceView8020 = nullptr;

Fl_Value_Input* zoneInputs[12] = {};
Fl_Output* zoneLeftTag = nullptr;
Fl_Output* zoneRightTag = nullptr;
Fl_Text_Display* zonePanelTitle = nullptr;
Fl_Value_Input* leftLengthInput = nullptr;
Fl_Value_Input* leftWidthInput = nullptr;
Fl_Value_Input* rightLengthInput = nullptr;
Fl_Value_Input* rightWidthInput = nullptr;
Fl_Text_Display* sizePanelTitle = nullptr;
Fl_Value_Input* leftArchInput = nullptr;
Fl_Value_Input* rightArchInput = nullptr;
Fl_Text_Display* archPanelTitle = nullptr;
Fl_Output* leftFootTypeOutput = nullptr;
Fl_Output* rightFootTypeOutput = nullptr;
Fl_Group* ratioLeftGroup = nullptr;
Fl_Value_Input* ratioLeftInputs[5] = {};
Fl_Group* ratioRightGroup = nullptr;
Fl_Value_Input* ratioRightInputs[5] = {};
Fl_Group* ratioTotalGroup = nullptr;
Fl_Value_Input* ratioTotalInputs[5] = {};
Fl_Text_Display* ratioPanelTitle = nullptr;
Fl_Value_Input* shareUpperLeftInput = nullptr;
Fl_Value_Input* shareLowerLeftInput = nullptr;
Fl_Value_Input* shareLeftInput = nullptr;
Fl_Value_Input* shareRightInput = nullptr;
Fl_Value_Input* shareUpperRightInput = nullptr;
Fl_Value_Input* shareLowerRightInput = nullptr;
Fl_Text_Display* sharePanelTitle = nullptr;
Fl_Button* takePictureButton = nullptr;
Fl_Button* angleToolButton = nullptr;
Fl_Button* archToolButton = nullptr;
Fl_Button* lengthToolButton = nullptr;
Fl_Button* widthToolButton = nullptr;
Fl_Button* reportButton = nullptr;
Fl_Button* clearButton = nullptr;
Fl_Button* calibrateButton = nullptr;
Fl_Button* remarksButton = nullptr;
Fl_Button* referenceLineButton = nullptr;
Fl_Output* shoeTypeOutput = nullptr;
Fl_Output* shoeSizeOutput = nullptr;
Fl_Round_Button* crosshairButton = nullptr;
Fl_Button* analysisAreaButton = nullptr;
Fl_Light_Button* loadButton = nullptr;

Fl_Check_Button* autoCaptureCheck = nullptr;
Fl_Text_Display* balanceCaption2080 = nullptr;
Fl_Text_Display* balanceCaption5050 = nullptr;
Fl_Text_Display* balanceCaption8020 = nullptr;
Fl_Value_Output* archOutput2080L = nullptr;
Fl_Value_Output* archOutput2080R = nullptr;
Fl_Value_Output* archOutput5050L = nullptr;
Fl_Value_Output* archOutput5050R = nullptr;
Fl_Value_Output* archOutput8020L = nullptr;
Fl_Value_Output* archOutput8020R = nullptr;
Fl_Input* idInput = nullptr;
Fl_Value_Input* ageInput = nullptr;
Fl_Value_Input* heightInput = nullptr;
Fl_Value_Input* weightInput = nullptr;
Fl_Choice* genderChoice = nullptr;
Fl_Value_Input* navicularDropInputs[2] = {};
Fl_Value_Input* footLengthInputs[2] = {};
Fl_Value_Input* footWidthInputs[2] = {};
Fl_Value_Input* halluxAngleInputs[2] = {};
Fl_Check_Button* caseLeftChecks[6] = {};
Fl_Check_Button* caseRightChecks[6] = {};
Fl_Input* caseInputs[6] = {};
Fl_Value_Slider* ratioSlider = nullptr;
Fl_Value_Output* ratioRightOutput = nullptr;
Fl_Button* databaseSaveButton = nullptr;

Fl_Button* cameraViewButton = nullptr;
Fl_Button* savePointsButton = nullptr;
Fl_Button* loadPointsButton = nullptr;
Fl_Button* loadPointsFileButton = nullptr;
Fl_Choice* languageChoice = nullptr;
Fl_Value_Slider* noiseFilterSlider = nullptr;
Fl_Value_Slider* toneDensitySlider = nullptr;
Fl_Value_Slider* blockSliders[6] = {};

Fl_Button* okButton = nullptr;
Fl_Choice* entryGenderChoice = nullptr;
Fl_Button* keyboardButton = nullptr;
Fl_Input* birthYearInput = nullptr;
Fl_Input* birthMonthInput = nullptr;
Fl_Input* phoneInput = nullptr;
Fl_Input* emailInput = nullptr;

Fl_Multiline_Input* remarksInput = nullptr;

std::string workingDirectory;

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

// The frame clock of the program: the pressure view takes and processes a camera frame in
// its draw. Redraw requests of hidden windows have no effect.
void redrawTick(void*) {
  if (pressureView != nullptr) pressureView->redraw();
  if (calibrationCameraView != nullptr) calibrationCameraView->redraw();
  if (reportView != nullptr) reportView->redraw();
  if (referenceView != nullptr) referenceView->redraw();
  Fl::repeat_timeout(kTickSeconds, redrawTick);
}

// Runs during static initialisation, after workingDirectory above has been constructed
// (same file, later definition). The directory is read at any length.
struct StationStartup {
  StationStartup() {
    Fl::add_timeout(kTickSeconds, heartbeatTick, &workingDirectory);
    workingDirectory = platform::utf8ToSystemCodePage(platform::currentDirectory());
    std::printf("system_path %s\n", workingDirectory.c_str());
    std::fflush(stdout);
    Fl::add_timeout(kTickSeconds, redrawTick);
  }
};

StationStartup stationStartup;

}  // namespace
