#include "pedalyx/report/examination_record.h"

namespace report {

ExaminationRecord recordOfPart(const ExaminationPart& part) {
  ExaminationRecord record;
  record.customer = part.customer;
  record.reportName = part.reportName;
  record.figures = part.figures;
  record.files = part.files;
  record.rows = part.rows;
  return record;
}

const ExaminationFigure* findFigure(const ExaminationRecord& record, const std::string& group,
                                    const std::string& name, const std::string& side) {
  for (const ExaminationFigure& figure : record.figures) {
    if (figure.group == group && figure.name == name && figure.side == side) return &figure;
  }
  return nullptr;
}

const char* outboxStateName(OutboxState state) {
  switch (state) {
    case OutboxState::kSent:
      return "sent";
    case OutboxState::kRefused:
      return "refused";
    case OutboxState::kPending:
      break;
  }
  return "pending";
}

const char* fileStateName(FileState state) {
  switch (state) {
    case FileState::kIntact:
      return "intact";
    case FileState::kMissing:
      return "missing";
    case FileState::kChanged:
      return "changed";
    case FileState::kUnchecked:
      break;
  }
  return "unchecked";
}

}  // namespace report
