#include "pedalyx/report/measurement_database.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "platform/files.h"
#include "platform/text_encoding.h"

namespace {

constexpr int kPictureWidth = 320;
constexpr int kPictureHeight = 335;
constexpr size_t kAnsiLimit = 511;

// Whole part of a field value; values beyond the int range (or not numbers) cannot come from
// the bounded fields, but must not become undefined behaviour either.
int truncated(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
    return std::numeric_limits<int>::max();
  }
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
    return std::numeric_limits<int>::min();
  }
  return static_cast<int>(value);
}

std::string integerField(double value) { return std::to_string(truncated(value)) + ","; }

std::string decimalField(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return std::string(text) + ",";
}

std::string big5(const char* utf8) { return platform::utf8ToBig5(utf8); }

const char* const kZoneHeaders[6] = {"左下", "右下", "左中", "右中", "左上", "右上"};
const char* const kCaseNumbers[6] = {"一", "二", "三", "四", "五", "六"};
// Six-zone fields of each foot in column order: heel row, middle row, forefoot row.
const int kLeftZoneFields[6] = {4, 5, 2, 3, 0, 1};
const int kRightZoneFields[6] = {10, 11, 8, 9, 6, 7};

std::string bitmapName(uint32_t stamp, const char* split) {
  return std::to_string(stamp) + split + ".bmp";
}

}  // namespace

const char* genderWord(int item) {
  switch (item) {
    case 0:
      return "男";
    case 1:
      return "女";
    case 2:
      return "中立";
    default:
      return "";
  }
}

int genderItemOfWord(const std::string& word) {
  for (int item = 0; item < 3; ++item)
    if (word == genderWord(item)) return item;
  return -1;
}

std::string toAnsi(const std::string& utf8) {
  std::string bytes = platform::utf8ToBig5(utf8);
  if (bytes.size() <= kAnsiLimit) return bytes;
  // Cut at the last whole character: a byte from 0x81 up opens a two-byte character.
  size_t end = 0;
  while (end < bytes.size()) {
    size_t width = static_cast<unsigned char>(bytes[end]) >= 0x81 ? 2 : 1;
    if (end + width > kAnsiLimit) break;
    end += width;
  }
  return bytes.substr(0, end);
}

std::string quoteCsvField(const std::string& bytes) {
  // Big5 trail bytes start at 0x40, so none of these can be half of a Chinese character.
  if (bytes.find_first_of(",\"\r\n") == std::string::npos) return bytes;
  std::string quoted = "\"";
  for (char c : bytes) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

namespace {

bool startsLikeAFormula(const std::string& utf8) {
  const size_t first = utf8.find_first_not_of('\'');
  return first != std::string::npos &&
         std::string("=+-@\t\r").find(utf8[first]) != std::string::npos;
}

}  // namespace

std::string textField(const std::string& utf8) {
  if (!startsLikeAFormula(utf8)) return quoteCsvField(toAnsi(utf8));
  const std::string quoted = quoteCsvField(toAnsi("'" + utf8));
  return quoted[0] == '"' ? quoted : "\"" + quoted + "\"";
}

std::string textOfField(const std::string& big5) {
  const std::string utf8 = platform::big5ToUtf8(big5);
  if (!utf8.empty() && utf8[0] == '\'' && startsLikeAFormula(utf8)) return utf8.substr(1);
  return utf8;
}

std::string storedText(const std::string& utf8) {
  return textOfField(toAnsi(startsLikeAFormula(utf8) ? "'" + utf8 : utf8));
}

std::string measurementHeader(const MeasurementRecord& record) {
  std::string utf8 = "時間戳,ID,Gender,Age,Height,Weight,";
  utf8 += "舟狀股 L,舟狀股 R,足長 L,足長 R,足寬 L,足寬 R,大腳趾外翻角度 L,大腳趾外翻角度 R,";
  utf8 += "足壓調整比例,";
  for (const std::string* caption :
       {&record.captionLow, &record.captionEven, &record.captionHigh}) {
    utf8 += *caption + "足弓指標 L," + *caption + "足弓指標 R,";
  }
  for (const char* foot : {"L", "R"}) {
    for (const char* zone : kZoneHeaders) utf8 += std::string("六區") + foot + "-" + zone + ",";
  }
  for (const char* number : kCaseNumbers) utf8 += std::string("病症") + number + ",左,右,";
  return platform::utf8ToBig5(utf8);
}

std::string measurementRow(const MeasurementRecord& record, uint32_t stamp) {
  std::string row = "\n";
  row += std::to_string(stamp) + ",";
  row += textField(record.id) + ",";
  row += big5(genderWord(record.genderItem)) + ",";
  row += integerField(record.age);
  row += integerField(record.height);
  row += decimalField("%0.1f", record.weight);
  for (const double* pair :
       {record.navicularDrop, record.footLength, record.footWidth, record.halluxAngle}) {
    row += integerField(pair[0]);
    row += integerField(pair[1]);
  }
  row += platform::utf8ToBig5(record.captionLow) + ",";
  for (const double* pair : {record.archLow, record.archEven, record.archHigh}) {
    row += decimalField("%0.2f", pair[0]);
    row += decimalField("%0.2f", pair[1]);
  }
  for (int field : kLeftZoneFields) row += integerField(record.zones[field]);
  for (int field : kRightZoneFields) row += integerField(record.zones[field]);
  for (int k = 0; k < 6; ++k) {
    row += textField(record.caseTexts[k]) + ",";
    row += record.caseLeft[k] ? "1," : "0,";
    row += record.caseRight[k] ? "1," : "0,";
  }
  return row;
}

uint32_t saveStamp(int64_t epochSeconds) {
  return static_cast<uint32_t>(static_cast<uint64_t>(epochSeconds) & 0xFFFFFFFFu);
}

std::string encodeBalanceBitmap(const unsigned char* rgbBottomFirst) {
  if (rgbBottomFirst == nullptr) return std::string();
  cv::Mat rgb(kPictureHeight, kPictureWidth, CV_8UC3, const_cast<unsigned char*>(rgbBottomFirst));
  cv::Mat bgr;
  cv::cvtColor(rgb, bgr, cv::COLOR_RGB2BGR);
  cv::flip(bgr, bgr, 0);
  std::vector<unsigned char> file;
  if (!cv::imencode(".bmp", bgr, file)) return std::string();
  return std::string(file.begin(), file.end());
}

SaveOutcome saveMeasurement(const std::string& startDirectory, const MeasurementRecord& record,
                            const BalancePictures& pictures, uint32_t stamp) {
  SaveOutcome outcome;
  outcome.databasePath = platform::joinPath(startDirectory, "Database_2080.csv");
  // A new file gets its header in the same write as its first row, so no crash can leave a
  // database without its header or with half a row.
  std::string bytes = measurementRow(record, stamp);
  if (!platform::fileExists(outcome.databasePath)) bytes = measurementHeader(record) + bytes;
  outcome.rowWritten = platform::appendWhole(outcome.databasePath, bytes);

  std::string folder = platform::joinPath(startDirectory, "PressureImage");
  platform::makeDirectory(folder);
  const int left = truncated(record.leftShare);
  const int right = truncated(record.rightShare);
  const std::string lowSplit = "_" + std::to_string(left) + "_" + std::to_string(right);
  const std::string highSplit = "_" + std::to_string(right) + "_" + std::to_string(left);
  const struct {
    std::string name;
    const unsigned char* picture;
  } bitmaps[3] = {{bitmapName(stamp, lowSplit.c_str()), pictures.low},
                  {bitmapName(stamp, highSplit.c_str()), pictures.high},
                  {bitmapName(stamp, "_50_50"), pictures.even}};
  for (const auto& bitmap : bitmaps) {
    std::string path = platform::joinPath(folder, bitmap.name);
    std::string file = encodeBalanceBitmap(bitmap.picture);
    if (file.empty() || !platform::writeFileAtomic(path, file)) {
      outcome.failedBitmaps.push_back(path);
    } else {
      outcome.writtenBitmaps.push_back(path);
    }
  }
  return outcome;
}

std::string describeInexactTexts(const MeasurementRecord& record, bool simplified) {
  const char* notAsTyped =
      simplified ? " 无法照原样存入资料库 (Big5)：「" : " 無法照原樣存入資料庫 (Big5)：「";
  const char* storedAs = simplified ? "」存为「" : "」存為「";
  std::string text;
  auto check = [&](const std::string& name, const std::string& typed) {
    const std::string stored = storedText(typed);
    if (stored != typed) text += name + notAsTyped + typed + storedAs + stored + "」\n";
  };
  check("ID", record.id);
  for (int k = 0; k < 6; ++k) check(std::string("病症") + kCaseNumbers[k], record.caseTexts[k]);
  return text;
}

std::string describeSaveFailure(const SaveOutcome& outcome, bool simplified) {
  const char* rowLost = simplified ? "资料未能写入 " : "資料未能寫入 ";
  const char* bitmapLost = simplified ? "图档未能写入 " : "圖檔未能寫入 ";
  std::string text;
  if (!outcome.rowWritten) text += rowLost + outcome.databasePath + "\n";
  for (const std::string& path : outcome.failedBitmaps) text += bitmapLost + path + "\n";
  return text;
}
