#include "pedalyx/report/measurement_database.h"
#include "pedalyx/report/pressure_image_loader.h"
#include "pedalyx/shell/callbacks.h"

// Filled by the measuring tools.
void takePictureCallback(Fl_Widget*, void*) {}
void modeButtonCallback(Fl_Widget*, void*) {}
void clearMeasurementCallback(Fl_Widget*, void*) {}
void calibrateCallback(Fl_Widget*, void*) {}
void loadButtonCallback(Fl_Widget*, void*) { loadPressureImage(); }
void databaseSaveCallback(Fl_Widget*, void*) { appendMeasurementRecord(); }
void savePointsCallback(Fl_Widget*, void*) {}
void loadPointsCallback(Fl_Widget*, void*) {}
void loadPointsFileCallback(Fl_Widget*, void*) {}
