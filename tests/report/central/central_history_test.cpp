// Reading the centre back: a customer's visits from two shops, hostile values unchanged, a file's
// bytes, and an erasure that a station can do only through the schema's function.
#include "pedalyx/report/central_history.h"

#include <gtest/gtest.h>

#include "pedalyx/report/central_connection.h"
#include "pedalyx/report/central_sender.h"
#include "tests/report/central/memory_outbox.h"

using namespace central_test;

namespace {

CentralSenderOptions quickOptions() {
  CentralSenderOptions options;
  options.timeouts = {2000, 5000};
  options.firstPauseMs = 50;
  options.idleCheckMs = 50;
  return options;
}

void sendAll(const CentralConfig& config, MemoryOutbox& outbox) {
  CentralSender sender(config, outbox, quickOptions());
  ASSERT_TRUE(waitUntil([&] { return sender.state().pending == 0; })) << sender.state().lastError;
  ASSERT_TRUE(outbox.refused().empty()) << outbox.refused().begin()->second;
}

TEST(CentralHistory, TwoShopsVisitsOfOneCustomerComeBackWithHostileValuesUnchanged) {
  const CentralConfig taipei = configFor("shop_taipei"), tainan = configFor("shop_tainan");
  const std::string hostile = "O'Brien\"; DROP TABLE examinations; --\r\n第二行 🦶👣 \\x00";
  const std::string phone = "+886 (0)912-345'678;\n🦶";
  const std::string id = "ID " + hostile + std::string(10000, 'x');
  std::vector<unsigned char> everyByte;
  for (int round = 0; round < 4; ++round)
    for (int value = 0; value < 256; ++value)
      everyByte.push_back(static_cast<unsigned char>(value));

  MemoryOutbox atTaipei, atTainan;
  OutgoingExamination first = examinationOf(recordIdOf(4, 1), "台北 " + hostile, phone);
  first.customerId = id;
  first.station = hostile;
  first.takenAtUtc = "2026-11-02T08:00:00Z";
  first.figuresJson =
      "{\"note\": \"" + std::string("\\\"quoted\\\"; \\n 🦶 ") + std::string(10000, 'y') + "\"}";
  first.files = {fileOf("it's; \"odd\"\nname 🦶.bin", everyByte)};
  atTaipei.add(first);
  OutgoingExamination second = examinationOf(recordIdOf(5, 1), "台南", phone);
  second.customerId = "";  // the second shop knew only the phone
  second.takenAtUtc = "2026-12-07T09:05:03Z";
  atTainan.add(second);
  sendAll(taipei, atTaipei);
  sendAll(tainan, atTainan);

  // Either shop finds both visits, newest first, by the phone alone.
  const CentralVisits byPhone = lookUpCentralVisits(tainan, phone, "");
  ASSERT_EQ(byPhone.answer, CentralAnswer::Answered) << byPhone.problem;
  ASSERT_EQ(byPhone.visits.size(), 2u);
  EXPECT_EQ(byPhone.visits[0].shop, "台南");
  EXPECT_EQ(byPhone.visits[0].takenAtUtc, "2026-12-07T09:05:03Z");
  const CentralVisit& visit = byPhone.visits[1];
  EXPECT_EQ(visit.recordId, first.recordId);
  EXPECT_EQ(visit.shop, first.shop);
  EXPECT_EQ(visit.station, hostile);
  EXPECT_EQ(visit.customerPhone, phone);
  EXPECT_EQ(visit.customerId, id);
  EXPECT_EQ(visit.figuresJson, first.figuresJson);
  ASSERT_EQ(visit.files.size(), 1u);
  EXPECT_EQ(visit.files[0].name, first.files[0].name);
  EXPECT_EQ(visit.files[0].size, 1024);
  // By the ID alone: only the visit that holds it; by neither: none, without a question.
  CentralReader reader(taipei, {2000, 5000});
  const CentralVisits byId = reader.visits("", id);
  ASSERT_EQ(byId.visits.size(), 1u) << byId.problem;
  EXPECT_EQ(byId.visits[0].shop, first.shop);
  EXPECT_TRUE(reader.visits("", "").visits.empty());
  EXPECT_TRUE(reader.visits("0912", "").visits.empty()) << "not a prefix search";

  // The server restarted under the reader's kept connection: it connects again by itself.
  sharedTestPostgres().stop();
  sharedTestPostgres().start();
  const CentralFile file = reader.file(first.recordId, first.files[0].name);
  ASSERT_EQ(file.answer, CentralAnswer::Answered) << file.problem;
  ASSERT_TRUE(file.found);
  EXPECT_TRUE(file.checksumMatches);
  EXPECT_EQ(file.bytes, everyByte);
  EXPECT_FALSE(fetchCentralFile(tainan, first.recordId, "missing.png").found);
}

TEST(CentralHistory, StationsEraseOnlyThroughTheFunction) {
  TestPostgres& server = sharedTestPostgres();
  const CentralConfig config = configFor("shop_erase");
  server.applySchema();  // a second run changes nothing
  MemoryOutbox outbox;
  for (int n = 0; n < 3; ++n) {
    OutgoingExamination record = examinationOf(recordIdOf(6, n), "erase", "0933000000");
    if (n == 2) {  // another customer
      record.customerPhone = "0933000002";
      record.customerId = "ID-0933000002";
    }
    record.files = {fileOf("a.png", {1, 2, 3}), fileOf("b.png", {4})};
    outbox.add(record);
  }
  sendAll(config, outbox);

  std::string problem;
  auto station = CentralConnection::open(config, {2000, 5000}, nullptr, &problem);
  ASSERT_TRUE(station) << problem;
  for (const char* forbidden : {"DELETE FROM examination_files", "DELETE FROM examinations",
                                "TRUNCATE examinations", "UPDATE examinations SET shop = 'x'",
                                "SELECT count(*) FROM erasure_log", "DELETE FROM erasure_log"}) {
    const CentralReply reply = station->execute({forbidden, {}});
    EXPECT_EQ(reply.sqlState, "42501") << forbidden << ": " << reply.message;
  }
  EXPECT_EQ(server.admin("SELECT count(*) FROM examinations WHERE shop = 'erase'"), "3");

  // The phone of one, the ID of the other: both customers' visits go, with their files.
  const CentralErasure erased =
      eraseCentralCustomer(config, "0933000000", "ID-0933000002", "erase-1", {2000, 5000});
  ASSERT_EQ(erased.answer, CentralAnswer::Answered) << erased.problem;
  EXPECT_EQ(erased.examinations, 3);
  EXPECT_EQ(erased.files, 6);
  EXPECT_EQ(server.admin("SELECT count(*) FROM examinations WHERE shop = 'erase'"), "0");
  EXPECT_EQ(server.admin("SELECT login || ' ' || station || ' ' || examinations || ' ' || files "
                         "FROM erasure_log ORDER BY erasure_id DESC LIMIT 1"),
            "shop_erase erase-1 3 6");
  // Neither empty means everyone.
  const CentralErasure nobody = eraseCentralCustomer(config, "", "", "erase-1", {2000, 5000});
  EXPECT_EQ(nobody.answer, CentralAnswer::Failed);
}

}  // namespace
