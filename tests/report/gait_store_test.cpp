// "Gait.csv" and the files of each contact: the header once over every recording's rows, one
// column per figure, and each contact's trace and peak picture whole.
#include "pedalyx/report/gait_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <opencv2/imgcodecs.hpp>

#include "gait_results_fixture.h"
#include "pedalyx/report/csv_table.h"
#include "pedalyx/report/gait_parts.h"
#include "platform/files.h"
#include "platform/text_encoding.h"

namespace {

TEST(GaitStore, RowsAppendUnderOneHeaderAndEachContactsFilesAreWhole) {
  char pattern[] = "/tmp/gait_store_XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const GaitResults results = twoContacts();
  ASSERT_EQ(results.contacts.size(), 2u);
  unsigned char table[768];
  for (int i = 0; i < 768; ++i) table[i] = static_cast<unsigned char>(i / 3);
  for (int save = 0; save < 2; ++save) {
    const GaitSaveOutcome outcome =
        saveGaitRecording(folder, "0912_20261207090503", "林,A", results, table);
    EXPECT_TRUE(outcome.rowsWritten);
    EXPECT_TRUE(outcome.failedFiles.empty());
  }
  const std::string csv =
      platform::big5ToUtf8(platform::readWholeFile(folder + "/Gait.csv").value_or(""));
  ASSERT_EQ(std::count(csv.begin(), csv.end(), '\n'), 5) << csv;
  EXPECT_EQ(csv.rfind("記錄,ID,序號,足,換邊,完整,剔除,", 0), 0u);
  const std::string first = csv.substr(csv.find('\n') + 1);
  EXPECT_EQ(first.rfind("0912_20261207090503,\"林,A\",1,左,否,是,否,0.020,5,50.0,100.00,", 0), 0u)
      << first;
  const std::string second = first.substr(first.find('\n') + 1);
  EXPECT_EQ(second.rfind("0912_20261207090503,\"林,A\",2,右,否,是,是,0.160,", 0), 0u) << second;
  // As many fields as the header, the quoted comma being none.
  auto fields = [](const std::string& line) {
    int count = 1;
    bool quoted = false;
    for (char c : line.substr(0, line.find('\n'))) {
      if (c == '"') quoted = !quoted;
      count += c == ',' && !quoted;
    }
    return count;
  };
  EXPECT_EQ(fields(first), fields(csv));
  EXPECT_EQ(fields(second), fields(csv));

  const std::string trace =
      platform::readWholeFile(folder + "/GAIT/0912_20261207090503_2.csv").value_or("");
  EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 6);
  EXPECT_NE(trace.find("\n108,0.1600,"), std::string::npos) << trace;
  const cv::Mat picture = cv::imread(folder + "/GAIT/0912_20261207090503_1.png");
  ASSERT_EQ(picture.size(), cv::Size(320, 335));
  // Canvas row 60 is picture row 274; the print's highest level there was 105.
  EXPECT_EQ(picture.at<cv::Vec3b>(334 - 60, 45), cv::Vec3b(105, 105, 105));
  EXPECT_EQ(picture.at<cv::Vec3b>(10, 10), cv::Vec3b(0, 0, 0));
  std::system(("rm -rf '" + folder + "'").c_str());
}

// The operator drops a contact after the recording was saved: the recording's rows are
// replaced where the table holds them, every other recording's rows stay byte for byte, and
// the examination part names each of its rows by the checksum of the bytes in the file.
TEST(GaitStore, ACorrectionReplacesOnlyTheRecordingsOwnRows) {
  char pattern[] = "/tmp/gait_store_XXXXXX";
  const std::string folder = mkdtemp(pattern);
  GaitResults results = twoContacts();
  results.contacts[1].dropped = false;
  unsigned char colours[768] = {};
  const std::string record = "0912_20261207090503";
  saveGaitRecording(folder, "0912_20261207080000", "A", results, colours);
  const GaitSaveOutcome saved = saveGaitRecording(folder, record, "A", results, colours);
  saveGaitRecording(folder, "0912_20261207100000", "A", results, colours);
  const std::string path = folder + "/Gait.csv";
  const std::string before = platform::readWholeFile(path).value_or("");

  results.contacts[1].dropped = true;
  results.summary = summariseGait(results.contacts, results.figures);
  const GaitSaveOutcome corrected = rewriteGaitRecording(folder, record, "A", results, saved.rows);
  ASSERT_TRUE(corrected.rowsWritten);
  EXPECT_TRUE(corrected.failedFiles.empty());
  const std::string after = platform::readWholeFile(path).value_or("");
  using report::RowLayout;
  const report::TableLayout table = report::splitTable(after, RowLayout::kLineFeedLast);
  ASSERT_EQ(table.rows.size(), 6u) << after;
  auto without = [](const std::string& bytes, const std::vector<std::string>& rows) {
    std::vector<std::string> checksums;
    for (const std::string& row : rows) checksums.push_back(report::rowChecksum(row));
    int removed = 0;
    const std::string rest =
        report::tableWithout(bytes, RowLayout::kLineFeedLast, checksums, removed);
    EXPECT_EQ(removed, 2);
    return rest;
  };
  EXPECT_EQ(without(after, corrected.rows), without(before, saved.rows));
  const std::string second = platform::big5ToUtf8(corrected.rows[1]);
  EXPECT_EQ(second.rfind(record + ",A,2,右,否,是,是,", 0), 0u) << second;

  const report::ExaminationPart part =
      report::partOfWalking(record, "A", results, GaitPressures{}, corrected, folder);
  ASSERT_EQ(part.rows.size(), 2u);
  for (const report::TableRowLink& link : part.rows) {
    EXPECT_EQ(link.table, "Gait.csv");
    bool found = false;
    for (const report::TableRow& row : table.rows)
      found |= report::rowChecksum(report::rowContent(after, row, RowLayout::kLineFeedLast)) ==
               link.sha256;
    EXPECT_TRUE(found) << link.key;
  }
  EXPECT_EQ(part.files.size(), 4u);  // both traces and both pictures
  std::system(("rm -rf '" + folder + "'").c_str());
}

}  // namespace
