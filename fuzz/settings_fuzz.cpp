// The small settings files the station reads at start: the filter values, the colour table
// and the case texts in text mode. Any content is read without undefined behaviour.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pedalyx/imaging/colour_table.h"
#include "pedalyx/imaging/filter_settings.h"
#include "pedalyx/shell/settings_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (int count : {1, 2, 4}) parseSettingValues(text, count);
  unsigned char table[kColourTableBytes];
  const int entries = parseColourTable(text, table);
  if (entries < 0 || entries > kColourTableBytes) std::abort();
  if (size >= 3 && levelOfColour(table, data[0], data[1], data[2]) > 255) std::abort();
  settings::toTextMode(settings::fromTextMode(text));
  return 0;
}
