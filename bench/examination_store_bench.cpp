// Speed of the examination store in a busy shop's working directory (50 000 examinations,
// made by tools/fill_examination_store, or the folder named by PEDALYX_STORE_FOLDER): writing
// one record at the export and completing it at the "Save", against appending the save's row
// to "Database_2080.csv", the plain reference; and the history's look-up of one customer with
// ten visits (every figure, every file checked), against today's history from the files.
// The program ends with both ratios.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "pedalyx/report/customer_history.h"
#include "pedalyx/report/database_rows.h"
#include "pedalyx/report/examination_parts.h"
#include "pedalyx/report/examination_reader.h"
#include "pedalyx/report/examination_store.h"
#include "pedalyx/report/report_export.h"
#include "platform/files.h"

using namespace report;

namespace {

constexpr const char* kCustomerId = "BENCH-0001";
constexpr const char* kCustomerPhone = "0800000001";

// The working directory: filled once per run unless one is given.
class ShopFolder {
 public:
  ShopFolder() {
    if (const char* given = std::getenv("PEDALYX_STORE_FOLDER")) {
      folder_ = given;
      return;
    }
    char pattern[] = "/tmp/examination-store-bench-XXXXXX";
    folder_ = mkdtemp(pattern);
    owned_ = true;
    const char* count = std::getenv("PEDALYX_STORE_EXAMINATIONS");
    const std::string command = std::string(TOOLS_DIR "/fill_examination_store ") + folder_ + " " +
                                (count ? count : "50000") + " >&2";
    if (std::system(command.c_str()) != 0)
      std::fprintf(stderr, "filling %s failed\n", folder_.c_str());
  }
  ~ShopFolder() {
    if (owned_) std::filesystem::remove_all(folder_);
  }
  const std::string& path() const { return folder_; }

 private:
  std::string folder_;
  bool owned_ = false;
};

const std::string& shop() {
  static ShopFolder folder;
  return folder.path();
}

// The export's two files at their real sizes, written once.
std::string exportedFiles() {
  static const std::string name = [] {
    const std::string reportName = "0911000000_203001010900";
    platform::writeFileAtomic(platform::joinPath(shop(), "PDF_INSOLES/" + reportName + ".pdf"),
                              std::string(381269, 'p'));
    platform::writeFileAtomic(platform::joinPath(shop(), "FOOT_PRESSURE/" + reportName + ".png"),
                              std::string(60000, 'n'));
    return reportName;
  }();
  return name;
}

ExportFigures exportFigures() {
  ExportFigures e;
  e.customer.phone = "0911000000";
  e.reportName = exportedFiles();
  for (int s = 0; s < 2; ++s) {
    e.length[s] = 250, e.width[s] = 95, e.archIndex[s] = 0.23;
    e.sizeOrigin[s] = e.archOrigin[s] = "measured";
    e.footType[s] = "正常足";
  }
  e.shoeType = "穩定型", e.shoeSize = "25";
  return e;
}

MeasurementRecord saveRecord() {
  MeasurementRecord m;
  m.id = "B-0911";
  m.footLength[0] = m.footLength[1] = 250;
  return m;
}

void BM_WriteRecordAtExport(benchmark::State& state) {
  std::string error;
  auto store = ExaminationStore::open(shop(), error);
  if (!store) return state.SkipWithError(error.c_str());
  const ExaminationPart part = partOfExport(exportFigures());
  for (auto _ : state) {
    const StoreWrite write = store->create(recordOfPart(part));
    if (!write.written || !write.missingFiles.empty()) state.SkipWithError(write.error.c_str());
  }
}
BENCHMARK(BM_WriteRecordAtExport)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CompleteRecordAtSave(benchmark::State& state) {
  std::string error;
  auto store = ExaminationStore::open(shop(), error);
  if (!store) return state.SkipWithError(error.c_str());
  // Open, as the station's record is until its customer is done.
  ExaminationRecord open = recordOfPart(partOfExport(exportFigures()));
  open.open = true;
  const StoreWrite record = store->create(open);
  SaveOutcome saved;
  saved.rowWritten = true;
  for (const char* split : {"_20_80.bmp", "_80_20.bmp", "_50_50.bmp"}) {
    const std::string path =
        platform::joinPath(shop(), std::string("PressureImage/4000000000") + split);
    platform::writeFileAtomic(path, std::string(321654, 'b'));
    saved.writtenBitmaps.push_back(path);
  }
  const ExaminationPart part = partOfSave(saveRecord(), 4000000000u, saved, shop());
  for (auto _ : state) {
    const StoreWrite write = store->complete(record.recordId, part);
    if (!write.written) state.SkipWithError(write.error.c_str());
  }
}
BENCHMARK(BM_CompleteRecordAtSave)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reference: the row a "Save" appends today, one synced write.
void BM_AppendDatabaseRow(benchmark::State& state) {
  const std::string copy = platform::joinPath(shop(), "Database_append_reference.csv");
  const std::string row = measurementRow(saveRecord(), 4000000000u);
  for (auto _ : state) {
    if (!platform::appendWhole(copy, row)) state.SkipWithError("append failed");
  }
  platform::removeFile(copy);
}
BENCHMARK(BM_AppendDatabaseRow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HistoryFromStore(benchmark::State& state) {
  std::string error;
  size_t visits = 0;
  for (auto _ : state) {
    // As the history does: a reader of its own, every record whole, every file checked.
    auto reader = ExaminationReader::open(shop(), error);
    std::vector<ExaminationRecord> records;
    if (!reader || !reader->findCustomer(kCustomerId, kCustomerPhone, records, error))
      return state.SkipWithError(error.c_str());
    checkFiles(shop(), records);
    visits = records.size();
  }
  state.counters["visits"] = static_cast<double>(visits);
}
BENCHMARK(BM_HistoryFromStore)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LookUpWithoutFileCheck(benchmark::State& state) {
  std::string error;
  auto reader = ExaminationReader::open(shop(), error);
  if (!reader) return state.SkipWithError(error.c_str());
  for (auto _ : state) {
    std::vector<ExaminationRecord> records;
    if (!reader->findCustomer(kCustomerId, kCustomerPhone, records, error))
      return state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(records.data());
  }
}
BENCHMARK(BM_LookUpWithoutFileCheck)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reference: today's history of the same customer from the database file and the folders.
void BM_HistoryFromFiles(benchmark::State& state) {
  size_t visits = 0;
  for (auto _ : state)
    visits = findCustomerHistory(shop(), kCustomerId, kCustomerPhone).visits.size();
  state.counters["visits"] = static_cast<double>(visits);
}
BENCHMARK(BM_HistoryFromFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (median || run.run_type == Run::RT_Iteration)
        times_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    ratio("BM_WriteRecordAtExport", "BM_AppendDatabaseRow");
    ratio("BM_CompleteRecordAtSave", "BM_AppendDatabaseRow");
    ratio("BM_HistoryFromStore", "BM_HistoryFromFiles");
  }

 private:
  void ratio(const std::string& measured, const std::string& reference) {
    if (times_.count(measured) && times_.count(reference) && times_[reference] > 0)
      std::printf("%s %.2f ms, %s %.2f ms: ratio %.2f\n", measured.c_str(), times_[measured],
                  reference.c_str(), times_[reference], times_[measured] / times_[reference]);
  }
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
