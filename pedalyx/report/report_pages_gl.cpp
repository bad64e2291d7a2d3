// Composing the two report pages in the off-screen framebuffer and capturing them.
#include <GL/glew.h>
// GLEW before the other GL headers.
#include <FTGL/ftgl.h>

#include <cmath>
#include <cstdio>
#include <opencv2/core.hpp>

#include "pedalyx/report/report_pressure_gl.h"
#include "pedalyx/imaging/gait_recorder.h"
#include "pedalyx/report/report_gait_gl.h"
#include "pedalyx/report/report_sway_gl.h"
#include "pedalyx/report/report_text_gl.h"
#include "pedalyx/report/report_view.h"

namespace {

using report::Rect;

// Uploads a B G R picture into the bound texture; rows in memory order.
void uploadBgr(const unsigned char* pixels, int width, int height) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_BGR, GL_UNSIGNED_BYTE, pixels);
}

// Draws the bound texture over r. topRowFirst: the picture's first row is its top row (files);
// otherwise its first row is the bottom row (pictures read back from GL).
void texturedQuad(const Rect& r, bool topRowFirst) {
  float bottomT = topRowFirst ? 1.0f : 0.0f, topT = 1.0f - bottomT;
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, bottomT);
  glVertex2i(r.left, r.bottom);
  glTexCoord2f(1, bottomT);
  glVertex2i(r.right, r.bottom);
  glTexCoord2f(1, topT);
  glVertex2i(r.right, r.top);
  glTexCoord2f(0, topT);
  glVertex2i(r.left, r.top);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

void drawPicture(unsigned int texture, const cv::Mat& bgr, const Rect& r) {
  if (bgr.empty()) return;
  glBindTexture(GL_TEXTURE_2D, texture);
  cv::Mat packed = bgr.isContinuous() ? bgr : bgr.clone();
  uploadBgr(packed.data, packed.cols, packed.rows);
  texturedQuad(r, true);
}

void filledRect(const Rect& r, float red, float green, float blue) {
  glDisable(GL_TEXTURE_2D);
  glColor3f(red, green, blue);
  glRecti(r.left, r.bottom, r.right, r.top);
  glColor3f(1, 1, 1);
}

void redDots(const std::vector<report::Point>& dots) {
  glDisable(GL_TEXTURE_2D);
  glColor3f(1, 0, 0);
  glEnable(GL_POINT_SMOOTH);
  glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glPointSize(20);
  glBegin(GL_POINTS);
  for (const report::Point& p : dots) glVertex2i(p.x, p.y);
  glEnd();
  glColor3f(1, 1, 1);
  glDisable(GL_POINT_SMOOTH);
  glDisable(GL_BLEND);
  glPointSize(1);
}

// Reads the whole page and turns it so that its first row is the top of the page.
void capturePage(std::vector<unsigned char>& pixels, cv::Mat& pageImage) {
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, report::kPageWidth, report::kPageHeight, GL_RGB, GL_UNSIGNED_BYTE,
               pixels.data());
  pageImage = cv::Mat(report::kPageHeight, report::kPageWidth, CV_8UC3, pixels.data());
  cv::flip(pageImage, pageImage, 0);
}

void pageProjection() {
  glViewport(0, 0, report::kPageWidth, report::kPageHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, report::kPageWidth, 0, report::kPageHeight, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

}  // namespace

void GL_Display_report::createPageTarget() {
  createMipmappedTarget(frameTexture, pageWidth, pageHeight);
  unsigned int name = 0;
  glGenRenderbuffers(1, &name);
  depthBuffer.reset(name);
  glBindRenderbuffer(GL_RENDERBUFFER, name);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, pageWidth, pageHeight);
  glGenFramebuffers(1, &name);
  frameBuffer.reset(name);
  glBindFramebuffer(GL_FRAMEBUFFER, name);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frameTexture.get(),
                         0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                            depthBuffer.get());
  GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
  if (status != GL_FRAMEBUFFER_COMPLETE)
    std::fprintf(stderr, "report page framebuffer incomplete: 0x%04X\n",
                 static_cast<unsigned>(status));
  glBindFramebuffer(GL_FRAMEBUFFER, 0);

  createPictureTexture(texture);
  uploadBgr(placeholder.data(), placeholderWidth, placeholderHeight);
}

void GL_Display_report::composeAndCapture(const ReportInputs& in) {
  glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer.get());
  pageProjection();
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  const Rect wholePage{0, 0, pageWidth, pageHeight};

  // Page 1: template, personal data and measurements, pressure picture, marks.
  report::PageOneLayout one = report::layoutPageOne(in.values);
  drawPicture(texture.get(), pageOneTemplate, wholePage);
  for (const report::PlacedText& t : one.texts) report::writeText(font.get(), t.x, t.y, t.text);
  filledRect(one.pictureBackground, 0, 0, 1);
  if (in.markedImage != nullptr) {
    glBindTexture(GL_TEXTURE_2D, texture.get());
    uploadBgr(in.markedImage, report::kPictureWidth, report::kPictureHeight);
    texturedQuad(one.picture, false);
  }
  drawPicture(texture.get(), markImage, one.leftFootTypeMark);
  drawPicture(texture.get(), markImage, one.rightFootTypeMark);
  redDots(one.shoeTypeDots);
  capturePage(pageOnePixels, pageImage);

  // Page 2: balance mark, the remark, the pressure table and the sway recordings when there
  // are any.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  report::PageTwoLayout two = report::layoutPageTwo(in.values);
  drawPicture(texture.get(), pageTwoTemplate, wholePage);
  drawPicture(texture.get(), markImage, two.balanceMark);
  for (const report::PlacedText& t : two.remarkLines)
    report::writeText(font.get(), t.x, t.y, t.text);
  // The pressure section and the sway section share the page between balance and remarks.
  const bool sway = swaySectionShown(in.sway);
  drawPressureSection({font.get(), smallFont.get()}, in.pressure, in.pressureScale, sway);
  if (sway)
    drawSwaySection({font.get(), tableFont.get(), smallFont.get()}, *in.sway,
                    in.pressure.source != PressureSource::LevelsOnly);
  capturePage(pageTwoPixels, pageImage);

  // Page 3: the walking recording, when it has contacts.
  if (in.gait != nullptr && in.gaitPressures != nullptr && !in.gait->contacts.empty()) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawPicture(texture.get(), pageThreeTemplate, wholePage);
    drawGaitPage(gaitFont.get(), *in.gait, *in.gaitPressures, in.colourTable, texture.get());
    pageThreePixels.resize(pageOnePixels.size());
    capturePage(pageThreePixels, pageImage);
  } else {
    std::vector<unsigned char>().swap(pageThreePixels);  // its 6.5 MB go with it
  }
  if (pageIndex >= pageCount()) pageIndex = 0;
  refreshPending = false;

  if (exportPending && runExport) runExport(*this);
  exportPending = false;

  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glBindTexture(GL_TEXTURE_2D, frameTexture.get());
  glGenerateMipmap(GL_TEXTURE_2D);
  displayDirty_ = true;
}
