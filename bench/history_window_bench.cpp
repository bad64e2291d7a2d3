// The history window opening for one customer in a busy shop's working directory (50 000
// examinations, made by tools/fill_examination_store, or the folder named by
// PEDALYX_STORE_FOLDER): from "歷史" until the window lists the customer's ten visits, and
// until it has checked every file of them (about 116 MB), against the store's look-up alone
// in the same run. Needs a display (tools/with-display.sh). The program ends with the ratios.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>
// The toolkit's X11 header defines macros that clash with the benchmark library: after it.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "pedalyx/report/examination_reader.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/station/handles.h"

namespace {

constexpr const char* kCustomerId = "BENCH-0001";
constexpr const char* kCustomerPhone = "0800000001";

// The working directory, filled once per run unless one is given; the program works in it.
class ShopFolder {
 public:
  ShopFolder() {
    if (const char* given = std::getenv("PEDALYX_STORE_FOLDER")) {
      folder_ = given;
    } else {
      char pattern[] = "/tmp/history-window-bench-XXXXXX";
      folder_ = mkdtemp(pattern);
      owned_ = true;
      const std::string command =
          std::string(TOOLS_DIR "/fill_examination_store ") + folder_ + " 50000 >&2";
      if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "filling %s failed\n", folder_.c_str());
    }
    if (chdir(folder_.c_str()) != 0) std::fprintf(stderr, "cannot work in %s\n", folder_.c_str());
  }
  ~ShopFolder() {
    if (chdir("/") == 0 && owned_) std::filesystem::remove_all(folder_);
  }

 private:
  std::string folder_;
  bool owned_ = false;
};

void enterShop() { static ShopFolder folder; }

// The fields "歷史" reads, holding the measured customer.
void typeCustomer() {
  if (idInput != nullptr) return;
  auto* window = new Fl_Double_Window(300, 100);
  idInput = new Fl_Input(50, 10, 200, 30, "ID");
  phoneInput = new Fl_Input(50, 50, 200, 30, "電話");
  window->end();
  idInput->value(kCustomerId);
  phoneInput->value(kCustomerPhone);
}

std::string status() {
  return historyStatus != nullptr && historyStatus->label() ? historyStatus->label() : "";
}

// "歷史" pressed, then the event loop runs until `done`; the window is hidden between runs.
template <class Done>
void openHistoryUntil(benchmark::State& state, Done done) {
  enterShop();
  typeCustomer();
  for (auto _ : state) {
    historyButtonCallback(nullptr, nullptr);
    while (!done()) Fl::wait(0.001);
    state.PauseTiming();
    if (status().rfind("10 ", 0) != 0) state.SkipWithError(("status: " + status()).c_str());
    historyWindow->hide();
    Fl::wait(0);
    state.ResumeTiming();
  }
}

void BM_HistoryWindowListsTheVisits(benchmark::State& state) {
  openHistoryUntil(state, [] { return status().find("次檢查") != std::string::npos; });
}
BENCHMARK(BM_HistoryWindowListsTheVisits)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HistoryWindowChecksEveryFile(benchmark::State& state) {
  openHistoryUntil(state, [] {
    return status().find("次檢查") != std::string::npos &&
           status().find("檢查檔案中") == std::string::npos;
  });
}
BENCHMARK(BM_HistoryWindowChecksEveryFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reference: the store's look-up of the same customer alone, on this thread.
void BM_StoreLookUpAlone(benchmark::State& state) {
  enterShop();
  std::string error;
  for (auto _ : state) {
    auto reader = report::ExaminationReader::open(".", error);
    std::vector<report::ExaminationRecord> records;
    if (!reader || !reader->findCustomer(kCustomerId, kCustomerPhone, records, error))
      return state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(records.data());
  }
}
BENCHMARK(BM_StoreLookUpAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

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
    for (const char* measured :
         {"BM_HistoryWindowListsTheVisits", "BM_HistoryWindowChecksEveryFile"}) {
      const char* reference = "BM_StoreLookUpAlone";
      if (times_.count(measured) && times_.count(reference) && times_[reference] > 0)
        std::printf("%s %.1f ms, %s %.1f ms: ratio %.2f\n", measured, times_[measured], reference,
                    times_[reference], times_[measured] / times_[reference]);
    }
  }

 private:
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
