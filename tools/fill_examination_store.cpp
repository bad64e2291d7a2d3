// Fills a working directory with the examinations of a busy shop, for measuring: an
// examination store of N examinations of about N / 5 customers (each an export, a "Save" and,
// every third, both sway recordings, with the names and checksums of their files) and the
// matching "Database_2080.csv". One more customer, ID "BENCH-0001" and phone "0800000001",
// has ten visits whose files are on disk at their real sizes (report PDF, pressure PNG, three
// balance bitmaps, insole bitmaps and models), so that a look-up can check them.
//
//   fill_examination_store <folder> [examinations = 50000]
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "pedalyx/report/database_rows.h"
#include "pedalyx/report/examination_parts.h"
#include "pedalyx/report/examination_store.h"
#include "pedalyx/report/report_export.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/sha256.h"

using namespace report;

namespace {

constexpr int64_t kStart = 1700000000;  // November 2023
constexpr int kBenchVisits = 10;

struct Filler {
  std::mt19937 random{20261208};
  std::string database;
  double uniform(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
  }

  // One examination: export, save and maybe sway; the save's row goes into `database`.
  ExaminationRecord examination(const std::string& id, const std::string& phone, int64_t when,
                                bool sway) {
    ExportFigures e;
    e.customer.phone = phone;
    e.customer.birthYear = std::to_string(1950 + when % 50);
    e.customer.gender = when % 2 ? "女" : "男";
    e.reportName = reportName(phone, platform::localTime(when));
    for (int s = 0; s < 2; ++s) {
      e.length[s] = uniform(220, 290), e.width[s] = uniform(80, 110);
      e.archIndex[s] = uniform(0.15, 0.32);
      e.sizeOrigin[s] = e.archOrigin[s] = "measured";
      e.footType[s] = "正常足";
    }
    e.shoeType = "穩定型", e.shoeSize = "25";
    for (double& share : e.shares) share = uniform(20, 60);
    for (double& zone : e.zones) zone = uniform(5, 30);
    for (auto& foot : e.levels) {
      for (double& level : foot) level = uniform(0, 40);
    }
    ExaminationPart exported = partOfExport(e);
    MeasurementRecord m;
    m.id = id;
    m.age = 20 + when % 60, m.height = uniform(150, 190), m.weight = uniform(45, 95);
    for (int s = 0; s < 2; ++s) {
      m.footLength[s] = e.length[s], m.footWidth[s] = e.width[s];
      m.archEven[s] = e.archIndex[s];
    }
    for (int z = 0; z < 12; ++z) m.zones[z] = e.zones[z];
    const uint32_t stamp = saveStamp(when + 120);
    SaveOutcome saved;
    saved.rowWritten = true;
    for (const char* split : {"_20_80.bmp", "_80_20.bmp", "_50_50.bmp"})
      saved.writtenBitmaps.push_back("PressureImage/" + std::to_string(stamp) + split);
    const ExaminationPart save = partOfSave(m, stamp, saved, ".");
    database += measurementRow(m, stamp);

    ExaminationRecord r = recordOfPart(exported);
    r.takenAt = when;
    r.shop = "台北一店", r.station = "station 1";
    r.customer.id = id;
    r.customer.age = m.age, r.customer.height = m.height, r.customer.weight = m.weight;
    r.figures.insert(r.figures.end(), save.figures.begin(), save.figures.end());
    r.files.insert(r.files.end(), save.files.begin(), save.files.end());
    r.rows = save.rows;
    for (const char* insole : {"_iLeft.bmp", "_iRight.bmp", "_iLeft.stl", "_iRight.stl"})
      r.files.push_back(fileToKeep("PDF_INSOLES/" + e.reportName + insole, "insole"));
    // Checksums stand in for the files, which only the measured customer has on disk.
    for (ExaminationFile& file : r.files) {
      file.sha256 = platform::sha256Hex(file.path);
      file.bytes = 1;
    }
    if (sway) {
      for (const char* group : {"sway_eyes_open", "sway_eyes_closed"}) {
        for (const char* side : {"left", "right", "both"}) {
          for (const char* name :
               {"frames", "seconds", "path_length", "mean_velocity", "range_x", "range_y", "rms_x",
                "rms_y", "ellipse_area", "ellipse_semi_major", "ellipse_semi_minor",
                "ellipse_angle", "ellipse_centre_x", "ellipse_centre_y", "left_share_mean",
                "left_share_spread"})
            r.figures.push_back({group, name, side, uniform(0, 300), "", "mm", ""});
        }
        r.figures.push_back({group, "planned_seconds", "", 30.0, "", "s", "typed"});
      }
    }
    return r;
  }
};

// A file of `bytes` random bytes, written once.
bool writeFiller(const std::string& path, size_t bytes, std::mt19937& random) {
  std::string content(bytes, '\0');
  for (char& c : content) c = static_cast<char>(random());
  return platform::writeFileAtomic(path, content);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <folder> [examinations]\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  const long count = argc > 2 ? std::atol(argv[2]) : 50000;
  std::string error;
  auto store = ExaminationStore::open(folder, error);
  if (!store) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  Filler filler;
  const long customers = std::max(1L, count / 5);
  std::vector<ExaminationRecord> batch;
  auto flush = [&] {
    if (!store->createAll(batch, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::exit(1);
    }
    batch.clear();
  };
  for (long n = 0; n < count; ++n) {
    const long customer = std::uniform_int_distribution<long>(0, customers - 1)(filler.random);
    char id[32], phone[32];
    std::snprintf(id, sizeof id, "C%07ld", customer);
    std::snprintf(phone, sizeof phone, "09%08ld", customer);
    batch.push_back(filler.examination(id, phone, kStart + n * 1800, n % 3 == 0));
    if (batch.size() == 1000) flush();
  }
  // The measured customer: ten visits with their files on disk at real sizes.
  for (const char* sub : {"PDF_INSOLES", "FOOT_PRESSURE", "PressureImage"})
    platform::makeDirectory(platform::joinPath(folder, sub));
  for (int v = 0; v < kBenchVisits; ++v) {
    ExaminationRecord r = filler.examination("BENCH-0001", "0800000001",
                                             kStart + count * 1800 / kBenchVisits * v + 900, true);
    for (ExaminationFile& file : r.files) {
      const std::string& p = file.path;
      const size_t bytes = p.find(".pdf") != std::string::npos   ? 381269
                           : p.find(".png") != std::string::npos ? 60000
                           : p.find(".stl") != std::string::npos ? 5044184
                           : p.find("_i") != std::string::npos   ? 55798
                                                                 : 321654;
      if (!writeFiller(platform::joinPath(folder, p), bytes, filler.random)) return 1;
    }
    for (ExaminationFile& file : r.files) file.sha256.clear();
    takeChecksums(folder, r.files);
    batch.push_back(r);
  }
  flush();
  const std::string table = measurementHeader(MeasurementRecord{}) + filler.database;
  if (!platform::writeFileAtomic(platform::joinPath(folder, kDatabaseFile), table)) return 1;
  std::printf("%ld examinations of %ld customers and %d of BENCH-0001 in %s\n", count, customers,
              kBenchVisits, folder.c_str());
  return 0;
}
