// The walking recordings on disk: one row per contact in "Gait.csv" beside the measurement
// database (Big5, quoted as the database is, the header written once with the first rows, a
// recording's rows in one write), each contact's trace in "GAIT/<record>_<n>.csv" and its peak
// picture through the colour table in "GAIT/<record>_<n>.png", each file written whole.
#pragma once
#include <string>
#include <vector>

#include "pedalyx/imaging/gait_recorder.h"
#include "pedalyx/report/sway_store.h"

constexpr const char* kGaitTableName = "Gait.csv";
constexpr const char* kGaitFolder = "GAIT";

// A recording's name: the ID made fit for a file name and the local time to the second, as the
// sway recordings are named.
inline std::string gaitRecordName(const std::string& id, const platform::LocalTime& time) {
  return swayRecordName(id, time);
}

// The header line of "Gait.csv" in Big5, with its line end.
std::string gaitTableHeader();

// The row of contact `index` (numbered index + 1) with its line end; figures a contact does
// not have stay empty.
std::string gaitTableRow(const std::string& record, const std::string& id,
                         const GaitResults& results, size_t index);

// The trace: a header line, then per frame the camera's counter, the capture time from the
// recording's first frame, the centre of pressure on the plate and in the foot's frame (mm),
// the load and the load of each zone (sums of levels).
std::string gaitTraceText(const GaitResults& results, size_t index);

// The peak picture on the whole canvas (320 x 335, top row first) in the colour table's colours
// (768 bytes, R G B per level), as PNG bytes; empty when it cannot be encoded.
std::string peakPicturePng(const LevelPatch& peak, const unsigned char* colourTable);

// "GAIT/<record>_<n>" without its extension.
std::string gaitFilePath(const std::string& startDirectory, const std::string& record,
                         size_t index);

struct GaitSaveOutcome {
  bool rowsWritten = false;
  std::vector<std::string> rows;         // each row as written, without its line end
  std::vector<std::string> failedFiles;  // full paths of traces and pictures not written
};

// Appends every contact's row (with the header when the table is new) in one write and writes
// each contact's trace and picture whole, creating the folder.
GaitSaveOutcome saveGaitRecording(const std::string& startDirectory, const std::string& record,
                                  const std::string& id, const GaitResults& results,
                                  const unsigned char* colourTable);

// After the operator dropped a contact or gave it to the other foot: the recording's rows in
// "Gait.csv" replaced by its rows as they are now (the rows `previousRows` holds, as the last
// save returned them, leave the table; every other byte stays), the table written whole, and
// every contact's trace written again (its medial and lateral follow the foot). Nothing is
// written when the table exists but cannot be read.
GaitSaveOutcome rewriteGaitRecording(const std::string& startDirectory, const std::string& record,
                                     const std::string& id, const GaitResults& results,
                                     const std::vector<std::string>& previousRows);
