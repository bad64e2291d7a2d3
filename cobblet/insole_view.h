// The insole tool's OpenGL view: owns the template bitmap, the pad shape and every plane,
// fits the insole in its redraw when asked, shows it with the pad centre marked and saves a
// foot that a hand-off asked for.
#pragma once
#include <FL/Fl_Gl_Window.H>

#include <memory>
#include <optional>
#include <string>

#include "cobblet/insole_bitmap.h"
#include "cobblet/insole_state.h"

namespace cobblet {
class GlInsoleRenderer;
}

class GL_Display_Image : public Fl_Gl_Window {
 public:
  // At 30, 35 with size 150 x 360; loads "./drop.png" and the default template.
  GL_Display_Image();
  ~GL_Display_Image() override;
  void draw() override;
  int handle(int event) override;

  // Loads a template for side (0 left, 1 right), resets the width and length sliders to its
  // outline size and marks the insole for refitting. A file that is refused or cannot be
  // decoded leaves the current template in place.
  void loadTemplate(const std::string& pathUtf8, int side);

  // Whether an insole can be fitted and saved: a template is loaded and the off-screen buffer
  // did not fail (it is made at the first draw). Hand-offs wait until then.
  bool readyToFit() const { return state.templateLoaded && !rendererFailed(); }
  // Whether the first draw found that no off-screen buffer can be made.
  bool rendererFailed() const { return glReady_ && renderer_ == nullptr; }

  cobblet::InsoleState state;
  cobblet::InsoleBitmap templateBitmap;

 private:
  void loadPadShape();
  void fit();
  void savePendingSide();
  static void savePendingSideAfterDraw(void* view);

  std::unique_ptr<cobblet::GlInsoleRenderer> renderer_;
  bool glReady_ = false;
  // A fitted foot of the hand-off, waiting to be saved just after the draw that fitted it.
  struct PendingSave {
    int side;
    cobblet::HeightPlane plane;
  };
  std::optional<PendingSave> pendingSave_;  // set from the fitting draw until it is saved
  bool handoffSaveFailed_ = false;          // an insole of the current hand-off was not saved
  int pressX_ = 0, pressY_ = 0;
};
