// Small builders shared by the window build: captions, panel titles and value fields with the
// station's usual settings. Each returns the new widget, added to the current group.
#pragma once
#include <FL/Enumerations.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Value_Input.H>

// Palette entries the station uses besides the named ones.
constexpr Fl_Color kLightGrey = 50;  // idle mode buttons
constexpr Fl_Color kSaveGreen = 62;  // "Save" of the analysis window

// A text display that shows only its label (no buffer, no box).
inline Fl_Text_Display* makeCaption(int x, int y, int w, int h, const char* label) {
  auto* caption = new Fl_Text_Display(x, y, w, h, label);
  caption->box(FL_NO_BOX);
  return caption;
}

// A red panel heading placed left of a tiny caption widget; its text is a labelled control's.
inline Fl_Text_Display* makePanelTitle(int x, int y) {
  Fl_Text_Display* title = makeCaption(x, y, 11, 6, nullptr);
  title->labelcolor(FL_RED);
  title->align(FL_ALIGN_LEFT);
  return title;
}

// An output that serves as a caption on the window background.
inline Fl_Output* makeOutputCaption(int x, int y, int w, int h, const char* label) {
  auto* output = new Fl_Output(x, y, w, h, label);
  output->box(FL_FLAT_BOX);
  output->color(FL_BACKGROUND_COLOR);
  return output;
}

// A numeric field; maximum 0 leaves the toolkit's default range.
inline Fl_Value_Input* makeValueInput(int x, int y, int w, int h, const char* label, double step,
                                      double maximum = 0) {
  auto* input = new Fl_Value_Input(x, y, w, h, label);
  input->step(step);
  if (maximum != 0) input->maximum(maximum);
  return input;
}

// Frame settings common to every GL view of the station.
template <class View>
View* styleView(View* view, Fl_Boxtype frame) {
  view->box(frame);
  view->color(FL_BACKGROUND_COLOR);
  view->selection_color(FL_BACKGROUND_COLOR);
  view->labeltype(FL_NORMAL_LABEL);
  view->labelfont(0);
  view->labelsize(14);
  view->labelcolor(FL_BLACK);
  view->align(FL_ALIGN_TOP);
  view->when(FL_WHEN_RELEASE);
  return view;
}
