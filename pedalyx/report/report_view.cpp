#include "pedalyx/report/report_view.h"

#include <GL/glew.h>
// GLEW before the other GL headers.
#include <FL/Fl.H>
#include <FTGL/ftgl.h>

#include <cstdio>
#include <cstdlib>
#include <opencv2/imgcodecs.hpp>

#include "pedalyx/report/gait_page_layout.h"
#include "pedalyx/report/report_assets.h"
#include "pedalyx/report/report_text_gl.h"

namespace {

constexpr int kButtonMargin = 10;

// Where the page button of the shown page lies, window pixels with y upwards.
struct ButtonPlace {
  int left, bottom, right, top;
  bool contains(int x, int y) const { return x >= left && x < right && y >= bottom && y < top; }
};

// "next.png" lies in the bottom right corner, "save.png" in the bottom left one.
ButtonPlace buttonPlace(const cv::Mat& picture, bool next, int windowWidth) {
  const int left = next ? windowWidth - kButtonMargin - picture.cols : kButtonMargin;
  return {left, kButtonMargin, left + picture.cols, kButtonMargin + picture.rows};
}

cv::Mat loadPicture(const char* path) {
  cv::Mat picture;
  std::string reason;
  if (!platform::loadPicture(path, report::kReportAsset, cv::IMREAD_COLOR, picture, reason)) {
    std::fprintf(stderr, "can not load %s: %s\n", path, reason.c_str());
  }
  return picture;
}

}  // namespace

GL_Display_report::GL_Display_report()
    : Fl_Gl_Window(0, 0, 500, 707),
      placeholder(500 * 707 * 3, 128),
      pageOnePixels(size_t(report::kPageWidth) * report::kPageHeight * 3, 255),
      pageTwoPixels(size_t(report::kPageWidth) * report::kPageHeight * 3, 255),
      readInputs(readReportInputsFromStation),
      runExport(exportReport) {
  std::printf("w %d   h %d \n", w(), h());
  pageOneTemplate = loadPicture("./Origin_page1.png");
  pageTwoTemplate = loadPicture("./Origin_page2.png");
  pageThreeTemplate = loadPicture("./Origin_page3.png");
  markImage = loadPicture("./mark.png");
  saveImage = loadPicture("./save.png");
  nextImage = loadPicture("./next.png");
  pageImage = cv::Mat(pageHeight, pageWidth, CV_8UC3, pageOnePixels.data());
  font = report::loadReportFont();
  tableFont = report::loadReportFont(report::kSwayTableTextSize);
  smallFont = report::loadReportFont(report::kSwayLabelTextSize);
  gaitFont = report::loadReportFont(report::kGaitTextSize);
}

GL_Display_report::~GL_Display_report() {
  deleteObjectsWithTheirContext();
  placeholder.clear();
}

void GL_Display_report::hide() {
  deleteObjectsWithTheirContext();
  contextReady_ = false;
  Fl_Gl_Window::hide();
}

// The toolkit's GL windows share their objects, so the page target of a context that goes
// outlives it: the page framebuffer keeps its 20 MB of attachments alive even after their
// names are deleted. Everything goes while the context is still there and current.
void GL_Display_report::deleteObjectsWithTheirContext() {
  if (context() == nullptr) return;
  make_current();
  deletePageObjects();
}

void GL_Display_report::deletePageObjects() {
  frameBuffer.reset();
  depthBuffer.reset();
  frameTexture.reset();
  texture.reset();
}

void GL_Display_report::draw() {
  if (!context_valid() || !contextReady_) {
    if (glGenFramebuffers == nullptr && glewInit() != GLEW_OK)
      std::fprintf(stderr, "GLEW could not be initialised\n");
    // A context re-created without hide() may still see the old objects: nothing of this
    // context exists yet, so deleting the old names touches only those (unknown ones are
    // ignored).
    deletePageObjects();
    createPageTarget();
    contextReady_ = true;
    displayDirty_ = true;
  }
  // Pages are composed only when a capture is pending: between captures the window shows the
  // last captured page anyway, and composing two A4 pages per frame would cost the imaging.
  if (exportPending || refreshPending) composeAndCapture(readInputs());
  showPage();
}

void GL_Display_report::showPage() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, pixel_w(), pixel_h());
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 1, 0, 1, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0.5f, 0.5f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBindTexture(GL_TEXTURE_2D, texture.get());
  if (displayDirty_) {
    const auto& page = pageIndex == 2 && hasWalkingPage() ? pageThreePixels
                       : pageIndex >= 1                   ? pageTwoPixels
                                                          : pageOnePixels;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, pageWidth, pageHeight, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 page.data());
    displayDirty_ = false;
  }
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 1);
  glVertex2f(0, 0);
  glTexCoord2f(1, 1);
  glVertex2f(1, 0);
  glTexCoord2f(1, 0);
  glVertex2f(1, 1);
  glTexCoord2f(0, 0);
  glVertex2f(0, 1);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  drawPageButton();
}

void GL_Display_report::drawPageButton() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, w(), 0, h(), 0, 1);
  for (bool next : {false, true}) {
    if (next ? pageIndex + 1 >= pageCount() : pageIndex == 0) continue;
    const cv::Mat& picture = next ? nextImage : saveImage;
    if (picture.empty() || !picture.isContinuous()) continue;
    const ButtonPlace place = buttonPlace(picture, next, w());
    // The picture's first row is its top: drawn downwards from the top-left corner.
    glRasterPos2i(place.left, place.top - 1);
    glPixelZoom(1, -1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(picture.cols, picture.rows, GL_BGR, GL_UNSIGNED_BYTE, picture.data);
    glPixelZoom(1, 1);
  }
}

void GL_Display_report::turnPage(int index) {
  if (index == pageIndex || index < 0 || index >= pageCount()) return;
  pageIndex = index;
  displayDirty_ = true;
  redraw();
}

int GL_Display_report::handle(int event) {
  switch (event) {
    case FL_PUSH:
      if (Fl::event_button() == FL_LEFT_MOUSE) {
        const int x = Fl::event_x(), y = h() - Fl::event_y() - 1;
        if (pageIndex + 1 < pageCount() && !nextImage.empty() &&
            buttonPlace(nextImage, true, w()).contains(x, y))
          turnPage(pageIndex + 1);
        else if (pageIndex > 0 && !saveImage.empty() &&
                 buttonPlace(saveImage, false, w()).contains(x, y))
          turnPage(pageIndex - 1);
      }
      if (Fl::event_button() == FL_MIDDLE_MOUSE) std::printf("middle mouse click \n");
      if (Fl::event_button() == FL_RIGHT_MOUSE) std::printf("right mouse click \n");
      return 1;
    case FL_DRAG:
      std::printf("mouse position [ %d, %d ] \n", Fl::event_x(), Fl::event_y());
      return 1;
    case FL_MOVE:
      std::printf("mouse_x = %d  mouse_y = %d \n", Fl::event_x(), h() - Fl::event_y() - 1);
      return 1;
    case FL_MOUSEWHEEL:
      std::printf("mouse wheel %d \n", Fl::event_dy());
      return 1;
    default:
      return Fl_Gl_Window::handle(event);
  }
}
