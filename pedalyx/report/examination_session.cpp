#include "pedalyx/report/examination_session.h"

#include "pedalyx/report/customer_history.h"
#include "pedalyx/report/examination_parts.h"
#include "platform/files.h"
#include "platform/host_name.h"

namespace report {
namespace {

constexpr size_t kIdentityFileLimit = 64 * 1024;

bool takeValue(const std::string& line, const std::string& key, std::string& value) {
  if (line.compare(0, key.size() + 1, key + " ") != 0) return false;
  value = line.substr(key.size() + 1);
  return true;
}

}  // namespace

StationIdentity readStationIdentity(const std::string& folder) {
  StationIdentity identity;
  const std::string text =
      platform::readWholeFile(platform::joinPath(folder, kStationIdentityFile), kIdentityFileLimit)
          .value_or("");
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string value;
    if (takeValue(line, "shop", value)) identity.shop = value;
    if (takeValue(line, "station", value)) identity.station = value;
    start = end + 1;
  }
  if (identity.station.empty()) identity.station = platform::hostName();
  return identity;
}

bool writeStationIdentity(const std::string& folder, const StationIdentity& identity) {
  auto oneLine = [](std::string name) {
    for (char& c : name) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    return name;
  };
  return platform::writeFileAtomic(
      platform::joinPath(folder, kStationIdentityFile),
      "shop " + oneLine(identity.shop) + "\nstation " + oneLine(identity.station) + "\n");
}

ExaminationSession::ExaminationSession(ExaminationStore* store, const std::string& storeError,
                                       const StationIdentity& identity)
    : store_(store), storeError_(storeError), identity_(identity) {}

bool ExaminationSession::sameCustomer(const CustomerData& c) const {
  const bool idAgrees = c.id.empty() || customerId_.empty() || c.id == customerId_;
  const bool phoneAgrees = c.phone.empty() || phone_.empty() || c.phone == phone_;
  return idAgrees && phoneAgrees;
}

StoreWrite ExaminationSession::add(const ExaminationPart& part, int64_t when) {
  if (store_ == nullptr) {
    StoreWrite refused;
    refused.error = storeError_.empty() ? "the examination store is not open" : storeError_;
    return refused;
  }
  ExaminationPart withInsoles = part;
  const bool completing = !recordId_.empty() && sameCustomer(part.customer) &&
                          when - lastPartAt_ < kSameVisitMinutes * 60;
  // Another customer, or the same one after the visit's hour: the open record is done.
  if (!completing && !recordId_.empty()) closeRecord();
  if (!part.reportName.empty()) reportName_ = part.reportName;
  for (const ExaminationFile& file : insoleFilesOf(store_->folder(), reportName_)) {
    if (insolesTaken_.insert(file.path).second) withInsoles.files.push_back(file);
  }
  StoreWrite write;
  if (completing) write = store_->complete(recordId_, withInsoles);
  if (!completing || write.noSuchRecord || write.recordClosed) {
    // A record erased, or closed by the hour passing, while its customer was still being
    // examined: the part begins a record of its own.
    ExaminationRecord record = recordOfPart(withInsoles);
    record.takenAt = when;
    record.shop = identity_.shop;
    record.station = identity_.station;
    record.open = true;
    write = store_->create(record);
  }
  if (!write.written) {
    for (const ExaminationFile& file : withInsoles.files) insolesTaken_.erase(file.path);
    return write;
  }
  recordId_ = write.recordId;
  lastPartAt_ = when;
  if (!part.customer.id.empty()) customerId_ = part.customer.id;
  if (!part.customer.phone.empty()) phone_ = part.customer.phone;
  return write;
}

StoreWrite ExaminationSession::nextCustomer() { return closeRecord(); }

StoreWrite ExaminationSession::closeRecord() {
  StoreWrite write;
  write.written = true;
  write.recordId = recordId_;
  if (store_ != nullptr && !recordId_.empty()) {
    ExaminationPart late;
    for (const ExaminationFile& file : insoleFilesOf(store_->folder(), reportName_)) {
      if (insolesTaken_.count(file.path) == 0) late.files.push_back(file);
    }
    if (!late.files.empty()) write = store_->complete(recordId_, late);
    // Closed also when the insoles could not be added: left open, it would be closed an hour
    // later all the same.
    std::string error;
    if (!store_->close(recordId_, error) && write.written) {
      write.written = false;
      write.error = error;
    }
  }
  recordId_.clear();
  reportName_.clear();
  customerId_.clear();
  phone_.clear();
  insolesTaken_.clear();
  lastPartAt_ = 0;
  return write;
}

std::string describeStoreFailure(const StoreWrite& write, bool simplified) {
  if (write.written || write.waiting) return std::string();
  const char* lead = simplified ? "检查记录未能存入 " : "檢查記錄未能存入 ";
  return lead + std::string(kExaminationStoreFile) + "：" + write.error + "\n";
}

}  // namespace report
