// The colour table "lut_ancestor.txt": 768 decimal integers, entry i (level i) as red, green,
// blue. Each number keeps its low 8 bits.
#pragma once
#include <string>

constexpr const char* kColourTableFile = "lut_ancestor.txt";
constexpr int kColourTableBytes = 768;

// Fills table (768 bytes) from text; numbers missing at the end leave their bytes 0. Returns
// the count of numbers read.
int parseColourTable(const std::string& text, unsigned char* table);

// Loads the file into table; a missing file prints "open file error" and leaves the table all
// zero. Returns whether the file was read.
bool loadColourTableFile(const std::string& path, unsigned char* table);

// Level of a colour: the first table entry equal to (r, g, b), or -1 when none is.
int levelOfColour(const unsigned char* table, unsigned char r, unsigned char g, unsigned char b);
