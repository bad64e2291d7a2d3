#include "cobblet/handoff_reader.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "cobblet/insole_output.h"
#include "platform/files.h"

namespace cobblet {
namespace {

class HandoffFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/cobblet_handoff_XXXXXX";
    folder = mkdtemp(pattern);
  }
  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }
  void put(const char* name, const std::string& text) {
    ASSERT_TRUE(platform::writeFileAtomic(platform::joinPath(folder, name), text));
  }
  std::string folder;
  HandoffFields fields;
  std::string log;
};

TEST_F(HandoffFolder, StationFileGivesBothSidesAndTheNameAndIsKeptAsideUntilFinished) {
  const std::string text =
      "left 0.24 253 98 12 10 18 15 25 20\r\nright 0.27 255 99 11 12 17 16 24 20\r\n"
      "0987_202612061704";
  put(kHandoffPath, text);
  ASSERT_EQ(readHandoffFile(folder, fields, log), HandoffRead::kApplied);
  EXPECT_TRUE(fields.leftPending);
  EXPECT_TRUE(fields.rightPending);
  EXPECT_FLOAT_EQ(fields.left.archIndex(), 0.24f);
  EXPECT_FLOAT_EQ(fields.left.footLength(), 253);
  EXPECT_FLOAT_EQ(fields.left.values[8], 20);
  EXPECT_FLOAT_EQ(fields.right.archIndex(), 0.27f);
  EXPECT_FLOAT_EQ(fields.right.footLength(), 255);
  EXPECT_EQ(fields.recordName, "0987_202612061704");
  EXPECT_NE(log.find("FOUND LEFT"), std::string::npos);
  // The station sees its hand-off consumed; the customer's data stays until the insoles exist.
  EXPECT_FALSE(platform::fileExists(platform::joinPath(folder, kHandoffPath)));
  EXPECT_EQ(platform::readWholeFile(fields.takenPath), text);
  EXPECT_EQ(readHandoffFile(folder, fields, log), HandoffRead::kNone) << "taken once";
  EXPECT_FALSE(handoffWaiting(folder)) << "its own hand-off is not one to finish";

  const std::string taken = fields.takenPath;
  finishHandoff(fields, false, log);
  EXPECT_TRUE(platform::fileExists(taken)) << "an insole failed: kept for the next start";
  fields.takenPath = taken;
  finishHandoff(fields, true, log);
  EXPECT_FALSE(platform::fileExists(taken));
  EXPECT_TRUE(fields.takenPath.empty());
}

// A tool killed between reading a hand-off and saving both insoles: the next start makes them.
// A hand-off a running tool works on is never taken from it.
TEST_F(HandoffFolder, AHandoffAnEndedToolLeftIsFinishedFirstAndARunningOnesIsLeftAlone) {
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  ASSERT_GT(ended, 0);
  waitpid(ended, nullptr, 0);
  const std::string running =
      std::string("insole_info") + kTakenHandoffMark + std::to_string(getppid()) + "-1";
  put(running.c_str(), "right 0.2 245 1 2 3 4 5 6 7 BUSY");
  EXPECT_FALSE(handoffWaiting(folder));
  const std::string left =
      std::string("insole_info") + kTakenHandoffMark + std::to_string(ended) + "-3";
  put(left.c_str(), "left 0.2 245 1 2 3 4 5 6 7\nright 0.3 246 1 2 3 4 5 6 7\nKILLED");
  put(kHandoffPath, "left 0.2 250 1 2 3 4 5 6 7\nright 0.3 251 1 2 3 4 5 6 7\nNEXT");
  EXPECT_TRUE(handoffWaiting(folder));

  ASSERT_EQ(readHandoffFile(folder, fields, log), HandoffRead::kApplied);
  EXPECT_EQ(fields.recordName, "KILLED");
  EXPECT_FLOAT_EQ(fields.right.footLength(), 246);
  EXPECT_FALSE(platform::fileExists(platform::joinPath(folder, left)));
  finishHandoff(fields, true, log);
  EXPECT_TRUE(handoffWaiting(folder)) << "the station's new hand-off still waits";
  ASSERT_EQ(readHandoffFile(folder, fields, log), HandoffRead::kApplied);
  EXPECT_EQ(fields.recordName, "NEXT");
  finishHandoff(fields, true, log);
  EXPECT_FALSE(handoffWaiting(folder));
  EXPECT_TRUE(platform::fileExists(platform::joinPath(folder, running)));
}

TEST_F(HandoffFolder, ParameterFileWithEightNumbersGoesFirstAndLeavesTheOtherForLater) {
  put(kParametersPath, "left 0.27 240 1 2 3 4 5 6 right 0.20 245 1 2 3 4 5 6 NAME");
  put(kHandoffPath, "right 0.30 250 1 2 3 4 5 6 7 LATER");
  ASSERT_EQ(readHandoffFile(folder, fields, log), HandoffRead::kApplied);
  EXPECT_FLOAT_EQ(fields.left.footLength(), 240);
  EXPECT_FLOAT_EQ(fields.right.archIndex(), 0.20f);
  EXPECT_EQ(fields.recordName, "NAME") << "eight numbers, so the ninth token is the name";
  EXPECT_NE(log.find("240.000000 "), std::string::npos) << "left values are logged";
  EXPECT_TRUE(platform::fileExists(platform::joinPath(folder, kHandoffPath)));

  ASSERT_EQ(readHandoffFile(folder, fields, log), HandoffRead::kApplied);
  EXPECT_EQ(fields.recordName, "LATER");
  EXPECT_EQ(readHandoffFile(folder, fields, log), HandoffRead::kNone);
}

TEST(HandoffGrammar, StrayTokensAreSkippedAndKeywordsMustMatchWhole) {
  HandoffFields fields;
  std::string log;
  applyHandoffText(
      "hello Left lefty 3 left 0.3 241 1 2 3 4 5 6 7 junk RIGHT right 0.2 "
      "242 1 2 3 4 5 6 7 N1 trailing words",
      9, fields, log);
  EXPECT_FLOAT_EQ(fields.left.archIndex(), 0.3f);
  EXPECT_FLOAT_EQ(fields.right.footLength(), 242);
  EXPECT_EQ(fields.recordName, "N1");
}

// A damaged record is never half taken: a huge length (a lost line break, "2e10"), a
// non-finite arch index ("nan", which used to become the record name) or a number glued to the
// next keyword refuses the whole hand-off, and the fields keep what they held.
TEST(HandoffGrammar, AMalformedRecordIsRefusedWhole) {
  const char* const damaged[] = {
      "left 0.24 2e10 98 12 10 18 15 25 20 right 0.27 255 99 11 12 17 16 24 20 NAME",
      "left 0.24 253 98 12 10 18 15 25 20 right nan 255 99 11 12 17 16 24 20 NAME",
      "left 0.24 253 98 12 10 18 15 25 20right 0.27 255 99 11 12 17 16 24 20 NAME",
      "left 0.24 253 98 12 10 18 15 25 20 right 1.5 255 99 11 12 17 16 24 20 NAME",
      "left 0.24 253 98 12 10 18 15 25 20 right 0.27 255 99 11 12 17 16 24 20",
      "left 0.25 abc 99 right 0.2 245 1 2 3 4 5 6 7 NAME",
      "right 0.2 245",
      "left 0.24 253 250 12 10 18 15 25 20 right 0.27 255 99 11 12 17 16 24 20 NAME",
      "left 0.24 253 98 12 10 18 15 25 20 right 0.27 255 201 11 12 17 16 24 20 NAME",
  };
  for (const char* text : damaged) {
    HandoffFields fields;
    fields.recordName = "BEFORE";
    fields.left.values[1] = 111;
    std::string log, reason;
    EXPECT_FALSE(applyHandoffText(text, 9, fields, log, &reason)) << text;
    EXPECT_FALSE(reason.empty()) << text;
    EXPECT_FALSE(fields.leftPending) << text;
    EXPECT_FALSE(fields.rightPending) << text;
    EXPECT_EQ(fields.recordName, "BEFORE") << text;
    EXPECT_FLOAT_EQ(fields.left.values[1], 111) << text;
  }
}

// The parameter file's numbers 3 to 8 have no range; one that is not finite still refuses it.
TEST(HandoffGrammar, ANumberThatIsNotFiniteIsRefusedWhereNoRangeApplies) {
  // Eight numbers per side, "bad" at position (1 to 8) of both sides.
  auto text = [](int position, const std::string& bad) {
    std::string numbers;
    for (int i = 1; i <= 8; ++i) numbers += (i == position ? bad : i == 2 ? "240" : "0.2") + " ";
    return "left " + numbers + "right " + numbers + "NAME";
  };
  HandoffFields fields;
  std::string log;
  ASSERT_TRUE(applyHandoffText(text(3, "9e30"), 8, fields, log)) << log;
  for (int position = 3; position <= 8; ++position) {
    for (const char* bad : {"inf", "-inf", "nan"}) {
      EXPECT_FALSE(applyHandoffText(text(position, bad), 8, fields, log))
          << bad << " at " << position;
    }
  }
}

TEST_F(HandoffFolder, ARefusedHandoffIsKeptAsideWithItsReason) {
  const std::string text =
      "left 0.24 2e10 98 12 10 18 15 25 20\nright 0.27 255 99 11 12 17 16 24 20\nN";
  put(kHandoffPath, text);
  std::string reason, keptAs;
  EXPECT_EQ(readHandoffFile(folder, fields, log, &reason, &keptAs), HandoffRead::kRefused);
  EXPECT_NE(reason.find("foot length"), std::string::npos) << reason;
  EXPECT_EQ(keptAs, platform::joinPath(folder, "insole_info.bad"));
  EXPECT_EQ(platform::readWholeFile(keptAs), text) << "nothing the station sent is lost";
  EXPECT_FALSE(platform::fileExists(platform::joinPath(folder, kHandoffPath)));
  EXPECT_FALSE(fields.leftPending);
  EXPECT_EQ(readHandoffFile(folder, fields, log), HandoffRead::kNone);
}

TEST(HandoffGrammar, OnlyOneSide) {
  HandoffFields right;
  std::string log;
  applyHandoffText("right 0.2 245 1 2 3 4 5 6 7 A123", 9, right, log);
  EXPECT_FALSE(right.leftPending);
  EXPECT_TRUE(right.rightPending);
  EXPECT_EQ(right.recordName, "A123");

  HandoffFields left;
  applyHandoffText("left 0.2 245 1 2 3 4 5 6 7", 9, left, log);
  EXPECT_TRUE(left.leftPending);
  EXPECT_FALSE(left.rightPending);
  EXPECT_EQ(left.recordName, "");
  EXPECT_EQ(automaticInsolePath(left.recordName, 0), "./PDF_INSOLES/_iLeft.bmp");
}

TEST(HandoffGrammar, LongTokensAndNamesAreCut) {
  HandoffFields fields;
  std::string log;
  const std::string longName(400, 'n');
  applyHandoffText(std::string(200, 'x') + " right 0.2 245 1 2 3 4 5 6 7 " + longName, 9, fields,
                   log);
  EXPECT_EQ(fields.recordName, std::string(kMaxRecordNameLength, 'n'));

  // 43 three-byte characters are 129 bytes; the 44th would end at byte 132: it is left out
  // whole rather than cut into a broken file name.
  std::string chinese;
  for (int i = 0; i < 50; ++i) chinese += "電";
  HandoffFields named;
  applyHandoffText("right 0.2 245 1 2 3 4 5 6 7 " + chinese, 9, named, log);
  EXPECT_EQ(named.recordName, chinese.substr(0, 129));

  HandoffFields glued;
  applyHandoffText(std::string(63, 'y') + "left 0.3 240", 9, glued, log);
  EXPECT_FALSE(glued.leftPending) << "a cut-off remainder is not read as a keyword";
}

TEST(RecordNames, SeparatorsAndRefusedCharactersBecomeUnderscores) {
  EXPECT_EQ(automaticInsolePath("../../etc/x", 1), "./PDF_INSOLES/___.._etc_x_iRight.bmp")
      << "never a hidden file";
  EXPECT_EQ(fileNameSafe(".hidden"), "_hidden");
  EXPECT_EQ(fileNameSafe("a\\b:c*d?e\"f<g>h|i\x01j"), "a_b_c_d_e_f_g_h_i_j");
  EXPECT_EQ(fileNameSafe("0987_202612061704"), "0987_202612061704");
  EXPECT_EQ(fileNameSafe("電話"), "電話") << "non-ASCII names stay";
}

TEST_F(HandoffFolder, SlopeLimitSetting) {
  EXPECT_FALSE(loadSlopeLimitSetting(folder)) << "missing file: off";
  put(kSlopeLimitSettingPath, "5");
  EXPECT_TRUE(loadSlopeLimitSetting(folder));
  put(kSlopeLimitSettingPath, "x");
  EXPECT_FALSE(loadSlopeLimitSetting(folder));
  ASSERT_TRUE(storeSlopeLimitSetting(folder, false));
  ASSERT_TRUE(storeSlopeLimitSetting(folder, true));
  EXPECT_EQ(platform::readWholeFile(platform::joinPath(folder, kSlopeLimitSettingPath)), "1");
}

}  // namespace
}  // namespace cobblet

#include "cobblet/poll_clock.h"

namespace cobblet {
namespace {

TEST(PollClock, ReadsOnceInEveryEvenSecond) {
  PollState poll;
  EXPECT_TRUE(advancePollClock(poll, 1000)) << "the first tick compares against 0";
  EXPECT_FALSE(advancePollClock(poll, 1000)) << "same second again";
  EXPECT_FALSE(advancePollClock(poll, 1001)) << "odd second";
  EXPECT_FALSE(advancePollClock(poll, 1001));
  EXPECT_TRUE(advancePollClock(poll, 1002));
  EXPECT_EQ(poll.previousSecond, 1002);
}

}  // namespace
}  // namespace cobblet
