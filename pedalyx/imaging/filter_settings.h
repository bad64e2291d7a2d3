// Readers of the two filter-settings files: "noise.txt" (noise filter, tone density) and
// "blue_block.txt" (six blue-block values). Both hold numbers read one after another with a
// read variable that starts at 1: an existing file without a number yields 1, and every missing
// later number repeats the last one read.
#pragma once
#include <optional>
#include <string>
#include <vector>

constexpr const char* kNoiseSettingsFile = "noise.txt";
constexpr const char* kBlueBlockSettingsFile = "blue_block.txt";

// The first count values of text under the rule above.
std::vector<float> parseSettingValues(const std::string& text, int count);

// The values of a settings file, or nothing when the file is missing.
std::optional<std::vector<float>> readSettingValues(const std::string& path, int count);
