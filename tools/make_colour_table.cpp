// Writes the colour table "lut_ancestor.txt" into the staged working directory (argv[1]).
#include <cstdio>
#include <set>
#include <tuple>

#include "pedalyx/imaging/colour_scale.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_colour_table <station folder>\n");
    return 2;
  }
  unsigned char table[768];
  makeColourScale(table);
  std::set<std::tuple<int, int, int>> seen;
  for (int i = 0; i < 256; ++i) seen.insert({table[3 * i], table[3 * i + 1], table[3 * i + 2]});
  if (seen.size() != 256) {
    std::fprintf(stderr, "colour table has only %zu distinct entries\n", seen.size());
    return 1;
  }
  const std::string path = platform::joinPath(argv[1], "lut_ancestor.txt");
  if (!platform::writeFileAtomic(path, colourScaleText(table))) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
