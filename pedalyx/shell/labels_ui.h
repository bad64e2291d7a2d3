// Relabelling of the labelled controls in one of their two character forms.
#pragma once
#include "pedalyx/shell/label_tables.h"

// Sets the main-window title and every other labelled control's text; values, colours and the
// language choice stay. A control not built yet is left out.
void applyLabels(Language language);
void applyTraditionalLabels();
void applySimplifiedLabels();
