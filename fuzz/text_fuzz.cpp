// The text conversions every name and row goes through: UTF-8 to UTF-16 and back, Big5 both
// ways, the database row built from typed texts, and the file-name makers of both programs.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cobblet/handoff_reader.h"
#include "pedalyx/report/measurement_database.h"
#include "pedalyx/report/report_export.h"
#include "platform/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::u16string wide = platform::utf8ToUtf16(text);
  // What came back from UTF-16 is valid UTF-8 and survives a second round unchanged.
  const std::string valid = platform::utf16ToUtf8(wide);
  if (platform::utf16ToUtf8(platform::utf8ToUtf16(valid)) != valid) std::abort();
  platform::big5ToUtf8(text);
  platform::utf8ToBig5(text);
  const std::string cut = platform::cutAtCharacterBoundary(valid, size % 64);
  if (cut.size() > size % 64 || platform::utf16ToUtf8(platform::utf8ToUtf16(cut)) != cut) {
    std::abort();
  }

  MeasurementRecord record;
  record.id = text;
  record.caseTexts[size % 6] = text;
  record.captionLow = text.substr(0, 16);
  const std::string row = measurementRow(record, uint32_t(size));
  if (row.empty() || row[0] != '\n') std::abort();
  if (toAnsi(text).size() > 511) std::abort();
  quoteCsvField(text);

  const std::string phone = report::phoneForFileName(text);
  if (phone.size() > report::kMaxPhoneNameBytes || phone.find('/') != std::string::npos ||
      (!phone.empty() && phone[0] == '.')) {
    std::abort();
  }
  const std::string safe = cobblet::fileNameSafe(text);
  if (safe.find('/') != std::string::npos || (!safe.empty() && safe[0] == '.')) std::abort();
  return 0;
}
