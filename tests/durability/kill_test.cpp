// Durability shown, not claimed: the save paths are killed with SIGKILL at random moments, and
// after every kill each file is a whole version (the old or the new one), the database holds
// only whole rows, and the next start leaves no temporary file behind. A full disk changes
// nothing and is told to the operator.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <opencv2/imgcodecs.hpp>
#include <random>
#include <string>
#include <thread>

#include "cobblet/handoff_reader.h"
#include "cobblet/insole_output.h"
#include "pedalyx/report/measurement_database.h"
#include "pedalyx/report/report_export.h"
#include "pedalyx/report/sway_store.h"
#include "platform/files.h"
#include "platform/station_folder.h"

namespace fs = std::filesystem;

namespace {

class Durability : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/station-durability-XXXXXX";
    folder_ = mkdtemp(pattern);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // The number of temporary files below the folder.
  int temporaries() const {
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder_))
      count += platform::isTemporaryFileName(entry.path().filename().string()) ? 1 : 0;
    return count;
  }

  // Every file the save paths write is one whole round's version.
  void expectWholeFiles() const {
    for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
      if (!entry.is_regular_file()) continue;
      const std::string path = entry.path().string();
      const std::string name = entry.path().filename().string();
      const std::string ext = entry.path().extension().string();
      if (platform::isTemporaryFileName(name)) continue;  // swept at the next start
      if (ext == ".bmp" || ext == ".png") {
        cv::Mat picture = cv::imread(path, cv::IMREAD_COLOR);
        ASSERT_EQ(picture.size(), cv::Size(320, 335)) << path;
        double low, high;
        cv::minMaxLoc(picture.reshape(1), &low, &high);
        EXPECT_EQ(low, high) << path << " mixes two versions";
      } else if (ext == ".pdf") {
        const std::string pdf = platform::readWholeFile(path).value_or("");
        EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u) << path;
        EXPECT_NE(pdf.find("%%EOF", pdf.size() > 8 ? pdf.size() - 8 : 0), std::string::npos)
            << path << " is cut short";
      } else if (name == "insole_info.txt") {
        cobblet::HandoffFields fields;
        std::string log;
        EXPECT_TRUE(
            cobblet::applyHandoffText(platform::readWholeFile(path).value_or(""), 9, fields, log));
        EXPECT_EQ(fields.recordName, "0987_202703030905");
        EXPECT_EQ(fields.left.footLength(), fields.right.footLength());
      } else if (name == "Database_2080.csv") {
        expectWholeRows(platform::readWholeFile(path).value_or(""));
      } else {
        ADD_FAILURE() << "unexpected file " << path;
      }
    }
  }

  static void expectWholeRows(const std::string& database) {
    size_t start = database.find('\n');
    ASSERT_NE(start, std::string::npos) << "a database without a row";
    EXPECT_EQ(database.substr(0, start), measurementHeader(MeasurementRecord{}));
    while (start < database.size()) {
      size_t end = database.find('\n', start + 1);
      if (end == std::string::npos) end = database.size();
      const std::string row = database.substr(start + 1, end - start - 1);
      EXPECT_EQ(std::count(row.begin(), row.end(), ','), 51) << row;
      EXPECT_EQ(row.back(), ',') << row;
      start = end;
    }
  }

  std::string folder_;
};

TEST_F(Durability, KilledAtRandomMomentsEveryFileIsWholeAndNoTemporaryFileSurvives) {
  const int kills = std::getenv("PEDALYX_KILLS") ? std::atoi(std::getenv("PEDALYX_KILLS")) : 200;
  std::mt19937 random(20270303);
  // Milliseconds after the saving began; one round of saves takes about 100 to 300.
  std::uniform_int_distribution<int> moment(0, 400);
  int killedWhileWriting = 0;
  for (int kill = 0; kill < kills; ++kill) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
      dup2(ready[1], STDOUT_FILENO);
      execl(TOOLS_DIR "/save_loop", "save_loop", folder_.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    ASSERT_GT(child, 0);
    close(ready[1]);
    char line[8];
    ASSERT_GT(read(ready[0], line, sizeof line), 0) << "the save loop did not start";
    close(ready[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the save loop ended by itself, status " << status;
    killedWhileWriting += temporaries() > 0 ? 1 : 0;
    expectWholeFiles();
    if (HasFailure()) return;
  }
  // The next start removes what the killed runs left half written.
  const fs::path previous = fs::current_path();
  fs::current_path(folder_);
  report::removeStaleTemporaryFiles([](const std::string&) {});
  fs::current_path(previous);
  EXPECT_EQ(temporaries(), 0);
  EXPECT_GT(killedWhileWriting, 0) << "no kill landed in the middle of a write";
  std::printf("%d kills, %d of them in the middle of a write\n", kills, killedWhileWriting);
}

TEST_F(Durability, AFullDiskChangesNothingAndTheOperatorIsTold) {
  const fs::path previous = fs::current_path();
  fs::current_path(folder_);
  std::vector<unsigned char> balance(320 * 335 * 3, 7), page(1240 * 1754 * 3, 7);
  const BalancePictures pictures{balance.data(), balance.data(), balance.data()};
  report::ExportInputs in;
  in.phone = "0987";
  in.time = {2027, 3, 3, 9, 5, 0};
  in.pageOnePixels = page.data();
  in.plainImage = balance.data();
  in.left = in.right = {0.25, 250, 90, {}};
  in.console = [](const std::string&) {};
  ASSERT_TRUE(saveMeasurement(".", MeasurementRecord{}, pictures, 1000).rowWritten);
  ASSERT_EQ(report::describeExportFailure(report::exportReport(in)), "");
  auto snapshot = [&] {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder_))
      if (entry.is_regular_file()) files[entry.path()] = *platform::readWholeFile(entry.path());
    return files;
  };
  const auto before = snapshot();

  std::fill(balance.begin(), balance.end(), 9);
  std::fill(page.begin(), page.end(), 9);
  in.left.length = in.right.length = 260;
  platform::failWritesForTesting(ENOSPC);
  const SaveOutcome saved = saveMeasurement(".", MeasurementRecord{}, pictures, 1000);
  const std::string exportFailure = report::describeExportFailure(report::exportReport(in));
  platform::failWritesForTesting(0);
  fs::current_path(previous);

  EXPECT_EQ(snapshot(), before) << "nothing changed";
  EXPECT_FALSE(describeSaveFailure(saved).empty());
  EXPECT_EQ(saved.failedBitmaps.size(), 3u);
  EXPECT_NE(exportFailure.find(".pdf"), std::string::npos) << exportFailure;
  EXPECT_NE(exportFailure.find("insole_info.txt"), std::string::npos) << exportFailure;
  EXPECT_NE(exportFailure.find(".png"), std::string::npos) << exportFailure;
}

// A write killed in any folder the programs write leaves a temporary file there; every such
// folder is swept at the next start of either program ("SWAY/" once was not).
TEST_F(Durability, EveryFolderTheProgramsWriteIsSweptAtTheNextStart) {
  const fs::path previous = fs::current_path();
  fs::current_path(folder_);
  std::vector<unsigned char> balance(320 * 335 * 3, 7), page(1240 * 1754 * 3, 7);
  const BalancePictures pictures{balance.data(), balance.data(), balance.data()};
  ASSERT_TRUE(saveMeasurement(".", MeasurementRecord{}, pictures, 1000).rowWritten);
  report::ExportInputs in;
  in.phone = "0987";
  in.time = {2027, 3, 3, 9, 5, 0};
  in.pageOnePixels = page.data();
  in.plainImage = balance.data();
  in.left = in.right = {0.25, 250, 90, {}};
  in.console = [](const std::string&) {};
  ASSERT_EQ(report::describeExportFailure(report::exportReport(in)), "");
  SwayRecording sway;
  sway.samples.resize(3);
  sway.stop = SwayStop::Completed;
  ASSERT_TRUE(saveSwayRecording(".", "r", "id", SwayCondition::EyesOpen, sway, sway).traceWritten);
  ASSERT_TRUE(cv::imwrite("template.bmp", cv::Mat(360, 150, CV_8UC1, cv::Scalar(30))));
  cobblet::InsoleBitmap bitmap;
  std::string reason;
  ASSERT_TRUE(bitmap.load("template.bmp", reason)) << reason;
  cobblet::HeightPlane insole{};
  cobblet::pixelAt(insole, 100, 50) = 20;
  ASSERT_TRUE(cobblet::saveInsoleForSide(bitmap, insole, "0987", 0));

  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  ASSERT_GT(ended, 0);
  waitpid(ended, nullptr, 0);
  auto plantInEveryFolder = [&] {
    std::vector<fs::path> folders{"."};
    for (const auto& entry : fs::recursive_directory_iterator("."))
      if (entry.is_directory()) folders.push_back(entry.path());
    for (const fs::path& folder : folders) {
      const std::string name = "x.csv.partial-" + std::to_string(ended) + "-AbCdEf";
      ASSERT_TRUE(platform::writeFileAtomic((folder / name).string(), "half"));
    }
    ASSERT_EQ(temporaries(), 5) << "the station folder and its four written folders";
  };
  plantInEveryFolder();
  report::removeStaleTemporaryFiles([](const std::string&) {});  // the station's start
  EXPECT_EQ(temporaries(), 0);
  plantInEveryFolder();
  platform::removeStaleTemporaryFilesOfStation(".");  // the insole tool's start
  EXPECT_EQ(temporaries(), 0);
  fs::current_path(previous);
}

// A row appended in two writes is half a row after a kill between them, which the random kills
// above rarely hit. The system calls show it: each "Save" is one write to the database.
TEST_F(Durability, EachSaveIsOneWriteToTheDatabase) {
  ASSERT_EQ(std::system("command -v strace > /dev/null"), 0) << "strace is needed (tools/deps.sh)";
  const std::string trace = folder_ + "/../" + fs::path(folder_).filename().string() + ".trace";
  const std::string command = "strace -f -y -e trace=write,writev,pwrite64,pwritev,pwritev2 -o '" +
                              trace + "' " TOOLS_DIR "/save_loop '" + folder_ + "' 3 > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const std::string calls = platform::readWholeFile(trace).value_or("");
  platform::removeFile(trace);
  int writes = 0;
  for (size_t at = calls.find("Database_2080.csv>"); at != std::string::npos;
       at = calls.find("Database_2080.csv>", at + 1))
    ++writes;
  EXPECT_EQ(writes, 3) << calls;
  expectWholeRows(platform::readWholeFile(folder_ + "/Database_2080.csv").value_or(""));
}

}  // namespace
