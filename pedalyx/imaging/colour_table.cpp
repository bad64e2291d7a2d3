#include "pedalyx/imaging/colour_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"

int parseColourTable(const std::string& text, unsigned char* table) {
  std::memset(table, 0, kColourTableBytes);
  const char* at = text.c_str();
  int count = 0;
  while (count < kColourTableBytes) {
    char* end = nullptr;
    const long value = std::strtol(at, &end, 10);
    if (end == at) break;
    table[count++] = static_cast<unsigned char>(value & 0xFF);
    at = end;
  }
  return count;
}

bool loadColourTableFile(const std::string& path, unsigned char* table) {
  const std::optional<std::string> text = platform::readWholeFile(path);
  if (!text) {
    std::printf("open file error\n");
    std::memset(table, 0, kColourTableBytes);
    return false;
  }
  parseColourTable(*text, table);
  return true;
}

int levelOfColour(const unsigned char* table, unsigned char r, unsigned char g, unsigned char b) {
  for (int i = 0; i < 256; ++i)
    if (table[3 * i] == r && table[3 * i + 1] == g && table[3 * i + 2] == b) return i;
  return -1;
}
