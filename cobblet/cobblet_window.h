// Building the insole tool's one window with every control and the insole view.
#pragma once
#include <FL/Fl_Double_Window.H>

// The window opens at 205 x 422 showing only the insole view; the controls lie to the right
// of that width. F2 widens the window to show them and narrows it again.
constexpr int kCobbletWidth = 205, kCobbletHeight = 422;
constexpr int kCobbletWideWidth = 1045, kCobbletWideHeight = 645;

// Creates the window, the controls in their fixed order (loading the stored slope-limit
// setting right after its check button) and the insole view, which loads the pad shape and
// the default template. Sets every handle of controls.h.
Fl_Double_Window* buildCobbletWindow();

// Toggles between the 205 x 422 window and the wide one that shows the controls.
void toggleControlsShown();
