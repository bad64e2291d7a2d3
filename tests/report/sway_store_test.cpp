// "Sway.csv" and the trace files: Big5 with the database's quoting, the header once, one
// whole row per recording, Romberg quotients only on an eyes-closed row with an eyes-open one.
#include "pedalyx/report/sway_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/text_encoding.h"
#include "scratch_folder.h"

namespace fs = std::filesystem;

namespace {

SwayRecording recordingOf(double step, int frames) {
  SwayRecorder recorder;
  recorder.start(SwayCondition::EyesOpen, 10);
  for (int n = 0; n < frames; ++n) {
    const int64_t y = static_cast<int64_t>(100 + step * (n % 2)) * 300000;
    recorder.addFrame(n, n / 30.0, {300000, 60 * 300000, y}, {300000, 250 * 300000, y}, nullptr);
  }
  recorder.stop(SwayStop::SteppedOff);
  return recorder.result(SwayCondition::EyesOpen);
}

std::vector<std::string> fieldsOf(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
    fields.push_back(line.substr(start, comma - start));
  fields.push_back(line.substr(start));
  return fields;
}

TEST(SwayStore, RowsAppendUnderOneHeaderAndTracesAreWhole) {
  ScratchFolder scratch("sway-store");
  const fs::path folder = scratch.path();
  const SwayRecording open = recordingOf(1, 31), closed = recordingOf(2, 31);
  const std::string record = swayRecordName("A/1,\"x\"", {2026, 12, 7, 9, 5, 3});
  EXPECT_EQ(record, "A_1,_x__20261207090503") << "path separators and quotes leave the name";
  SwaySaveOutcome first =
      saveSwayRecording(folder.string(), record, "林,\"A\"", SwayCondition::EyesOpen, open, open);
  SwaySaveOutcome second = saveSwayRecording(folder.string(), record, "林,\"A\"",
                                             SwayCondition::EyesClosed, closed, open);
  EXPECT_TRUE(first.rowWritten && first.traceWritten && second.rowWritten && second.traceWritten);

  const std::string table =
      platform::big5ToUtf8(platform::readWholeFile((folder / "Sway.csv").string()).value());
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = table.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(table.substr(start, end - start));
  ASSERT_EQ(lines.size(), 3u) << table;
  EXPECT_EQ(lines[0].rfind("記錄,ID,條件,", 0), 0u);
  const size_t columns = fieldsOf(lines[0]).size();
  EXPECT_EQ(columns, 21u);
  // The ID's comma and quotes are quoted as the database quotes them.
  EXPECT_NE(lines[1].find(",\"林,\"\"A\"\"\",睜眼,10,1.00,31,離開踏板,"), std::string::npos)
      << lines[1];
  // Path lengths 32.1 and 64.2 mm (1.07 mm per pixel): the eyes-closed row's quotient is 2.
  EXPECT_NE(lines[2].find(",閉眼,"), std::string::npos);
  EXPECT_EQ(lines[1].substr(lines[1].size() - 2), ",,") << "no quotient on an eyes-open row";
  EXPECT_EQ(lines[2].substr(lines[2].size() - 6), ",2.000") << lines[2];

  const std::string trace = platform::readWholeFile(second.tracePath).value_or("");
  EXPECT_EQ(fs::path(second.tracePath).filename(), record + "_ec.csv");
  EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 32);
  EXPECT_EQ(trace.rfind("time_s,left_x_mm,", 0), 0u);
  EXPECT_NE(trace.find("\n0.0333,64.735,109.675,"), std::string::npos) << trace.substr(0, 300);
}

}  // namespace
