// The pressure view's frame cycle: one draw pulls a frame, runs the pipeline, reads the level
// image back and draws the picture with its overlays.
#include <GL/glew.h>
// GLEW first: it must precede every other GL header.
#include <FL/Fl.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Round_Button.H>

#include <cstdio>

#include "pedalyx/imaging/balance_capture_view.h"
#include "pedalyx/imaging/camera_link_view.h"
#include "pedalyx/imaging/colour_table.h"
#include "pedalyx/imaging/frame_statistics_view.h"
#include "pedalyx/imaging/gait_frames_view.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/station/handles.h"
#include "pedalyx/station/window_layout.h"
#include "platform/message_box_ui.h"

namespace {

constexpr float kClearRed = 0.0f, kClearGreen = 0.5f, kClearBlue = 0.5f;

void runReportGate(void* data) {
  auto* view = static_cast<GL_Display_Pressure*>(data);
  if (view->reportSnapshotReady) view->reportSnapshotReady();
}

}  // namespace

void GL_Display_Pressure::setViewProjection(int width, int height) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glViewport(0, 0, width, height);
  glOrtho(0, width, 0, height, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void GL_Display_Pressure::draw() {
  if (glUseProgram != nullptr) glUseProgram(0);
  if (!valid()) initialiseContext();
  levelRecordedFrames(*this);
  if (reviewMode)
    drawReview();
  else
    drawLive();
  drawOverlays();
  lastOverlayInputs_ = overlayInputs();
  ++draws;
  recordSwayFrame(*this);
}

void GL_Display_Pressure::initialiseContext() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(kClearRed, kClearGreen, kClearBlue, 1);
  setViewProjection(w(), h());
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (glewInit() != GLEW_OK) std::fprintf(stderr, "GLEW could not be initialised\n");
  createRenderTarget(reviewTexture, -1);
  if (firstInit) {
    calibrationRequested = true;
    loadColourTableFile(kColourTableFile, colourTable);
    createPipelineObjects(pipeline, blackFrame, colourTable, "");
    firstInit = false;
  }
  setPipelineUniforms(pipeline, filterValues());
  createFramebuffer(pipeline);
  if (!fitDone_) fitToMainWindow();
  resizeAnalysisRecords(*this, w(), h());
}

// The view keeps its x, y and width and takes the canvas's 320 : 335 shape; when that would
// reach closer than 70 pixels to the main window's bottom it shrinks, keeping the shape.
void GL_Display_Pressure::fitToMainWindow() {
  fitDone_ = true;
  int width = w();
  int height = static_cast<int>(width / 320.0f * 335.0f);
  if (y() + height > kMainWindowDesignHeight) {
    height = kMainWindowDesignHeight - y() - 70;
    width = static_cast<int>(height * 320.0f / 335.0f);
  }
  resize(x(), y(), width, height);
}

void GL_Display_Pressure::drawReview() {
  // The loaded picture replaced levelImage: back on the live path the passes run again.
  passesRun_ = false;
  glClearColor(kClearRed, kClearGreen, kClearBlue, 1);
  setViewProjection(w(), h());
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, reviewTexture.get());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kCanvasWidth, kCanvasHeight, 0, GL_BGR, GL_UNSIGNED_BYTE,
               markedImage);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2i(0, 0);
  glTexCoord2f(1, 0);
  glVertex2i(w(), 0);
  glTexCoord2f(1, 1);
  glVertex2i(w(), h());
  glTexCoord2f(0, 1);
  glVertex2i(0, h());
  glEnd();
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
}

void GL_Display_Pressure::drawLive() {
  setViewProjection(kCanvasWidth, kCanvasHeight);
  // A draw asked for by a mark or an expose shows the last levels again; only a new frame, a
  // request or a changed setting runs the passes.
  if (passesDue()) runFrameCycle();
  glClearColor(kClearRed, kClearGreen, kClearBlue, 1);
  setViewProjection(w(), h());
  // The colour pass covers every pixel of the view; without a program it draws nothing.
  if (!pipeline.program.usable) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawColourPicture(w(), h());
  if (ringFrames < kRingSize) {
    // The ring still holds frames from before the background: show nothing of it.
    glColor3f(0, 0, 1);
    glRecti(0, 0, w(), h());
    glColor3f(1, 1, 1);
  }
  drawCentreCross(w(), h());
}

void GL_Display_Pressure::runFrameCycle() {
  if (live && frameSource != nullptr) {
    // Without a new frame the previous one stays in use.
    const unsigned char* frame = nextCameraFrame(*frameSource);
    if (frame != nullptr) frameData = frame;
  }
  lastPassInputs_ = passInputs();
  passesRun_ = true;
  ++frameCycles;
  const unsigned char* frame = frameData != nullptr ? frameData : blackFrame;
  const bool toBackground = calibrationRequested;
  // A held picture keeps the ring its levels came from, so every later pass (the report
  // snapshot, a filter change) gives the levels the operator measured; only a slot that never
  // held a frame takes the held one.
  const bool toRing = !toBackground && (live || ringFrames < kRingSize);
  if (toBackground || toRing)
    warpPass(pipeline, frame, *gridLeft, *gridRight, toBackground, ringIndex);
  if (toRing) {
    ++ringFrames;
    ringIndex = (ringIndex + 1) % ringSize;
  }
  if (toBackground) {
    if (warmupCount >= kBackgroundFrames - 1)
      calibrationRequested = false;
    else
      ++warmupCount;
    // No levels came from this draw: a held picture gets them from the new background next.
    passesRun_ = false;
  } else {
    cleanPass(pipeline);
    levelPass(pipeline, lastPassInputs_.filters, levelImage);
    // The axes' results always belong to the levels now in levelImage.
    computeFootZonesOfLevels(*this);
    if (reportRequest) takeReportSnapshot();
    if (lastPassInputs_.autoCapture) captureBalanceFrames(*this);
    pipeline.shaderState = kColourState;
  }
}

void GL_Display_Pressure::drawCentreCross(int width, int height) {
  glColor3f(1, 0, 0);
  glEnable(GL_LINE_STIPPLE);
  glLineStipple(3, 0xAAAA);
  glBegin(GL_LINES);
  glVertex2i(width / 2, height / 4);
  glVertex2i(width / 2, 3 * (height / 4));
  glVertex2i(width / 2 + height / 4, height / 2);
  glVertex2i(width / 2 - height / 4, height / 2);
  glEnd();
  glDisable(GL_LINE_STIPPLE);
  glColor3f(1, 1, 1);
}

void GL_Display_Pressure::drawOverlays() {
  const int pointsToDraw = (referencePointCount + 1) / 2 * 2;
  glColor3f(0.5f, 0.5f, 1.0f);
  glBegin(GL_LINES);
  for (int i = 0; i < pointsToDraw && i < kReferenceLineCapacity; ++i)
    glVertex2i(referenceLines[i].x, referenceLines[i].y);
  glEnd();
  if (crosshairButton != nullptr && crosshairButton->value()) {
    glColor3f(1, 1, 1);
    glBegin(GL_LINES);
    glVertex2i(cursorX, 0);
    glVertex2i(cursorX, h());
    glVertex2i(0, cursorY);
    glVertex2i(w(), cursorY);
    glEnd();
  }
  glColor3f(1, 1, 1);
  runFrameStatistics(*this);
  drawMeasureMarks(*this);
  publishFrameResults(*this);
}

// Drawn into the back buffer on the canvas viewport; the display that follows overwrites it.
void GL_Display_Pressure::takeReportSnapshot() {
  drawColourPicture(kCanvasWidth, kCanvasHeight);
  rescaleAnalyzer(*this, kCanvasWidth, kCanvasHeight);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, kCanvasWidth, kCanvasHeight, GL_BGR, GL_UNSIGNED_BYTE, plainImage);
  runFrameStatistics(*this);
  drawCentreCross(kCanvasWidth, kCanvasHeight);
  glReadPixels(0, 0, kCanvasWidth, kCanvasHeight, GL_BGR, GL_UNSIGNED_BYTE, markedImage);
  rescaleAnalyzer(*this, w(), h());
  reportRequest = false;
  // Dialogs and the report gate run from the event loop once this draw has finished.
  const bool phoneMissing = phoneInput == nullptr || phoneInput->size() == 0;
  if (phoneMissing)
    platform::postMessageBox("聯絡方式欄位空白", "聯絡方式為必填項目");
  else
    Fl::add_timeout(0.0, runReportGate, this);
}
