#include "pedalyx/shell/labels_ui.h"

// The types the list of labelled controls uses.
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>

#include "pedalyx/station/handles.h"

namespace {

Fl_Widget* widgetFor(LabelTarget target) {
  switch (target) {
#define PEDALYX_LABELLED_WIDGET(Type, handle, traditional, simplified) \
  case LabelTarget::handle:                                            \
    return handle;
    PEDALYX_LABELLED_CONTROLS(PEDALYX_LABELLED_WIDGET)
#undef PEDALYX_LABELLED_WIDGET
  }
  return nullptr;
}

}  // namespace

void applyLabels(Language language) {
  for (const LabelRow& row : kLabelRows) {
    Fl_Widget* widget = widgetFor(row.target);
    if (widget == nullptr) continue;
    // A window's label is its title; every other label change also schedules the redraw.
    if (Fl_Window* window = widget->as_window()) {
      window->label(labelText(row, language));
    } else {
      widget->label(labelText(row, language));
      widget->redraw_label();
    }
  }
}

void applyTraditionalLabels() { applyLabels(Language::Traditional); }
void applySimplifiedLabels() { applyLabels(Language::Simplified); }
