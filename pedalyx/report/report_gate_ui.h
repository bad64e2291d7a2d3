// The report gate: checks the personal data, shows the report view and sets its export
// request. The pressure view runs it from the event loop after a report snapshot.
#pragma once

void checkReportData();
