// Starting other programs without waiting for them.
#pragma once
#include <string>
#include <vector>

namespace platform {

// Splits a Windows-style command line at blanks (double quotes group words) and maps a
// program ending in ".exe" to the file without that ending, so "./Cobblet.exe" starts
// "./Cobblet". Exposed for tests.
std::vector<std::string> commandLineToArguments(const std::string& commandLine);

// The folder of the running program (from /proc/self/exe); empty when it cannot be read.
std::string executableFolder();

// A program given relative to the working directory ("./Cobblet") that is not there is the
// one beside the running program, where an installed station keeps both programs. Any other
// program is returned as it is. Exposed for tests.
std::string locateProgram(const std::string& program, const std::string& ownFolder);

// Starts the command line as a new process and returns at once; the child is never waited
// for and is reaped automatically. False when the program could not be started.
bool startProgram(const std::string& commandLine);

// Lets every other thread of the station go first on a busy core: for threads that only move
// data in the background (sending to the central database), never for the interface.
void lowerThisThreadsPriority();

// Whether a process with this number runs, under any account (our own number counts).
bool processRunning(long pid);

// Starts the system's on-screen keyboard when one is installed ("onboard"); otherwise
// does nothing. Returns whether a keyboard was started.
bool startOnScreenKeyboard();

}  // namespace platform
