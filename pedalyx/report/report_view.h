// The report window: composes the customer report as two A4 pages (1240 x 1754 pixels,
// 150 dpi), and a third, the walking page, when the customer was recorded walking, in an
// off-screen framebuffer, keeps the pages as RGB pixel buffers and shows one of them scaled
// into the window: "next.png" at the bottom right turns to the next page, "save.png" at the
// bottom left back to the one before. A capture happens when the data-entry "OK" asks for a
// refresh and when the report gate asks for the export, which runs right after the capture.
#pragma once
#include <FL/Fl_Gl_Window.H>

#include <functional>
#include <memory>
#include <opencv2/core.hpp>
#include <vector>

#include "pedalyx/imaging/gl_handles.h"
#include "pedalyx/imaging/pressure_figures.h"
#include "pedalyx/report/report_layout.h"

class FTFont;
class SwayRecorder;
struct GaitResults;
struct GaitPressures;

// What one capture shows: the values of the controls and the marked pressure picture.
struct ReportInputs {
  report::ReportValues values;
  const unsigned char* markedImage = nullptr;  // 320 x 335, B G R, bottom row first; or none
  const SwayRecorder* sway = nullptr;          // the customer's stance recordings, or none
  // The pressure figures of the picture and their scale; levels only: no pressure table.
  PressureFigures pressure{};
  PressureScale pressureScale{};
  // The customer's finished walking recording with its kPa figures, or none: with at least one
  // contact it fills a third page, its pictures through the colour table (768 bytes).
  const GaitResults* gait = nullptr;
  const GaitPressures* gaitPressures = nullptr;
  const unsigned char* colourTable = nullptr;
};

class GL_Display_report : public Fl_Gl_Window {
 public:
  GL_Display_report();
  ~GL_Display_report() override;
  void draw() override;
  void hide() override;
  int handle(int event) override;

  TextureHandle texture;  // every textured quad and the final display
  std::vector<unsigned char> placeholder;
  int placeholderWidth = 500, placeholderHeight = 707;
  FramebufferHandle frameBuffer;  // the off-screen page, 1240 x 1754
  TextureHandle frameTexture;     // its colour attachment
  RenderbufferHandle depthBuffer;
  int pageWidth = report::kPageWidth, pageHeight = report::kPageHeight;
  cv::Mat pageOneTemplate, pageTwoTemplate, pageThreeTemplate;
  cv::Mat pageImage;  // header over a page buffer, used to flip it
  cv::Mat markImage, saveImage, nextImage;
  std::vector<unsigned char> pageOnePixels, pageTwoPixels;  // RGB, top row first
  std::vector<unsigned char> pageThreePixels;  // the walking page; empty when it has none
  bool hasWalkingPage() const { return !pageThreePixels.empty(); }
  int pageCount() const { return hasWalkingPage() ? 3 : 2; }
  bool exportPending = false;  // set by the report gate: capture, then export
  bool refreshPending = true;  // set by "OK" of the data entry: capture
  std::unique_ptr<FTFont> font;
  std::unique_ptr<FTFont> tableFont;  // the sway figures table
  std::unique_ptr<FTFont> smallFont;  // the sway pictures' labels
  std::unique_ptr<FTFont> gaitFont;   // the walking page's text
  int pageIndex = 0;                  // page shown: 0 page 1, 1 page 2, 2 the walking page
  // Shows the other page; the page buffers stay as captured.
  void turnPage(int index);

  // Where a capture takes its values; the station's controls unless a test replaces it.
  std::function<ReportInputs()> readInputs;
  // Runs the export after a capture; the station's export unless a test replaces it.
  std::function<void(GL_Display_report&)> runExport;

 private:
  void createPageTarget();
  void deletePageObjects();
  void deleteObjectsWithTheirContext();
  void composeAndCapture(const ReportInputs& inputs);
  void showPage();
  void drawPageButton();
  bool contextReady_ = false;
  bool displayDirty_ = true;  // the shown page changed since it was last uploaded
};

// The station's sources for the report: data-entry, remarks and main-window controls, the
// pressure view's marked picture and the reference view's foot-type columns.
ReportInputs readReportInputsFromStation();
// The export of the station: report name from the phone and the clock, PDF, insole tool,
// hand-off, pressure PNG.
void exportReport(GL_Display_report& view);
