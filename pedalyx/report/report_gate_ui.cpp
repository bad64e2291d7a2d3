// Placeholder until the report gate lands: does nothing.
#include "pedalyx/report/report_gate_ui.h"

void checkReportData() {}
