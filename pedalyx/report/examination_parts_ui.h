// Reading an examination's part from the station's windows.
#pragma once
#include <string>

#include "pedalyx/report/examination_parts.h"

// The main window's results, the data-entry window and the analysis window's ID as they are
// now, for the export named `reportName`.
report::ExportFigures exportFiguresFromStation(const std::string& reportName);
