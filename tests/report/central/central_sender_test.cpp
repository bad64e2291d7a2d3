// The sender against a real server of the test's own: records arrive once with their files, a
// refused record stays behind without holding up the others, and an outage in the middle of a
// backlog loses and doubles nothing.
#include "pedalyx/report/central_sender.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "pedalyx/report/central_history.h"
#include "tests/report/central/memory_outbox.h"

using namespace central_test;

namespace {

CentralSenderOptions quickOptions() {
  CentralSenderOptions options;
  options.timeouts = {2000, 5000};
  options.firstPauseMs = 50;
  options.longestPauseMs = 400;
  options.idleCheckMs = 50;
  return options;
}

TEST(CentralSender, RecordArrivesOnceWithItsFilesAndARefusalBlocksNothing) {
  const CentralConfig config = configFor("shop_once");
  TestPostgres& server = sharedTestPostgres();
  MemoryOutbox outbox;
  std::vector<unsigned char> picture(300000);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<unsigned char>(i * 7);
  OutgoingExamination whole = examinationOf(recordIdOf(1, 1), "once", "0911000001");
  whole.files = {fileOf("pressure.png", picture), fileOf("report.pdf", {'%', 'P', 'D', 'F'})};
  OutgoingExamination damaged = examinationOf(recordIdOf(1, 2), "once", "0911000001");
  damaged.files = {fileOf("pressure.png", picture)};
  damaged.files[0].bytes[10] ^= 1;  // no longer the bytes its checksum was taken of
  OutgoingExamination twoNames = examinationOf(recordIdOf(1, 3), "once", "0911000001");
  twoNames.files = {fileOf("a.bmp", {1}), fileOf("a.bmp", {2})};
  OutgoingExamination withNul = examinationOf(recordIdOf(1, 5), "once", "0911000001");
  withNul.customerId = std::string("A\0B", 3);  // libpq would send "A" alone
  OutgoingExamination next = examinationOf(recordIdOf(1, 4), "once", "0911000001");
  for (const auto& record : {whole, damaged, twoNames, withNul, next}) outbox.add(record);

  CentralSender sender(config, outbox, quickOptions());
  ASSERT_TRUE(waitUntil([&] { return sender.state().pending == 0; })) << sender.state().lastError;
  EXPECT_EQ(centralStatusText(sender.state()), "中央資料庫：已同步");
  EXPECT_EQ(outbox.timesSent(whole.recordId), 1);
  EXPECT_EQ(outbox.timesSent(next.recordId), 1) << "the refusals before it held it up";
  const auto refused = outbox.refused();
  ASSERT_EQ(refused.size(), 3u);
  EXPECT_NE(refused.at(damaged.recordId).find("examination_files_sha256_matches"),
            std::string::npos)
      << refused.at(damaged.recordId);
  EXPECT_NE(refused.at(twoNames.recordId).find("a.bmp"), std::string::npos);
  EXPECT_NE(refused.at(withNul.recordId).find("NUL"), std::string::npos);
  EXPECT_EQ(server.admin("SELECT count(*) FROM examinations WHERE shop = 'once'"), "2")
      << "a refused record left a row behind";

  // The mark got lost (the station died after the commit): sent again, still one of each.
  outbox.forgetSent(whole.recordId);
  ASSERT_TRUE(waitUntil([&] { return outbox.timesSent(whole.recordId) == 1; }));
  EXPECT_EQ(
      server.admin("SELECT count(*) FROM examinations WHERE record_id = '" + whole.recordId + "'"),
      "1");
  EXPECT_EQ(server.admin("SELECT count(*) || ' ' || sum(octet_length(bytes)) FROM "
                         "examination_files WHERE record_id = '" +
                         whole.recordId + "'"),
            "2 300004");
  EXPECT_EQ(server.admin("SELECT bool_and(bytes = decode('" + std::string("25504446") +
                         "', 'hex')) FROM examination_files WHERE name = 'report.pdf'"),
            "t");
}

TEST(CentralSender, ServerStoppedInTheMiddleOfABacklog) {
  const CentralConfig config = configFor("shop_outage");
  TestPostgres& server = sharedTestPostgres();
  MemoryOutbox outbox;
  const std::vector<unsigned char> picture(20000, 'p');
  const OutgoingFile file = fileOf("pressure.png", picture);
  constexpr int kRecords = 200;
  for (int n = 0; n < kRecords; ++n) {
    OutgoingExamination record = examinationOf(recordIdOf(2, n), "outage", std::to_string(n));
    record.files = {file};
    outbox.add(record);
  }
  CentralSender sender(config, outbox, quickOptions());
  ASSERT_TRUE(waitUntil([&] { return sender.state().sent >= 30; })) << sender.state().lastError;
  server.stop(false);  // every server process quits at once, as in a crash
  const int sentBefore = sender.state().sent;
  ASSERT_TRUE(waitUntil([&] { return !sender.state().lastError.empty(); }));
  EXPECT_LT(sentBefore, kRecords) << "the backlog was gone before the stop";
  std::this_thread::sleep_for(std::chrono::milliseconds(800));  // a few failed attempts
  const CentralSendState offline = sender.state();
  EXPECT_EQ(centralStatusText(offline),
            "中央資料庫：無法連線，待傳 " + std::to_string(offline.pending) + " 筆");
  EXPECT_GT(offline.pending, 0);

  server.start();
  ASSERT_TRUE(waitUntil([&] { return sender.state().pending == 0; })) << sender.state().lastError;
  EXPECT_TRUE(sender.state().connected);
  EXPECT_TRUE(outbox.refused().empty());
  EXPECT_EQ(server.admin("SELECT count(DISTINCT record_id) || ' ' || count(*) FROM examinations "
                         "WHERE shop = 'outage'"),
            "200 200");
  EXPECT_EQ(server.admin("SELECT count(*) FROM examination_files f JOIN examinations e USING "
                         "(record_id) WHERE e.shop = 'outage' AND octet_length(f.bytes) = 20000"),
            "200");
  for (int n = 0; n < kRecords; ++n) EXPECT_GE(outbox.timesSent(recordIdOf(2, n)), 1) << n;
}

// A store that fails now and then (a full disk, a locked file) must not end the station: an
// exception leaving the sender's thread would terminate the program.
TEST(CentralSender, FailingStoreIsRetried) {
  class FailingOutbox : public MemoryOutbox {
   public:
    std::vector<OutgoingExamination> unsent(int limit) override {
      if (failures_-- > 0) throw std::runtime_error("disk I/O error");
      return MemoryOutbox::unsent(limit);
    }
    void markSent(const std::string& id) override {
      if (failures_-- > 0) throw std::runtime_error("database is locked");
      MemoryOutbox::markSent(id);
    }
    std::atomic<int> failures_{2};
  } outbox;
  outbox.add(examinationOf(recordIdOf(7, 1), "failing", "0922"));
  CentralSender sender(configFor("shop_failing"), outbox, quickOptions());
  ASSERT_TRUE(waitUntil([&] { return outbox.timesSent(recordIdOf(7, 1)) == 1; }))
      << sender.state().lastError;
  EXPECT_EQ(sharedTestPostgres().admin("SELECT count(*) FROM examinations WHERE shop = 'failing'"),
            "1");
  ASSERT_TRUE(waitUntil([&] { return sender.state().lastError.empty(); }));
}

// A server that takes the connection and never answers: every wait ends at its timeout, and
// stopping the sender does not wait for one.
TEST(CentralSender, SilentServerHoldsNobody) {
  const int silent = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(silent, 8), 0);
  ASSERT_EQ(getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const CentralConfig config = parseCentralConnectionString(
      "host=127.0.0.1 port=" + std::to_string(ntohs(address.sin_port)) + " dbname=x user=x",
      nullptr);
  MemoryOutbox outbox;
  outbox.add(examinationOf(recordIdOf(3, 1), "silent", "0911"));
  CentralSenderOptions options = quickOptions();
  options.timeouts.connectMs = 1000;
  using Clock = std::chrono::steady_clock;
  {
    CentralSender sender(config, outbox, options);
    ASSERT_TRUE(waitUntil([&] { return !sender.state().lastError.empty(); }, 10));
    EXPECT_EQ(centralStatusText(sender.state()), "中央資料庫：無法連線，待傳 1 筆");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // into the next attempt
    const auto stopping = Clock::now();
    sender.stop();
    EXPECT_LT(Clock::now() - stopping, std::chrono::milliseconds(500));
  }
  EXPECT_EQ(outbox.unsentCount(), 1);

  const auto asking = Clock::now();
  const CentralVisits visits = lookUpCentralVisits(config, "0911", "", {1000, 1000});
  EXPECT_LT(Clock::now() - asking, std::chrono::milliseconds(2500));
  EXPECT_EQ(visits.answer, CentralAnswer::Unreachable);
  EXPECT_TRUE(visits.centralVisitsMissing());
  close(silent);
}

}  // namespace
