// The examination store's tables and how an older store is brought up to date. The version is
// the file's `PRAGMA user_version`; each step from one version to the next runs in its own
// transaction together with the new version number, so a store is always at one whole version.
#pragma once
#include <string>

namespace report {

class SqlConnection;

// The version this station writes. A store of a newer version is left untouched.
constexpr int kExaminationSchemaVersion = 4;
// `PRAGMA application_id` of our stores ("PDLX"), so a foreign SQLite file is never changed.
constexpr int kExaminationStoreApplicationId = 0x50444C58;

// Whether the file on the connection is one this station may write: an empty file, or a store
// of ours at this version or an older one. Reads only. False with the reason in `error`.
bool examinationStoreIsOurs(SqlConnection& connection, std::string& error);

// Brings the store on the connection from its version up to kExaminationSchemaVersion (an
// empty file is version 0). False with the reason in `error` when the store is newer than this
// station, belongs to another program, or a step failed (that step is rolled back).
bool migrateExaminationStore(SqlConnection& connection, std::string& error);

}  // namespace report
