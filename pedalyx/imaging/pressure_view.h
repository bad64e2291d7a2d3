// The live pressure view of the main window and the owner of the whole imaging chain. Each
// draw pulls the newest camera frame, runs the GPU pipeline, reads the level image back, runs
// the statistics, takes the report snapshot and balance captures when asked and draws the
// operator's overlays. Callbacks never do imaging work: they set the request flags and modes
// below, which the next draw consumes. Exactly one instance exists (handle `pressureView`).
#pragma once
#include <FL/Fl_Gl_Window.H>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "pedalyx/imaging/calibration_grid.h"
#include "pedalyx/imaging/canvas_geometry.h"
#include "pedalyx/imaging/colour_pipeline_gl.h"
#include "pedalyx/imaging/frame_levels_gl.h"
#include "pedalyx/imaging/gait_recorder.h"
#include "pedalyx/imaging/pressure_calibration.h"
#include "pedalyx/imaging/sway_recorder.h"
#include "pedalyx/imaging/zone_results_ui.h"

struct CameraFrameSource;
class FootZoneAnalyzer;
struct MeasureMarks;

// Mouse tools of the view (measureMode).
enum MeasureMode {
  kNoTool = 0,
  kArchIndexTool = 1,
  kLengthTool = 2,
  kWidthTool = 3,
  kAngleTool = 4,
  kReferenceLineTool = 5
};

struct ViewPoint {
  int x;  // view pixels
  int y;  // view pixels, origin bottom-left
};

class GL_Display_Pressure : public Fl_Gl_Window {
 public:
  static constexpr int kRingSize = 3;
  static constexpr int kReferenceLineCapacity = 300;
  static constexpr int kBackgroundFrames = 6;

  // Opens the plate camera (ends the program with the hardware message when there is none),
  // loads the filter settings into the settings sliders, the calibration grids from the store,
  // and creates the analyzer and the two measuring records.
  GL_Display_Pressure();
  // Releases the camera and the records.
  ~GL_Display_Pressure() override;
  // The station's teardown when the main window closes: releases the plate camera so that
  // the device is free before the process ends.
  void releaseCamera();
  void draw() override;
  int handle(int event) override;

  // Runs the colour pass onto a width x height quad of the current framebuffer (snapshot and
  // balance captures use 320 x 335 with the viewport still on the canvas).
  void drawColourPicture(int width, int height);
  // Current values of the noise-filter and tone-density sliders.
  FilterValues filterValues() const;
  // Asked by the station's clock every 1/120 s: requests a redraw when a camera frame is due
  // while live, or when anything the picture or its overlays are made from has changed since
  // the last draw. A held, untouched picture is not drawn again.
  void redrawIfChanged();
  // Draws of the view, and those of them that ran the pipeline passes; the others showed the
  // last levels again.
  long draws = 0;
  long frameCycles = 0;

  // GPU objects: framebuffer, depth buffer, nine pipeline textures, program, uniforms and the
  // last SHADER_STATE value.
  ColourPipeline pipeline;

  // Level of each canvas pixel (0 no load, 1..255 load), bottom row first; read by statistics.
  unsigned char levelImage[kCanvasPixels] = {};
  // Colour picture with the analysis overlays (B G R), taken at the report snapshot; shown in
  // review mode; overwritten when a saved picture is loaded.
  unsigned char markedImage[kCanvasPixels * 3] = {};
  // Colour picture without overlays (B G R), taken at the report snapshot.
  unsigned char plainImage[kCanvasPixels * 3] = {};
  // Pictures of the three balance views (R G B).
  unsigned char balanceImage2080[kCanvasPixels * 3] = {};
  unsigned char balanceImage8020[kCanvasPixels * 3] = {};
  unsigned char balanceImage5050[kCanvasPixels * 3] = {};

  int warmupCount = 0;  // frames written into the background texture; never reset
  bool live = true;     // pull a new camera frame on each draw (toggled by "take picture")
  const unsigned char* frameData = nullptr;  // last camera frame, 640 x 480 B G R, capture-owned
  std::unique_ptr<CameraFrameSource> frameSource;  // the plate camera
  bool firstInit = true;                           // GPU objects not yet created
  int measureMode = kNoTool;
  std::unique_ptr<CalibrationGrid> gridLeft;   // drawn into canvas strip x 0..128
  std::unique_ptr<CalibrationGrid> gridRight;  // drawn into canvas strip x 192..320
  unsigned char colourTable[768] = {};         // entry i = level i, R G B; all zero when missing
  int ringSize = kRingSize;
  int ringIndex = 0;  // ring slot written next
  TextureHandle reviewTexture;
  // Background capture in progress: the warp pass writes the background texture.
  bool calibrationRequested = false;
  unsigned char blackFrame[kCameraFrameBytes] = {};
  std::unique_ptr<FootZoneAnalyzer> analyzer;  // created by the statistics hooks
  char shoeSizeText[32] = {};                  // "%0.1f" of the suggested shoe size, or empty
  // Which analyzer results are in the main window's fields; reset when the fields are cleared.
  PublishedRevisions publishedResults;
  int cursorX = 0;                             // last mouse position, view pixels
  int cursorY = 0;                             // origin bottom-left
  bool reportRequest = false;                  // take the report snapshot on the next live draw
  int ringFrames = 0;                          // frames written into the ring so far
  std::unique_ptr<MeasureMarks> measureLeft;   // left half of the view
  std::unique_ptr<MeasureMarks> measureRight;  // right half of the view
  // The technician's load calibration read at start; nothing while the plate is uncalibrated.
  std::optional<PressureCalibration> pressureCalibration;
  // The customer's timed stance recordings, fed one sample per new live frame.
  SwayRecorder swayRecorder;
  // The customer's walking recording: every camera frame, levelled one by one in the draw.
  GaitRecorder gaitRecorder;
  FrameLevelTargets frameLevelTargets;
  ViewPoint referenceLines[kReferenceLineCapacity] = {};
  int referencePointCount = 0;  // clicks beyond the capacity are ignored
  bool reviewMode = false;      // show markedImage instead of the live pipeline
  std::string startDirectory;   // working directory at construction, system code page
  // Runs from the event loop after a report snapshot with a phone number: the report gate,
  // which the shell hands in when it builds the station.
  void (*reportSnapshotReady)() = nullptr;

 private:
  // What a held picture's passes compute from besides its ring: a change re-runs them. The
  // calibration meshes are not among them: they shape the next live frame, never a held ring.
  struct PassInputs {
    FilterValues filters;
    bool autoCapture = false;
    double ratio = 0;
    bool operator!=(const PassInputs& other) const;
  };
  // What the overlays and the published results are drawn from besides the mouse, which
  // redraws the view itself; typed foot lengths give the shoe size.
  struct OverlayInputs {
    std::array<double, 14> values{};
    bool operator!=(const OverlayInputs& other) const { return values != other.values; }
  };
  PassInputs passInputs() const;
  OverlayInputs overlayInputs() const;
  // Live: a camera frame is ready. Held: a request to serve or a changed pass input.
  bool passesDue() const;

  void initialiseContext();
  void fitToMainWindow();
  void drawReview();
  void drawLive();
  void runFrameCycle();
  void drawOverlays();
  void takeReportSnapshot();
  void drawCentreCross(int width, int height);
  void setViewProjection(int width, int height);
  bool fitDone_ = false;
  bool passesRun_ = false;  // the level texture holds levels of this context
  PassInputs lastPassInputs_;
  OverlayInputs lastOverlayInputs_;
};

// Calibration-point buttons of the settings window and the calibration view.
// Both grids from the calibration store, or the fallback layout when it is empty.
void loadCalibrationPoints(GL_Display_Pressure& view);
// Both grids into the calibration store (coordinates clamped to the storable range).
void saveCalibrationPoints(GL_Display_Pressure& view);
// gridLeft from "point_reference_0.txt"; a file with fewer than 32 numbers is refused.
void loadReferencePointFile(GL_Display_Pressure& view);
