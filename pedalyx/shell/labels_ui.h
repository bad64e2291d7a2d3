// Relabelling of the main window in one of its two character forms.
#pragma once
#include "pedalyx/shell/label_tables.h"

// Set the main-window title and the 35 labels; values, colours and the language choice stay.
void applyLabels(Language language);
void applyTraditionalLabels();
void applySimplifiedLabels();
