// The walking recording's costs, each as a ratio to the time it is about:
//  - BM_ContactsAndFigures: from the recording's end to its figures (contacts closed, every
//    contact's figures, the per-foot means) for 20 s of the walk scene at 120 frames a second,
//    over the ratio to those 20 s. The levels are the scene's own (no display needed).
//  - BM_KpaFigures: the same recording's figures in kPa (every contact's zones through a
//    body-weight scale, the per-foot means), which the window and the report add where the
//    plate has a pressure scale, over the ratio to those 20 s.
//  - BM_FrameIntoContacts: following the contacts through one frame while recording, over the
//    ratio to the frame period at 120 a second.
//  - BM_StationWalkRecording: the whole station in this process on the simulated walking
//    customer at PEDALYX_SIMULATED_FPS (30 unless set): a 20 s recording, the operator's stop,
//    and the time until the figures are made, over the ratio to the 20 s; with the frames
//    recorded, the camera's counter gaps, how far the reads fell behind the camera, the queue
//    at its fullest and the process's peak memory. Needs a display:
//      PEDALYX_SIMULATED_FPS=120 tools/with-display.sh build/bench/gait_bench
//          --benchmark_filter=Station
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/station_directory.h"
#include "pedalyx/capture/camera_frame_source.h"
#include "pedalyx/capture/simulated_walk.h"
#include "pedalyx/imaging/gait_pressure.h"
#include "pedalyx/imaging/gait_recorder.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/station/handles.h"

namespace fs = std::filesystem;

namespace {

constexpr double kRecordingSeconds = 20.0;
constexpr double kFramesPerSecond = 120.0;

// The scene's levels as the default settings give them: round(255 L), none at or below the
// noise threshold of 5 camera units.
void sceneLevels(const SimulatedWalk& walk, int64_t n, std::vector<uint8_t>& levels) {
  cv::Mat load;
  walk.canvasLoad(n, load);
  levels.resize(kCanvasPixels);
  for (int k = 0; k < kCanvasPixels; ++k) {
    const double level = 255.0 * load.ptr<float>()[k];
    levels[k] = level <= 5.0 * 255 / 230 ? 0 : static_cast<uint8_t>(std::lround(level));
  }
}

ContactFinder& recordedFinder() {
  static ContactFinder* finder = nullptr;
  if (finder != nullptr) return *finder;
  finder = new ContactFinder();
  const SimulatedWalk walk(kFramesPerSecond);
  std::vector<uint8_t> levels;
  const int64_t first = static_cast<int64_t>(kFramesPerSecond);
  for (int64_t n = first; n < first + kRecordingSeconds * kFramesPerSecond; ++n) {
    sceneLevels(walk, n, levels);
    finder->addFrame(n, n / kFramesPerSecond, levels.data());
  }
  return *finder;
}

void BM_ContactsAndFigures(benchmark::State& state) {
  const ContactFinder& finder = recordedFinder();
  size_t contacts = 0;
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<GaitContact> found = finder.finish();
    std::vector<ContactFigures> figures;
    for (const GaitContact& c : found)
      figures.push_back(computeContactFigures(c, 1.0 / kFramesPerSecond));
    benchmark::DoNotOptimize(summariseGait(found, figures));
    contacts = found.size();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    total += seconds;
  }
  state.counters["contacts"] = static_cast<double>(contacts);
  state.counters["ratio_to_recording"] = total / state.iterations() / kRecordingSeconds;
}
BENCHMARK(BM_ContactsAndFigures)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_KpaFigures(benchmark::State& state) {
  GaitResults results;
  results.framePeriod = 1.0 / kFramesPerSecond;
  results.contacts = recordedFinder().finish();
  for (const GaitContact& c : results.contacts)
    results.figures.push_back(computeContactFigures(c, results.framePeriod));
  results.summary = summariseGait(results.contacts, results.figures);
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const PressureScale scale = walkingPressureScale(results, nullptr, 6, 70);
    benchmark::DoNotOptimize(gaitPressures(results, scale));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    total += seconds;
  }
  state.counters["ratio_to_recording"] = total / state.iterations() / kRecordingSeconds;
}
BENCHMARK(BM_KpaFigures)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_FrameIntoContacts(benchmark::State& state) {
  const SimulatedWalk walk(kFramesPerSecond);
  std::vector<std::vector<uint8_t>> frames(240);
  for (size_t i = 0; i < frames.size(); ++i)
    sceneLevels(walk, static_cast<int64_t>(kFramesPerSecond) + i, frames[i]);
  ContactFinder finder;
  int64_t n = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    finder.addFrame(n, n / kFramesPerSecond, frames[n % frames.size()].data());
    ++n;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  state.counters["ratio_to_frame"] = n > 0 ? seconds / n * kFramesPerSecond : 0;
}
BENCHMARK(BM_FrameIntoContacts)->Unit(benchmark::kMicrosecond)->UseRealTime();

double statusMegabytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + std::strlen(field)) / 1024.0;
  return 0;
}

template <class Condition>
bool pumpUntil(Condition done, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    Fl::wait(0.002);
  }
  return done();
}

fs::path scratchFolder;

void removeScratchFolder() {
  if (scratchFolder.empty() || chdir("/") != 0) return;
  std::error_code error;
  fs::remove_all(scratchFolder, error);
}

// The staged station in a scratch folder, on the walking customer, with its background taken;
// the folder goes when the program ends.
bool openStation() {
  static bool open = false;
  if (open) return true;
  char pattern[] = "/tmp/gait_bench_XXXXXX";
  const fs::path folder = mkdtemp(pattern);
  scratchFolder = folder;
  std::atexit(removeScratchFolder);
  for (const fs::directory_entry& entry : fs::directory_iterator(stationDirectory())) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && name != "Pedalyx" && name != "Cobblet")
      fs::copy_file(entry.path(), folder / name);
  }
  if (chdir(folder.c_str()) != 0) return false;
  setenv("PEDALYX_SIMULATED_CAMERA", "walk", 1);
  setenv("PEDALYX_MESSAGE_LOG", (folder / "messages.log").c_str(), 1);
  workingDirectory = folder.string();
  runStationStartup();
  buildStation();
  mainWindow->show();
  open = pumpUntil(
      [] {
        return pressureView->frameSource != nullptr && pressureView->ringFrames >= 3 &&
               !pressureView->calibrationRequested;
      },
      60);
  return open;
}

void BM_StationWalkRecording(benchmark::State& state) {
  if (std::getenv("DISPLAY") == nullptr) {
    state.SkipWithError("needs a display (tools/with-display.sh)");
    return;
  }
  if (!openStation()) {
    state.SkipWithError("the station did not start");
    return;
  }
  GaitRecorder& recorder = pressureView->gaitRecorder;
  for (auto _ : state) {
    const double before = statusMegabytes("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak from here on
    if (!recorder.start(*pressureView->frameSource, GaitRecorder::kLongestSeconds)) {
      state.SkipWithError("the recording did not start");
      return;
    }
    pumpUntil([&] { return recorder.elapsedSeconds() >= kRecordingSeconds - 1e-9; }, 120);
    const auto stop = std::chrono::steady_clock::now();
    const size_t backlog = recorder.framesWaiting();
    recorder.stop();
    pumpUntil([&] { return recorder.state() == GaitRecorder::State::Done; }, 120);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - stop).count();
    state.SetIterationTime(seconds);
    const GaitResults& r = recorder.results();
    int counted[2] = {0, 0};
    for (const GaitContact& c : r.contacts) counted[static_cast<int>(c.side())] += c.counted();
    const double fps = r.framePeriod > 0 ? 1.0 / r.framePeriod : 0;
    state.counters["fps"] = fps;
    state.counters["frames"] = static_cast<double>(r.frames.size());
    state.counters["counter_gaps"] = static_cast<double>(r.framesLost);
    state.counters["most_late_frames"] = r.camera.mostLateSeconds * fps;
    state.counters["queue_peak_MB"] = r.camera.mostBytesWaiting / 1e6;
    state.counters["waited_for_room_ms"] = r.camera.longestWaitForRoom * 1000;
    state.counters["waiting_at_stop"] = static_cast<double>(backlog);
    state.counters["stop_to_figures_s"] = seconds;
    state.counters["ratio_to_recording"] = seconds / kRecordingSeconds;
    state.counters["rss_before_MB"] = before;
    state.counters["peak_MB"] = statusMegabytes("VmHWM:");
    state.counters["contacts_left"] = counted[0];
    state.counters["contacts_right"] = counted[1];
  }
}
BENCHMARK(BM_StationWalkRecording)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
