// The working folder of an installed station. The package puts the programs in <prefix>/bin and
// the read-only data in <prefix>/share/pedalyx; every operator account gets a station folder
// of its own that holds a copy of that data beside its settings, database, pictures and
// reports, so the programs keep reading and writing every file relative to the working folder.
#pragma once
#include <string>
#include <vector>

namespace platform {

struct StationEnvironment {
  std::string pedalyxHome;  // PEDALYX_HOME
  std::string xdgDataHome;  // XDG_DATA_HOME
  std::string home;         // HOME, or the account's home folder when HOME is unset
};

StationEnvironment stationEnvironmentOfProcess();

// PEDALYX_HOME when set, else $XDG_DATA_HOME/pedalyx (an absolute XDG_DATA_HOME only), else
// $HOME/.local/share/pedalyx. Empty when there is no home folder either.
std::string chooseStationFolder(const StationEnvironment& environment);

// The installed read-only data beside a program in <prefix>/bin: <prefix>/share/pedalyx, or
// empty when that folder does not exist (a program run from the build tree).
std::string installedDataFolder(const std::string& programFolder);

// Lists, in the station folder, the checksum of every data file as it was last installed, so
// an update can tell a file the operator changed from one that only came with the package.
constexpr const char* kInstalledDataManifest = ".installed_data.txt";

struct StationFolderUpdate {
  bool ok = false;
  std::string error;                 // what failed, with the path, when !ok
  std::vector<std::string> copied;   // missing data files copied in
  std::vector<std::string> updated;  // unchanged copies replaced by a newer installed file
  std::vector<std::string> kept;     // files the operator changed, left as they are
};

// Creates the station folder (and its parents) when missing and brings the installed data
// into it: a missing file is copied; a file still as the package last installed it is
// replaced by the installed one; a file the operator changed is never overwritten.
StationFolderUpdate updateStationFolder(const std::string& dataFolder,
                                        const std::string& stationFolder);

// One running station per station folder: two would replace each other's insole hand-offs and
// mix their saves. The hold is a lock on the folder itself, which the system releases when the
// process ends, crashed or not, so nothing stale is ever left to clear.
enum class FolderHold {
  kHeld,        // this process holds the folder until it ends
  kInUse,       // another running process holds it
  kUnavailable  // the folder cannot be opened or this file system cannot lock it (detail says why)
};
FolderHold holdStationFolder(const std::string& folder, std::string* detail = nullptr);

// The operator's message when another station runs on the folder.
std::string stationFolderInUseText(const std::string& folder);

// Every folder of the station folder that the station or the insole tool writes into.
constexpr const char* kWrittenFolders[] = {".",    "PDF_INSOLES", "FOOT_PRESSURE", "PressureImage",
                                           "SWAY", "GAIT"};

// Removes, in every written folder, the temporary files of processes that no longer run (see
// removeStaleTemporaryFiles). Both programs run it at start. Returns how many were removed.
int removeStaleTemporaryFilesOfStation(const std::string& stationFolder);

}  // namespace platform
