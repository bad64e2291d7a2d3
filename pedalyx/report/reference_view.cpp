#include "pedalyx/report/reference_view.h"

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Value_Input.H>
#include <FL/gl.h>

#include <cstdio>
#include <cstring>
#include <opencv2/imgcodecs.hpp>
#include <string>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/foot_type_classifier.h"
#include "pedalyx/report/report_assets.h"
#include "pedalyx/station/handles.h"

#ifndef GL_BGR
#define GL_BGR 0x80E0
#endif

namespace {

// The computed axis of a foot, or nothing before the pressure view and its analyzer exist.
const FootAxis* footAxis(bool left) {
  if (pressureView == nullptr || pressureView->analyzer == nullptr) return nullptr;
  return left ? &pressureView->analyzer->left : &pressureView->analyzer->right;
}

bool measured(const FootAxis* axis) { return axis != nullptr && axis->pointCount == 2; }

// Sets and redraws a field whose text changed; the redraw timer repaints the rest anyway.
bool setText(Fl_Output* output, const std::string& text) {
  if (output == nullptr || std::strcmp(output->value(), text.c_str()) == 0) return false;
  output->value(text.c_str());
  output->redraw();
  return true;
}

}  // namespace

void updateFootTypeOutputs() {
  const FootAxis* left = footAxis(true);
  const FootAxis* right = footAxis(false);
  const bool traditional = languageChoice == nullptr || languageChoice->value() == 0;
  const float leftArch = left ? left->archIndex : 0.0f;
  const float rightArch = right ? right->archIndex : 0.0f;
  bool changed = setText(leftFootTypeOutput, footTypeText(measured(left), leftArch, traditional));
  changed |= setText(rightFootTypeOutput, footTypeText(measured(right), rightArch, traditional));
  changed |=
      setText(shoeTypeOutput, shoeTypeAdvice(measured(left), leftArch, measured(right), rightArch));
  // Repainting the whole main window on every draw would keep the station busy for nothing.
  if (changed && mainWindow != nullptr) mainWindow->redraw();
}

GL_Display_reference::GL_Display_reference() : Fl_Gl_Window(654, 193, 265, 55) {
  placeholder.assign(static_cast<size_t>(w()) * h() * 3, 128);
  std::printf("w %d   h %d \n", w(), h());
  placeholderWidth = w();
  placeholderHeight = h();
  std::string reason;
  if (!platform::loadPicture("./reference.png", report::kReportAsset, cv::IMREAD_COLOR, picture,
                             reason)) {
    std::fprintf(stderr, "reference.png could not be read: %s\n", reason.c_str());
  }
  textureDirty = true;
}

GL_Display_reference::~GL_Display_reference() {
  if (context() != nullptr) {
    make_current();
  } else {
    texture.release();
  }
}

void GL_Display_reference::createTexture() {
  createPictureTexture(texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, placeholderWidth, placeholderHeight, 0, GL_RGB,
               GL_UNSIGNED_BYTE, placeholder.data());
  textureDirty = false;
}

void GL_Display_reference::drawStrip() {
  glColor3f(1, 1, 1);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glViewport(0, 0, w(), h());
  glMatrixMode(GL_PROJECTION);
  glOrtho(0, w(), 0, h(), 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture.get());
  if (!picture.empty()) {
    // Rows of a picture whose width is not a multiple of four are packed without padding.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, picture.cols, picture.rows, 0, GL_BGR, GL_UNSIGNED_BYTE,
                 picture.data);
  }
  glBegin(GL_QUADS);
  glTexCoord2f(0, 1);
  glVertex2i(0, 0);
  glTexCoord2f(0, 0);
  glVertex2i(0, h());
  glTexCoord2f(1, 0);
  glVertex2i(w(), h());
  glTexCoord2f(1, 1);
  glVertex2i(w(), 0);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

void GL_Display_reference::drawFrames(bool leftMeasured, bool rightMeasured) {
  const float columnWidth = static_cast<float>(w() * 0.125);
  glColor3f(1, 0, 0);
  glLineWidth(5);
  for (int foot = 0; foot < 2; ++foot) {
    if (!(foot == 0 ? leftMeasured : rightMeasured)) continue;
    const float column = foot == 0 ? leftColumn : rightColumn;
    glBegin(GL_LINE_LOOP);
    glVertex2f(columnWidth * column, 0);
    glVertex2f(columnWidth * column, h());
    glVertex2f(columnWidth * (column + 1), h());
    glVertex2f(columnWidth * (column + 1), 0);
    glEnd();
  }
  glLineWidth(1);
  glColor3f(1, 1, 1);
}

void GL_Display_reference::draw() {
  if (!valid()) {
    // A new context has none of the old one's textures.
    if (textureDirty || !context_valid()) createTexture();
    leftColumn = 0;
    rightColumn = 0;
  }
  drawStrip();
  const double leftValue = leftArchInput != nullptr ? leftArchInput->value() : 0;
  const double rightValue = rightArchInput != nullptr ? rightArchInput->value() : 0;
  if (!(leftValue > 0) && !(rightValue > 0)) return;
  // Frames follow the arch fields as typed; the words follow the computed arch indices.
  leftColumn = static_cast<float>(leftReferenceColumn(leftValue));
  rightColumn = static_cast<float>(rightReferenceColumn(rightValue));
  drawFrames(measured(footAxis(true)), measured(footAxis(false)));
  updateFootTypeOutputs();
}

void GL_Display_reference::redrawIfChanged() {
  const std::array<double, 5> inputs = {
      leftArchInput != nullptr ? leftArchInput->value() : 0,
      rightArchInput != nullptr ? rightArchInput->value() : 0,
      static_cast<double>(measured(footAxis(true))), static_cast<double>(measured(footAxis(false))),
      languageChoice != nullptr ? static_cast<double>(languageChoice->value()) : 0};
  if (inputs == lastInputs_) return;
  lastInputs_ = inputs;
  redraw();
}

int GL_Display_reference::handle(int event) {
  switch (event) {
    case FL_PUSH:
      if (Fl::event_button() == FL_LEFT_MOUSE) std::printf("left mouse click \n");
      if (Fl::event_button() == FL_MIDDLE_MOUSE) std::printf("middle mouse click \n");
      if (Fl::event_button() == FL_RIGHT_MOUSE && settingsWindow != nullptr) settingsWindow->show();
      return 1;
    case FL_DRAG:
      std::printf("mouse position [ %d, %d ] \n", Fl::event_x(), Fl::event_y());
      return 1;
    case FL_ENTER:
    case FL_MOVE:
      return 1;
    case FL_MOUSEWHEEL:
      std::printf("mouse wheel %d \n", Fl::event_dy());
      return 1;
    default:
      return Fl_Gl_Window::handle(event);
  }
}
