// Process-wide handles of every window, view and control of the station that code touches
// after the build. They are set once by buildStation() (shell/station_window.cpp) and live
// until the process ends. Values live only in the controls: other modules read and write them
// here. The registry sits at the bottom of the station so that every folder may reach it
// without reaching up into the shell.
#pragma once
#include <string>

class Fl_Double_Window;
class Fl_Group;
class Fl_Button;
class Fl_Light_Button;
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

// Windows and views.
extern Fl_Double_Window* mainWindow;
extern Fl_Double_Window* analysisWindow;
extern Fl_Double_Window* settingsWindow;
extern Fl_Double_Window* dataEntryWindow;
extern Fl_Double_Window* remarksWindow;
extern Fl_Double_Window* swayWindow;
extern GL_Display_Pressure* pressureView;
extern GL_Display_reference* referenceView;
extern GL_Display_report* reportView;
extern GL_Display_webcam1* calibrationCameraView;
// Low left share (default 20 %), even stance, high left share (default 80 %).
extern BalanceView* balanceView2080;
extern BalanceView* balanceView5050;
extern BalanceView* balanceView8020;

// Main window: six-zone panel.
extern Fl_Value_Input* zoneInputs[12];
extern Fl_Output* zoneLeftTag;
extern Fl_Output* zoneRightTag;
extern Fl_Text_Display* zonePanelTitle;
// Foot size panel.
extern Fl_Value_Input* leftLengthInput;
extern Fl_Value_Input* leftWidthInput;
extern Fl_Value_Input* rightLengthInput;
extern Fl_Value_Input* rightWidthInput;
extern Fl_Text_Display* sizePanelTitle;
// Arch index panel.
extern Fl_Value_Input* leftArchInput;
extern Fl_Value_Input* rightArchInput;
extern Fl_Text_Display* archPanelTitle;
extern Fl_Output* leftFootTypeOutput;
extern Fl_Output* rightFootTypeOutput;
// Pressure ratio panel.
extern Fl_Group* ratioLeftGroup;
extern Fl_Value_Input* ratioLeftInputs[5];
extern Fl_Group* ratioRightGroup;
extern Fl_Value_Input* ratioRightInputs[5];
extern Fl_Group* ratioTotalGroup;
extern Fl_Value_Input* ratioTotalInputs[5];
extern Fl_Text_Display* ratioPanelTitle;
// Pressure share panel.
extern Fl_Value_Input* shareUpperLeftInput;
extern Fl_Value_Input* shareLowerLeftInput;
extern Fl_Value_Input* shareLeftInput;
extern Fl_Value_Input* shareRightInput;
extern Fl_Value_Input* shareUpperRightInput;
extern Fl_Value_Input* shareLowerRightInput;
extern Fl_Text_Display* sharePanelTitle;
// Tool bar.
extern Fl_Button* takePictureButton;
extern Fl_Button* angleToolButton;
extern Fl_Button* archToolButton;
extern Fl_Button* lengthToolButton;
extern Fl_Button* widthToolButton;
extern Fl_Button* reportButton;
extern Fl_Button* clearButton;
extern Fl_Button* calibrateButton;
extern Fl_Button* remarksButton;
extern Fl_Button* referenceLineButton;
// One line under the pressure view that says where the arch-index tool's two clicks go; shown
// while that tool is chosen.
extern Fl_Box* archToolHint;
// Bottom row.
extern Fl_Output* shoeTypeOutput;
extern Fl_Output* shoeSizeOutput;
extern Fl_Round_Button* crosshairButton;
extern Fl_Button* analysisAreaButton;
extern Fl_Light_Button* loadButton;

// Analysis window.
extern Fl_Check_Button* autoCaptureCheck;
extern Fl_Text_Display* balanceCaption2080;
extern Fl_Text_Display* balanceCaption5050;
extern Fl_Text_Display* balanceCaption8020;
extern Fl_Value_Output* archOutput2080L;
extern Fl_Value_Output* archOutput2080R;
extern Fl_Value_Output* archOutput5050L;
extern Fl_Value_Output* archOutput5050R;
extern Fl_Value_Output* archOutput8020L;
extern Fl_Value_Output* archOutput8020R;
extern Fl_Input* idInput;
extern Fl_Value_Input* ageInput;
extern Fl_Value_Input* heightInput;
extern Fl_Value_Input* weightInput;
extern Fl_Choice* genderChoice;
extern Fl_Value_Input* navicularDropInputs[2];
extern Fl_Value_Input* footLengthInputs[2];
extern Fl_Value_Input* footWidthInputs[2];
extern Fl_Value_Input* halluxAngleInputs[2];
extern Fl_Check_Button* caseLeftChecks[6];
extern Fl_Check_Button* caseRightChecks[6];
extern Fl_Input* caseInputs[6];
extern Fl_Value_Slider* ratioSlider;
extern Fl_Value_Output* ratioRightOutput;
extern Fl_Button* databaseSaveButton;
extern Fl_Button* historyButton;

// History window "歷史", built when first opened.
extern Fl_Double_Window* historyWindow;
extern Fl_Browser* historyVisitList;
extern Fl_Choice* historyEarlierChoice;
extern Fl_Choice* historyLaterChoice;
extern Fl_Box* historyPictureBoxes[2];  // earlier, later
extern Fl_Browser* historyDifferenceList;
extern Fl_Button* swayButton;

// Settings window "Edit".
extern Fl_Button* cameraViewButton;
extern Fl_Button* savePointsButton;
extern Fl_Button* loadPointsButton;
extern Fl_Button* loadPointsFileButton;
extern Fl_Choice* languageChoice;
extern Fl_Value_Slider* noiseFilterSlider;
extern Fl_Value_Slider* toneDensitySlider;
extern Fl_Value_Slider* blockSliders[6];

// Data-entry window.
extern Fl_Button* okButton;
extern Fl_Choice* entryGenderChoice;
extern Fl_Button* keyboardButton;
extern Fl_Input* birthYearInput;
extern Fl_Input* birthMonthInput;
extern Fl_Input* phoneInput;
extern Fl_Input* emailInput;

// Remarks window.
extern Fl_Multiline_Input* remarksInput;

// The working directory in the system's 8-bit code page (any length), read once before main by
// the program's start-up (runStationStartup()). Defined here so that it is constructed before
// any start-up code that includes this header assigns it.
inline std::string workingDirectory;
