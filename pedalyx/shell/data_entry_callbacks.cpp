#include "pedalyx/shell/callbacks.h"

// Filled by the personal data entry.
void okButtonCallback(Fl_Widget*, void*) {}
void keyboardButtonCallback(Fl_Widget*, void*) {}
