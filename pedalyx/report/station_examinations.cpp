#include "pedalyx/report/station_examinations.h"

#include <vector>

namespace report {

StationExaminations::~StationExaminations() {
  if (importThread_.joinable()) importThread_.detach();
}

void StationExaminations::start(const std::string& folder, const unsigned char* colourTable,
                                int64_t now,
                                const std::function<void(const std::string&)>& console) {
  folder_ = folder;
  const StationIdentity identity = readStationIdentity(folder);
  store_ = ExaminationStore::open(folder, storeError_);
  session_ = std::make_unique<ExaminationSession>(store_.get(), storeError_, identity);
  if (!store_) {
    console("examination store not opened: " + storeError_ + "\n");
    return;
  }
  std::string error;
  const int closed = store_->closeOpenRecords(0, error);
  if (closed > 0) console("examination store: " + std::to_string(closed) + " records closed\n");
  if (closed < 0) console("examination store: " + error + "\n");
  if (importFinished(*store_)) return;

  console("examination store: importing the old files in the background\n");
  std::vector<unsigned char> colours;
  if (colourTable != nullptr) colours.assign(colourTable, colourTable + 768);
  import_ = std::make_shared<Import>();
  importThread_ = std::thread([import = import_, folder, identity, colours, now] {
    std::string why;
    auto own = ExaminationStore::open(folder, why);
    if (!own) {
      import->report.ran = true;
      import->report.error = why;
    } else {
      import->report = importOnce(*own, identity, colours.empty() ? nullptr : colours.data(), now);
    }
    import->done = true;
  });
}

bool StationExaminations::finishImport(ImportReport& report, std::vector<StoreWrite>& failures) {
  if (!importThread_.joinable() || !import_->done) return false;
  importThread_.join();
  report = import_->report;
  std::vector<Waiting> waiting;
  waiting.swap(waiting_);
  for (const Waiting& w : waiting) {
    const StoreWrite write =
        w.nextCustomer ? session_->nextCustomer() : session_->add(w.part, w.when);
    if (!write.written) failures.push_back(write);
  }
  return true;
}

StoreWrite StationExaminations::add(const ExaminationPart& part, int64_t when) {
  if (!importing()) return session_->add(part, when);
  waiting_.push_back({false, part, when});
  StoreWrite write;
  write.waiting = true;
  return write;
}

StoreWrite StationExaminations::nextCustomer() {
  if (!importing()) return session_->nextCustomer();
  waiting_.push_back({true, {}, 0});
  StoreWrite write;
  write.waiting = true;
  return write;
}

StationExaminations& stationExaminations() {
  static StationExaminations examinations;
  return examinations;
}

}  // namespace report
