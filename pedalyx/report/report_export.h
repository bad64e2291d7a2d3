// Turning one finished examination into files: the report PDF, the insole hand-off, the
// pressure PNG, and the start of the insole tool.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "pedalyx/report/insole_handoff.h"
#include "platform/clock.h"

namespace report {

constexpr const char* kPdfFolder = "./PDF_INSOLES/";
constexpr const char* kPngFolder = "./FOOT_PRESSURE/";
constexpr const char* kInsoleToolCommand = "./Cobblet.exe";
// The phone part of a file name takes at most this many bytes (the name stays below 128).
constexpr size_t kMaxPhoneNameBytes = 114;

// The phone text made fit for a file name: path separators, characters file systems refuse,
// control characters, white space, broken UTF-8 and leading dots become "_"; cut to
// kMaxPhoneNameBytes at a character boundary. The report page itself shows the phone as typed.
std::string phoneForFileName(const std::string& phone);

// "<phone>_YYYYMMDDhhmm" from one clock reading; names the PDF, the PNG and both insoles.
std::string reportName(const std::string& phone, const platform::LocalTime& time);
std::string pdfPath(const std::string& reportName);
std::string pngPath(const std::string& reportName);

using ConsoleSink = std::function<void(const std::string&)>;
// Prints to standard output.
void printToConsole(const std::string& line);

// Makes sure the folder exists, telling the console what it found or did. True when the
// folder exists afterwards.
bool ensureFolder(const std::string& folder, const ConsoleSink& console);

// Writes the report pages (each kPageWidth x kPageHeight RGB bytes, top row first) as A4 PDF
// pages in order; a missing page (nullptr) is left out, so page 1 alone gives a one-page PDF
// and the walking page a third one. Library errors are printed and leave no file behind. True
// when the file was written.
bool writePdf(const uint8_t* pageOnePixels, const uint8_t* pageTwoPixels,
              const uint8_t* pageThreePixels, const std::string& path, const ConsoleSink& console);
inline bool writePdf(const uint8_t* pageOnePixels, const uint8_t* pageTwoPixels,
                     const std::string& path, const ConsoleSink& console) {
  return writePdf(pageOnePixels, pageTwoPixels, nullptr, path, console);
}
// A one-page PDF of page 1 alone.
inline bool writePdf(const uint8_t* pageOnePixels, const std::string& path,
                     const ConsoleSink& console) {
  return writePdf(pageOnePixels, nullptr, path, console);
}

// Writes the 320 x 335 pressure picture (B, G, R bytes, bottom row first) as an upright PNG.
bool writePressurePng(const uint8_t* plainImage, const std::string& path);

// Removes the temporary files that a killed station or insole tool left in the working
// directory and every folder the programs write there (platform::kWrittenFolders), telling the
// console how many. Run at start.
int removeStaleTemporaryFiles(const ConsoleSink& console);

struct ExportInputs {
  std::string phone;
  platform::LocalTime time{};
  const uint8_t* pageOnePixels = nullptr;    // page 1 as captured, RGB, top row first
  const uint8_t* pageTwoPixels = nullptr;    // page 2 likewise
  const uint8_t* pageThreePixels = nullptr;  // the walking page, when there is one
  const uint8_t* plainImage = nullptr;       // pressure picture without overlays, BGR, bottom first
  FootHandoff left, right;
  ConsoleSink console = printToConsole;
  // Starts the insole tool without waiting for it.
  std::function<void(const std::string& commandLine)> startProgram;
};

struct ExportResult {
  std::string reportName;
  bool pdfWritten = false, handoffWritten = false, pngWritten = false;
  std::string handoffRefusal;  // why the feet were not handed over, if so
};

// The operator's message naming what an export could not write; "" when all was written.
std::string describeExportFailure(const ExportResult& result);

// The whole export in its fixed order: name, PDF folder, PDF, insole tool start, hand-off,
// PNG folder, PNG. A failed step is reported on the console and the rest still runs. Feet
// that handoffRefusal refuses are neither handed over nor is the insole tool started.
ExportResult exportReport(const ExportInputs& inputs);

}  // namespace report
