// The insole tool's hand-off reader on any text: it must take a record whole or refuse it, and
// whatever it takes must be within the ranges it promises.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cobblet/handoff_reader.h"
#include "cobblet/insole_output.h"
#include "cobblet/insole_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the file: "insole parameters.txt" (8 numbers) or "insole_info.txt".
  const int numbersPerSide = data[0] % 2 == 0 ? 9 : 8;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  cobblet::HandoffFields fields;
  std::string log, reason;
  if (!cobblet::applyHandoffText(text, numbersPerSide, fields, log, &reason)) {
    if (reason.empty() || fields.leftPending || fields.rightPending) std::abort();
    return 0;
  }
  for (const cobblet::SideValues* side : {&fields.left, &fields.right}) {
    const bool pending = side == &fields.left ? fields.leftPending : fields.rightPending;
    if (!pending) continue;
    if (!(side->archIndex() >= 0 && side->archIndex() <= 1)) std::abort();
    if (!(side->footLength() > 0 && side->footLength() <= platform::kHandoffLongestFootMm)) {
      std::abort();
    }
  }
  if (fields.recordName.size() > cobblet::kMaxRecordNameLength) std::abort();
  const std::string path = cobblet::automaticInsolePath(fields.recordName, cobblet::kLeft);
  const std::string name = path.substr(std::string(cobblet::kInsoleFolder).size() + 1);
  if (name.find('/') != std::string::npos || name[0] == '.') std::abort();
  return 0;
}
