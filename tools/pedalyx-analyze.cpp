// pedalyx-analyze: re-checks an archived examination from its pressure picture. Prints what
// the station computed for it (the insole hand-off text, then the load shares), so archived
// examinations can be compared in bulk with their hand-off files.
//
//   pedalyx-analyze [--colours lut_ancestor.txt] [--sizes LL LW RL RW] PICTURE.png
//                   LHX LHY LTX LTY RHX RHY RTX RTY
//
// The eight numbers are the heel and toe of the left and the right foot axis in picture
// pixels, x from the left edge and y up from the bottom row. --sizes gives the operator's foot
// lengths and widths in mm (the picture does not hold them; 0 without it).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "pedalyx/imaging/colour_table.h"
#include "pedalyx/report/pressure_reanalysis.h"

namespace {

int usage(const char* program) {
  std::fprintf(stderr,
               "usage: %s [--colours TABLE] [--sizes LL LW RL RW] PICTURE.png "
               "LHX LHY LTX LTY RHX RHY RTX RTY\n",
               program);
  return 2;
}

bool readInteger(const char* text, int& value) {
  char* end = nullptr;
  const long read = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || read < -100000 || read > 100000) return false;
  value = static_cast<int>(read);
  return true;
}

bool readSize(const char* text, double& value) {
  char* end = nullptr;
  const double read = std::strtod(text, &end);
  if (end == text || *end != '\0' || !std::isfinite(read) || read < 0 || read > 1000) return false;
  value = read;
  return true;
}

// The report name of a picture: its file name without folder and ".png".
std::string reportNameOf(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
    name.resize(name.size() - 4);
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  std::string colours = kColourTableFile;
  double sizes[4] = {};
  std::vector<const char*> rest;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--colours") == 0 && i + 1 < argc) {
      colours = argv[++i];
    } else if (std::strcmp(argv[i], "--sizes") == 0 && i + 4 < argc) {
      for (double& size : sizes) {
        if (!readSize(argv[++i], size)) return usage(argv[0]);
      }
    } else {
      rest.push_back(argv[i]);
    }
  }
  if (rest.size() != 9) return usage(argv[0]);
  int n[8];
  for (int k = 0; k < 8; ++k) {
    if (!readInteger(rest[k + 1], n[k])) return usage(argv[0]);
  }
  unsigned char table[kColourTableBytes] = {};
  if (!loadColourTableFile(colours, table)) {
    std::fprintf(stderr, "the colour table %s could not be read\n", colours.c_str());
    return 1;
  }
  std::vector<uint8_t> levels;
  std::string reason;
  if (!report::levelsOfPressurePicture(rest[0], table, levels, reason)) {
    std::fprintf(stderr, "%s\n", reason.c_str());
    return 1;
  }
  report::Reanalysis result;
  const report::AxisPoints left{n[0], n[1], n[2], n[3]}, right{n[4], n[5], n[6], n[7]};
  if (!report::reanalyse(levels, left, right, result, reason)) {
    std::fprintf(stderr, "%s\n", reason.c_str());
    return 1;
  }
  result.left.length = sizes[0], result.left.width = sizes[1];
  result.right.length = sizes[2], result.right.width = sizes[3];
  std::fputs(report::formatReanalysis(result, reportNameOf(rest[0])).c_str(), stdout);
  return 0;
}
