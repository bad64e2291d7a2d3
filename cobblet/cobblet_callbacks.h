// Callbacks of the insole tool's controls and the polling timer. They set values and the
// view's dirty flag; the view's next redraw does the fitting.
#pragma once
#include <FL/Fl_Widget.H>

#include <string>

#include "cobblet/poll_clock.h"

// Target size from the sliders (widthSlider, lengthSlider callbacks; changeLength is also run
// by the polling for a hand-off) and back to the template's own size (restoreButton).
void changeWidth();
void changeLength();
void restoreSize();

// Asks the user for a file to open (save false) or to save under; empty when cancelled or
// failed (after the lines on standard error). The native chooser, replaceable in tests.
using FileChooser = std::string (*)(const char* title, const char* filter, bool save);
extern FileChooser chooseFile;
std::string nativeChooseFile(const char* title, const char* filter, bool save);

// Read buttons: the file chooser, then the template for the left (0) or right (1) foot.
void chooseTemplate(int side);

void readLeftCallback(Fl_Widget*, void*);
void readRightCallback(Fl_Widget*, void*);
void saveCallback(Fl_Widget*, void*);
void restoreCallback(Fl_Widget*, void*);
void widthSliderCallback(Fl_Widget*, void*);
void lengthSliderCallback(Fl_Widget*, void*);
void slopeLimitCallback(Fl_Widget*, void*);
void markDirtyCallback(Fl_Widget*, void*);
void leftArchIndexCallback(Fl_Widget*, void*);
void rightArchIndexCallback(Fl_Widget*, void*);
// The wedge buttons carry their cobblet::WedgeButton as user data.
void wedgeCallback(Fl_Widget*, void* button);

// Repeating 1/120 s timer: looks for a hand-off every even second, applies a pending side to
// the controls and asks for a redraw. data is the PollState.
void pollTimer(void* data);
void startPolling(cobblet::PollState* state);
