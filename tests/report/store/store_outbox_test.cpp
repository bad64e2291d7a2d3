// The store as the central sender's outbox: a record is offered only once its examination is
// over, with the bytes of its files as they were recorded, and no more once it was sent.
#include "pedalyx/report/store_outbox.h"

#include "store_fixture.h"

namespace report {
namespace {

TEST_F(StoreFolder, TheOutboxOffersAClosedRecordWithItsRecordedFilesUntilItWasSent) {
  auto store = openStore();
  ASSERT_TRUE(store);
  ExaminationSession session(store.get(), "", {"台北一店", "station 2"});
  const int64_t when = 1780000000;
  const std::string name = writeReportFiles("0987", platform::localTime(when), 40);
  ASSERT_TRUE(session.add(partOfExport(exportFiguresOf("0987", name, 0.5)), when).written);
  StoreOutbox outbox(folder);
  EXPECT_EQ(outbox.unsentCount(), 0) << "the examination is still going on";
  EXPECT_TRUE(outbox.unsent(10).empty());

  ASSERT_TRUE(session.nextCustomer().written);
  // A file changed after the record took it is not sent as if it were the recorded one.
  ASSERT_TRUE(platform::appendWhole(platform::joinPath(folder, pngPath(name)), "changed"));
  ASSERT_EQ(outbox.unsentCount(), 1);
  const std::vector<OutgoingExamination> offered = outbox.unsent(10);
  ASSERT_EQ(offered.size(), 1u);
  const OutgoingExamination& record = offered[0];
  EXPECT_EQ(record.shop, "台北一店");
  EXPECT_EQ(record.customerPhone, "0987");
  EXPECT_EQ(record.takenAtUtc, "2026-05-28T20:26:40Z");
  EXPECT_NE(record.figuresJson.find(record.recordId), std::string::npos);
  ASSERT_EQ(record.files.size(), 1u);
  EXPECT_EQ(record.files[0].name, stationPathOf(".", pdfPath(name)));
  const std::string pdf = *platform::readWholeFile(platform::joinPath(folder, pdfPath(name)));
  EXPECT_EQ(std::string(record.files[0].bytes.begin(), record.files[0].bytes.end()), pdf);

  outbox.markSent(record.recordId);
  EXPECT_EQ(outbox.unsentCount(), 0);
  EXPECT_TRUE(outbox.unsent(10).empty());
}

}  // namespace
}  // namespace report
