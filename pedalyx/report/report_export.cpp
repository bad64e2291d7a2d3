#include "pedalyx/report/report_export.h"

#include <hpdf.h>

#include <cstdio>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <vector>

#include "pedalyx/report/report_layout.h"
#include "platform/files.h"
#include "platform/station_folder.h"

namespace report {
namespace {

// Length of the UTF-8 sequence starting at text[i] and its code point; 0 when it is broken.
size_t decodeUtf8(const std::string& text, size_t i, char32_t& codePoint) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  size_t length = lead < 0x80           ? 1
                  : (lead >> 5) == 0x6  ? 2
                  : (lead >> 4) == 0xE  ? 3
                  : (lead >> 3) == 0x1E ? 4
                                        : 0;
  if (length == 0 || i + length > text.size()) return 0;
  codePoint = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
  }
  static const char32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (codePoint < smallest[length] || codePoint > 0x10FFFF ||
      (codePoint >= 0xD800 && codePoint <= 0xDFFF))
    return 0;  // overlong forms and surrogates are broken too
  return length;
}

bool unfitForFileName(char32_t c) {
  if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0xA0)) return true;  // controls, no-break space
  switch (c) {
    case ' ':
    case '/':
    case '\\':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
    case 0xFEFF:
      return true;
    default:
      return c >= 0x2000 && c <= 0x200B;  // the typographic spaces
  }
}

std::string format(const char* pattern, const std::string& text) {
  std::vector<char> line(text.size() + 64);
  std::snprintf(line.data(), line.size(), pattern, text.c_str());
  return line.data();
}

struct PdfErrors {
  const ConsoleSink* console;
  bool failed = false;
};

// libharu calls this on every library error; the caller checks `failed` after each step and
// abandons the document, so the export goes on with its next step.
void pdfErrorHandler(HPDF_STATUS errorNumber, HPDF_STATUS detailNumber, void* userData) {
  auto* errors = static_cast<PdfErrors*>(userData);
  char line[80];
  std::snprintf(line, sizeof line, "ERROR: error_no=%04X, detail_no=%u\n",
                static_cast<unsigned>(errorNumber), static_cast<unsigned>(detailNumber));
  (*errors->console)(line);
  errors->failed = true;
}

}  // namespace

std::string phoneForFileName(const std::string& phone) {
  std::string name;
  for (size_t i = 0; i < phone.size();) {
    char32_t c = 0;
    size_t length = decodeUtf8(phone, i, c);
    if (length == 0 || unfitForFileName(c)) {
      name += '_';
      i += length == 0 ? 1 : length;
    } else {
      name.append(phone, i, length);
      i += length;
    }
  }
  // A leading dot would hide the customer's files.
  for (size_t i = 0; i < name.size() && name[i] == '.'; ++i) name[i] = '_';
  return cutAtCharacterBoundary(name, kMaxPhoneNameBytes);
}

std::string reportName(const std::string& phone, const platform::LocalTime& t) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "_%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute);
  return phoneForFileName(phone) + stamp;
}

std::string pdfPath(const std::string& name) { return std::string(kPdfFolder) + name + ".pdf"; }
std::string pngPath(const std::string& name) { return std::string(kPngFolder) + name + ".png"; }

void printToConsole(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fflush(stdout);
}

bool ensureFolder(const std::string& folder, const ConsoleSink& console) {
  if (platform::isDirectory(folder)) {
    console(format("%s folder found \n", folder));
    return true;
  }
  console(format("can not find %s folder \n", folder));
  bool created = platform::makeDirectory(folder);
  console(format(created ? "create %s folder sucess \n" : "create %s folder fail \n", folder));
  return created;
}

bool writePdf(const uint8_t* pageOnePixels, const uint8_t* pageTwoPixels,
              const uint8_t* pageThreePixels, const std::string& path, const ConsoleSink& console) {
  PdfErrors errors{&console};
  HPDF_Doc pdf = HPDF_New(pdfErrorHandler, &errors);
  if (pdf == nullptr) {
    console("error: cannot create PdfDoc object\n");
    return false;
  }
  console("can create PdfDoc object\n");
  std::string bytes;
  if (!errors.failed) HPDF_SetCompressionMode(pdf, HPDF_COMP_IMAGE);
  for (const uint8_t* pixels : {pageOnePixels, pageTwoPixels, pageThreePixels}) {
    if (pixels == nullptr || errors.failed) continue;
    HPDF_Page page = HPDF_AddPage(pdf);
    HPDF_Image image = nullptr;
    if (!errors.failed)
      image = HPDF_LoadRawImageFromMem(pdf, pixels, kPageWidth, kPageHeight, HPDF_CS_DEVICE_RGB, 8);
    // 600 x 848 points slightly overfills A4 (595 x 842), as the printed report always has.
    if (!errors.failed) HPDF_Page_DrawImage(page, image, 0, 0, 600, 848);
  }
  if (!errors.failed) HPDF_SaveToStream(pdf);
  if (!errors.failed) {
    bytes.resize(HPDF_GetStreamSize(pdf));
    HPDF_UINT32 size = static_cast<HPDF_UINT32>(bytes.size());
    HPDF_ReadFromStream(pdf, reinterpret_cast<HPDF_BYTE*>(bytes.data()), &size);
    bytes.resize(size);
  }
  HPDF_Free(pdf);
  return !errors.failed && platform::writeFileAtomic(path, bytes);
}

bool writePressurePng(const uint8_t* plainImage, const std::string& path) {
  cv::Mat bottomFirst(kPictureHeight, kPictureWidth, CV_8UC3, const_cast<uint8_t*>(plainImage));
  cv::Mat upright;
  cv::flip(bottomFirst, upright, 0);
  std::vector<uchar> png;
  return cv::imencode(".png", upright, png) &&
         platform::writeFileAtomic(path, std::string(png.begin(), png.end()));
}

int removeStaleTemporaryFiles(const ConsoleSink& console) {
  const int removed = platform::removeStaleTemporaryFilesOfStation(".");
  if (removed > 0) console(std::to_string(removed) + " unfinished files removed\n");
  return removed;
}

std::string describeExportFailure(const ExportResult& result) {
  std::string text;
  if (!result.pdfWritten) text += "報表 PDF 未能寫入：" + pdfPath(result.reportName) + "\n";
  if (!result.handoffRefusal.empty()) {
    text += "足部數據不合理，未交給鞋墊程式：" + result.handoffRefusal + "\n";
  } else if (!result.handoffWritten) {
    text += std::string("鞋墊資料未能寫入：") + kInsoleHandoffPath + "\n";
  }
  if (!result.pngWritten) text += "足壓圖未能寫入：" + pngPath(result.reportName) + "\n";
  return text;
}

ExportResult exportReport(const ExportInputs& in) {
  ExportResult result;
  result.reportName = reportName(in.phone, in.time);
  ensureFolder(kPdfFolder, in.console);
  result.pdfWritten = writePdf(in.pageOnePixels, in.pageTwoPixels, in.pageThreePixels,
                               pdfPath(result.reportName), in.console);
  // Feet the insole tool would refuse are not handed over, and the tool is not started.
  const std::string refusal = handoffRefusal(in.left, in.right);
  if (refusal.empty()) {
    if (in.startProgram) in.startProgram(kInsoleToolCommand);
    result.handoffWritten = writeInsoleHandoff(
        kInsoleHandoffPath, formatInsoleHandoff(in.left, in.right, result.reportName));
  } else {
    in.console("insole hand-off not written: " + refusal + "\n");
    result.handoffRefusal = refusal;
  }
  ensureFolder(kPngFolder, in.console);
  result.pngWritten = writePressurePng(in.plainImage, pngPath(result.reportName));
  return result;
}

}  // namespace report
