// A customer's visits from every shop: the central database's visits read back as examination
// records, merged with this station's own by their record UUID, and the pressure pictures of
// the visits this station does not hold fetched from the centre into a cache folder of the
// working directory.
#pragma once
#include <string>
#include <vector>

#include "pedalyx/report/central_history.h"
#include "pedalyx/report/examination_record.h"

namespace report {

// Where fetched pictures are kept, inside the working directory.
constexpr const char* kCentralCacheFolder = "CENTRAL_FILES";

// The visit as a record: its head from the centre's columns, its customer, figures and files
// from the record's JSON as the station sent it (an unreadable JSON leaves them empty). Files
// the centre does not hold are kMissing, the others kUnchecked.
ExaminationRecord recordOfCentralVisit(const CentralVisit& visit);

// Adds to `records` (this station's, newest first) every central visit whose UUID is not among
// them, marking it in `fromCentre` (one flag per record), and keeps them newest first. A record
// of this station without a shop name gets `ownShop`.
void mergeCentralVisits(std::vector<ExaminationRecord>& records, std::vector<char>& fromCentre,
                        const std::vector<CentralVisit>& visits, const std::string& ownShop);

// For a record from the centre: its pressure picture, when this station does not hold it intact
// at its path, is taken from the cache folder or fetched from the centre, checked against the
// record's checksum and written to the cache whole; the file's path then names the cache copy
// and its state is kIntact. A picture that cannot be fetched or whose bytes do not match stays
// kMissing or becomes kChanged. False when the centre could not be asked.
bool fetchCentralPicture(CentralReader& reader, const std::string& folder,
                         ExaminationRecord& record);

}  // namespace report
