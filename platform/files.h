// File-system access of both programs. Every file the programs write goes through
// writeFileAtomic or appendWhole, so a crash never leaves a half-written file or row.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The process's current directory, of any length; empty when it cannot be read.
std::string currentDirectory();

bool fileExists(const std::string& path);
// Calendar seconds of the file's last change; nothing when it cannot be read.
std::optional<int64_t> modifiedAt(const std::string& path);
bool isDirectory(const std::string& path);

// Creates one folder; true when it exists afterwards (already present counts as success).
// A new folder's entry is synced to disk in its parent.
bool makeDirectory(const std::string& path);

// The folder part of a path ("." for a bare name); a trailing separator names the folder
// itself, so "a/b/" is in "a".
std::string folderOf(const std::string& path);

// Syncs a folder's entries to disk, so a file created, renamed into or removed from it stays
// so after a power cut. False when the folder cannot be opened or synced.
bool syncFolder(const std::string& folder);

// Joins folder and name with the platform's separator (the "%s\%s" joins of the station).
std::string joinPath(const std::string& folder, const std::string& name);

// Whole file content, or nothing when the file cannot be opened or read.
std::optional<std::string> readWholeFile(const std::string& path);
// The same, refusing (nothing) a file longer than maxBytes before reading it.
std::optional<std::string> readWholeFile(const std::string& path, size_t maxBytes);

// Writes a temporary file in the target's folder, flushes it, renames it over the target and
// syncs the folder. Returns false (target untouched) on any failure. The temporary file is named
// "<target name>.partial-<process id>-XXXXXX", so one left by a killed process is known.
bool writeFileAtomic(const std::string& path, const std::string& bytes);

// Whether name is such a temporary file's name.
bool isTemporaryFileName(const std::string& name);

// Removes the temporary files in folder whose writing process no longer runs (a process
// killed in the middle of a write leaves one behind). Returns how many were removed.
int removeStaleTemporaryFiles(const std::string& folder);

// Appends bytes with one write call on a file opened for appending, so a crash leaves either
// the whole piece or none of it. Creates the file when missing. False on any failure.
bool appendWhole(const std::string& path, const std::string& bytes);

// Names of the entries of a folder (without "." and ".."), sorted; empty when it cannot be read.
std::vector<std::string> listFolder(const std::string& path);

// Removes a file and syncs its folder; true when it is gone afterwards.
bool removeFile(const std::string& path);

// Renames a file, replacing the target, and syncs the folders; false when it could not be
// renamed.
bool renameFile(const std::string& from, const std::string& to);

// Test hook for a full disk: while set to an error number (ENOSPC…), every write through
// writeFileAtomic and appendWhole fails with it and changes nothing. 0 writes normally. The
// environment variable PEDALYX_FAIL_WRITES=1 sets ENOSPC for a whole run.
void failWritesForTesting(int errorNumber);
// The error every write fails with under that hook (or the variable), 0 when writes go ahead.
// Writers outside this file (the examination store) honour it too.
int injectedWriteError();

}  // namespace platform
