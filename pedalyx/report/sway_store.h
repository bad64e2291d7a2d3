// The sway recordings on disk: one row per recording in "Sway.csv" beside the measurement
// database (Big5, quoted as the database is, header written once with the first row), and the
// whole trace of each recording in "SWAY/<record>_<eo|ec>.csv".
#pragma once
#include <string>

#include "pedalyx/imaging/sway_recorder.h"
#include "platform/clock.h"

constexpr const char* kSwayTableName = "Sway.csv";
constexpr const char* kSwayTraceFolder = "SWAY";

// The customer's record name: the analysis window's ID made fit for a file name, "_", and the
// time of the first recording as YYYYMMDDhhmmss; the time alone without an ID.
std::string swayRecordName(const std::string& id, const platform::LocalTime& time);

// The header line of "Sway.csv" in Big5, with its line end.
std::string swayTableHeader();

// One row with its line end. `eyesOpen` (may be the same recording, or one not recorded) gives
// the Romberg quotients of an eyes-closed row; other rows leave them empty.
std::string swayTableRow(const std::string& record, const std::string& id, SwayCondition condition,
                         const SwayRecording& recording, const SwayRecording& eyesOpen);

// The trace file: a header line, then per frame time (s), left, right and combined COP
// (x, y mm) and the left foot's load share (%).
std::string swayTraceText(const SwayRecording& recording);

struct SwaySaveOutcome {
  bool rowWritten = false;
  bool traceWritten = false;
  std::string tracePath;
};

// Appends the row (with the header when the table is new) in one write and writes the trace
// file whole, creating the trace folder.
SwaySaveOutcome saveSwayRecording(const std::string& startDirectory, const std::string& record,
                                  const std::string& id, SwayCondition condition,
                                  const SwayRecording& recording, const SwayRecording& eyesOpen);
