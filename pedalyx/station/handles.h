// Process-wide handles of every window, view and control of the station that code touches
// after the build. They are set once by buildStation() (shell/station_window.cpp) and live
// until the process ends. Values live only in the controls: other modules read and write them
// here. The registry sits at the bottom of the station so that every folder may reach it
// without reaching up into the shell. Each handle is declared and defined here, once; the
// controls whose label follows the language are made from their list (labelled_controls.h).
// Pointers to incomplete types: this file needs no toolkit header.
#pragma once
#include <string>

#include "pedalyx/station/labelled_controls.h"

class Fl_Double_Window;
class Fl_Group;
class Fl_Button;
class Fl_Round_Button;
class Fl_Check_Button;
class Fl_Choice;
class Fl_Input;
class Fl_Multiline_Input;
class Fl_Output;
class Fl_Value_Input;
class Fl_Value_Output;
class Fl_Value_Slider;
class Fl_Text_Display;
class Fl_Browser;
class Fl_Box;

class GL_Display_Pressure;
class GL_Display_reference;
class GL_Display_report;
class GL_Display_webcam1;
class BalanceView;

// The labelled controls, one handle per line of PEDALYX_LABELLED_CONTROLS.
#define PEDALYX_DEFINE_HANDLE(Type, handle, traditional, simplified) inline Type* handle = nullptr;
PEDALYX_LABELLED_CONTROLS(PEDALYX_DEFINE_HANDLE)
#undef PEDALYX_DEFINE_HANDLE

// Windows and views.
inline Fl_Double_Window* analysisWindow = nullptr;
inline Fl_Double_Window* settingsWindow = nullptr;
inline Fl_Double_Window* dataEntryWindow = nullptr;
inline Fl_Double_Window* remarksWindow = nullptr;
inline Fl_Double_Window* swayWindow = nullptr;
inline GL_Display_Pressure* pressureView = nullptr;
inline GL_Display_reference* referenceView = nullptr;
inline GL_Display_report* reportView = nullptr;
inline GL_Display_webcam1* calibrationCameraView = nullptr;  // inside calibrationWindow
// "校正視窗": the camera view and the technician's load calibration.
inline Fl_Double_Window* calibrationWindow = nullptr;
// "足底壓力" of the analysis window: the pressure figures of the held picture.
inline Fl_Double_Window* pressureWindow = nullptr;
// Low left share (default 20 %), even stance, high left share (default 80 %).
inline BalanceView* balanceView2080 = nullptr;
inline BalanceView* balanceView5050 = nullptr;
inline BalanceView* balanceView8020 = nullptr;

// Main window, besides its labelled controls: the six-zone fields, the foot types under the
// arch indices, the ratio columns and "足壓分析專區".
inline Fl_Value_Input* zoneInputs[12] = {};
inline Fl_Output* leftFootTypeOutput = nullptr;
inline Fl_Output* rightFootTypeOutput = nullptr;
inline Fl_Value_Input* ratioLeftInputs[5] = {};
inline Fl_Value_Input* ratioRightInputs[5] = {};
inline Fl_Value_Input* ratioTotalInputs[5] = {};
inline Fl_Button* analysisAreaButton = nullptr;

// Analysis window.
inline Fl_Check_Button* autoCaptureCheck = nullptr;
inline Fl_Text_Display* balanceCaption2080 = nullptr;
inline Fl_Text_Display* balanceCaption5050 = nullptr;
inline Fl_Text_Display* balanceCaption8020 = nullptr;
inline Fl_Value_Output* archOutput2080L = nullptr;
inline Fl_Value_Output* archOutput2080R = nullptr;
inline Fl_Value_Output* archOutput5050L = nullptr;
inline Fl_Value_Output* archOutput5050R = nullptr;
inline Fl_Value_Output* archOutput8020L = nullptr;
inline Fl_Value_Output* archOutput8020R = nullptr;
inline Fl_Input* idInput = nullptr;
inline Fl_Value_Input* ageInput = nullptr;
inline Fl_Value_Input* heightInput = nullptr;
inline Fl_Value_Input* weightInput = nullptr;
inline Fl_Choice* genderChoice = nullptr;
inline Fl_Value_Input* navicularDropInputs[2] = {};
inline Fl_Value_Input* footLengthInputs[2] = {};
inline Fl_Value_Input* footWidthInputs[2] = {};
inline Fl_Value_Input* halluxAngleInputs[2] = {};
inline Fl_Check_Button* caseLeftChecks[6] = {};
inline Fl_Check_Button* caseRightChecks[6] = {};
inline Fl_Input* caseInputs[6] = {};
inline Fl_Value_Slider* ratioSlider = nullptr;
inline Fl_Value_Output* ratioRightOutput = nullptr;
inline Fl_Button* databaseSaveButton = nullptr;

// History window "歷史", built when first opened: the customer looked for, the state of the
// look-up, the customer's requests, the visits and the comparison of two of them.
inline Fl_Double_Window* historyWindow = nullptr;
inline Fl_Input* historyIdInput = nullptr;
inline Fl_Input* historyPhoneInput = nullptr;
inline Fl_Button* historySearchButton = nullptr;
inline Fl_Box* historyStatus = nullptr;
inline Fl_Button* historyExportButton = nullptr;  // "匯出"
inline Fl_Button* historyEraseButton = nullptr;   // "刪除"
inline Fl_Browser* historyVisitList = nullptr;
inline Fl_Choice* historyEarlierChoice = nullptr;
inline Fl_Choice* historyLaterChoice = nullptr;
inline Fl_Box* historyPictureBoxes[2] = {};  // earlier, later
inline Fl_Browser* historyDifferenceList = nullptr;
// The erasure's confirmation: what will be deleted, "確定刪除" and "取消".
inline Fl_Double_Window* erasureWindow = nullptr;
inline Fl_Browser* erasureList = nullptr;
inline Fl_Button* erasureConfirmButton = nullptr;
inline Fl_Button* erasureCancelButton = nullptr;

// Settings window "Edit".
inline Fl_Button* cameraViewButton = nullptr;
inline Fl_Choice* languageChoice = nullptr;
inline Fl_Value_Slider* noiseFilterSlider = nullptr;
inline Fl_Value_Slider* toneDensitySlider = nullptr;
inline Fl_Value_Slider* blockSliders[6] = {};
inline Fl_Input* shopNameInput = nullptr;  // the names every examination record carries
inline Fl_Input* stationNameInput = nullptr;
// The central database as the sender sees it: the connection described, its state and counts.
inline Fl_Box* centralSettingsBox = nullptr;

// Data-entry window.
inline Fl_Button* okButton = nullptr;
inline Fl_Choice* entryGenderChoice = nullptr;
inline Fl_Input* birthYearInput = nullptr;
inline Fl_Input* birthMonthInput = nullptr;
inline Fl_Input* phoneInput = nullptr;
inline Fl_Input* emailInput = nullptr;

// Remarks window.
inline Fl_Multiline_Input* remarksInput = nullptr;

// The working directory in the system's 8-bit code page (any length), read once before main by
// the program's start-up (runStationStartup()). Defined here so that it is constructed before
// any start-up code that includes this header assigns it.
inline std::string workingDirectory;
