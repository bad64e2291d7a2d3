// Process-wide handles of the insole tool's window, controls and view, created once by
// buildCobbletWindow and alive until the process ends. The fitting reads its parameters from
// these controls and writes some back.
// Pointers to incomplete types: this file needs no toolkit header.
#pragma once

class Fl_Button;
class Fl_Check_Button;
class Fl_Double_Window;
class Fl_Value_Input;
class Fl_Value_Slider;
class GL_Display_Image;

extern Fl_Double_Window* cobbletWindow;
extern Fl_Button* readLeftButton;
extern Fl_Button* readRightButton;
extern Fl_Button* saveButton;
extern Fl_Button* restoreButton;
extern Fl_Value_Slider* widthSlider;
extern Fl_Check_Button* slopeLimitCheck;
extern Fl_Value_Slider* lengthSlider;
extern Fl_Value_Slider* heightRatioSlider;
extern Fl_Button* innerArchButton;
extern Fl_Button* outerArchButton;
extern Fl_Button* innerHeelButton;
extern Fl_Button* outerHeelButton;
extern Fl_Button* wholeHeelButton;
extern Fl_Value_Input* innerArchInput;
extern Fl_Value_Input* outerArchInput;
extern Fl_Value_Input* innerHeelInput;
extern Fl_Value_Input* outerHeelInput;
extern Fl_Value_Input* wholeHeelInput;
extern Fl_Value_Input* leftArchIndexInput;
extern Fl_Value_Input* rightArchIndexInput;
extern Fl_Value_Slider* padWidthSlider;
extern Fl_Value_Slider* padLengthSlider;
extern Fl_Value_Slider* padHeightSlider;
extern Fl_Check_Button* padCheck;
extern Fl_Check_Button* heightFollowsLengthCheck;
extern Fl_Check_Button* widthFollowsLengthCheck;
extern Fl_Value_Slider* hvAngleSlider;
extern GL_Display_Image* insoleView;
