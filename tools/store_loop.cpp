// Runs the station's examination writes over and over in a working directory, as fast as it
// can, so a test can kill it with SIGKILL at random moments and look at what is left. Each
// round is one customer: the export opens a record, the "Save" appends its row (and three
// balance bitmaps) and then completes the record, as the station does it: the CSV row first,
// then the store. Round k writes the customer "customer k" with every figure equal to k (but
// the balance split, which names the bitmaps), so a
// record that mixed two rounds would show it; k goes on from the rows already in the table.
//
//   store_loop <working directory> [rounds, 0 = until killed]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pedalyx/report/csv_table.h"
#include "pedalyx/report/database_rows.h"
#include "pedalyx/report/examination_parts.h"
#include "pedalyx/report/examination_session.h"
#include "pedalyx/report/report_export.h"
#include "pedalyx/report/report_layout.h"
#include "platform/files.h"

using namespace report;

// The export's figures of round k: every number k.
ExportFigures exportOfRound(long k) {
  ExportFigures e;
  e.customer.phone = "0987";
  e.customer.id = "customer " + std::to_string(k);
  for (int s = 0; s < 2; ++s) {
    e.length[s] = e.width[s] = e.archIndex[s] = static_cast<double>(k);
    e.referenceColumn[s] = static_cast<float>(k);
  }
  for (double& share : e.shares) share = static_cast<double>(k);
  for (double& zone : e.zones) zone = static_cast<double>(k);
  for (auto& foot : e.levels) {
    for (double& level : foot) level = static_cast<double>(k);
  }
  return e;
}

// The analysis window of round k: every number k.
MeasurementRecord saveOfRound(long k) {
  MeasurementRecord m;
  m.id = "customer " + std::to_string(k);
  const double v = static_cast<double>(k);
  m.age = m.height = m.weight = v;
  m.leftShare = 20, m.rightShare = 80;  // they name the bitmaps
  for (int s = 0; s < 2; ++s) {
    m.navicularDrop[s] = m.footLength[s] = m.footWidth[s] = m.halluxAngle[s] = v;
    m.archLow[s] = m.archEven[s] = m.archHigh[s] = v;
  }
  for (double& zone : m.zones) zone = v;
  for (int c = 0; c < 6; ++c) m.caseLeft[c] = m.caseRight[c] = true;
  return m;
}

int main(int argc, char** argv) {
  if (argc < 2 || chdir(argv[1]) != 0) {
    std::fprintf(stderr, "usage: %s <working directory> [rounds]\n", argv[0]);
    return 2;
  }
  const long rounds = argc > 2 ? std::atol(argv[2]) : 0;
  report::removeStaleTemporaryFiles([](const std::string&) {});
  std::string error;
  auto store = ExaminationStore::open(".", error);
  if (!store) {
    std::fprintf(stderr, "store_loop: %s\n", error.c_str());
    return 1;
  }
  ExaminationSession session(store.get(), "", {"shop", "station"});
  const std::string table = platform::readWholeFile(kDatabaseFile).value_or("");
  const long first =
      static_cast<long>(splitTable(table, RowLayout::kLineFeedFirst).rows.size()) + 1;
  // Tells a watching test that the start is over and the writing begins.
  std::fputs("saving\n", stdout);
  std::fflush(stdout);

  std::vector<unsigned char> balance(size_t(kPictureWidth) * kPictureHeight * 3);
  for (long k = first; rounds == 0 || k < first + rounds; ++k) {
    std::fill(balance.begin(), balance.end(), static_cast<unsigned char>(k % 251));
    session.add(partOfExport(exportOfRound(k)), 1780000000 + k);
    const MeasurementRecord record = saveOfRound(k);
    // Four stamps in turn, so the same bitmaps are replaced again and again.
    const uint32_t stamp = static_cast<uint32_t>(1000 + k % 4);
    const BalancePictures pictures{balance.data(), balance.data(), balance.data()};
    const SaveOutcome saved = saveMeasurement(".", record, pictures, stamp);
    session.add(partOfSave(record, stamp, saved, "."), 1780000000 + k);
    session.nextCustomer();
  }
  return 0;
}
