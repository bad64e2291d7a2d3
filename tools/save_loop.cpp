// Runs the station's save paths over and over in a working directory, as fast as it can, so a
// test can kill it with SIGKILL at random moments and look at what is left: one "Save" (a
// database row and three balance bitmaps) and one report export (PDF, hand-off, pressure
// PNG) per round. Round k fills every picture with the byte k % 251 and hands over a foot
// length of 200 + k % 100 mm, so a file that mixed two rounds would show it.
//
//   save_loop <working directory> [rounds, 0 = until killed]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pedalyx/report/measurement_database.h"
#include "pedalyx/report/report_export.h"
#include "pedalyx/report/report_layout.h"

int main(int argc, char** argv) {
  if (argc < 2 || chdir(argv[1]) != 0) {
    std::fprintf(stderr, "usage: %s <working directory> [rounds]\n", argv[0]);
    return 2;
  }
  const long rounds = argc > 2 ? std::atol(argv[2]) : 0;
  // As the station does at start: what a killed run left half written goes first.
  report::removeStaleTemporaryFiles([](const std::string&) {});
  // Tells a watching test that the start is over and the saving begins.
  std::fputs("saving\n", stdout);
  std::fflush(stdout);

  std::vector<unsigned char> balance(size_t(report::kPictureWidth) * report::kPictureHeight * 3);
  std::vector<unsigned char> page(size_t(report::kPageWidth) * report::kPageHeight * 3);
  for (long k = 1; rounds == 0 || k <= rounds; ++k) {
    const unsigned char fill = static_cast<unsigned char>(k % 251);
    std::fill(balance.begin(), balance.end(), fill);
    std::fill(page.begin(), page.end(), fill);

    MeasurementRecord record;
    record.id = "customer " + std::to_string(k);
    record.footLength[0] = record.footLength[1] = 200 + k % 100;
    const BalancePictures pictures{balance.data(), balance.data(), balance.data()};
    // Four stamps in turn, so the same bitmaps are replaced again and again.
    saveMeasurement(".", record, pictures, static_cast<uint32_t>(1000 + k % 4));

    report::ExportInputs in;
    in.phone = "0987";
    in.time = {2027, 3, 3, 9, 5, 0};
    in.pageOnePixels = page.data();
    in.plainImage = balance.data();
    in.left = {0.25, double(200 + k % 100), 90, {}};
    in.right = in.left;
    in.console = [](const std::string&) {};
    report::exportReport(in);
  }
  return 0;
}
