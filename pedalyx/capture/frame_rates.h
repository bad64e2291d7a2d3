// The frame rates of the simulated and replayed cameras: the simulated walking customer plays
// at PEDALYX_SIMULATED_FPS, a replayed folder of frames at the rate its frames_per_second.txt
// gives. Both are one number from 1 to 240; anything else plays at 30 and is named on the log.
#pragma once
#include <cstdio>
#include <optional>
#include <string>

constexpr double kDefaultFramesPerSecond = 30.0;
constexpr double kLowestFramesPerSecond = 1.0;
constexpr double kHighestFramesPerSecond = 240.0;
constexpr const char* kFolderRateFile = "frames_per_second.txt";

// The number a text holds when it is nothing but one finite number from 1 to 240 (white space
// around it allowed).
std::optional<double> framesPerSecondOfText(const std::string& text);

// PEDALYX_SIMULATED_FPS's value (nullptr when unset): 30 when unset; a value that is not a rate
// gives 30 and a line on `log`.
double simulatedFramesPerSecond(const char* value, std::FILE* log);

// The rate of a replayed folder: its frames_per_second.txt, or 30 when the file is absent;
// 30 and a line on `log` when the file holds no rate.
double folderFramesPerSecond(const std::string& folder, std::FILE* log);
