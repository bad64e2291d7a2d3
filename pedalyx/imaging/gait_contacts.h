// The contacts of a walking recording, found in the frames' own levels. A contact is one foot on
// the plate from its first loaded frame to its last: a loaded region that appears, stays and
// leaves. Regions are followed from frame to frame where they touch; a part of a foot apart
// from the rest (the ball of a high arch, the toes) belongs to the foot whose half of the
// canvas it appears in, within a foot's reach, while that foot is on the plate. A region present
// for fewer than 3 frames, or a contact smaller than a toe's print, is no contact. Plain logic.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pedalyx/imaging/canvas_geometry.h"

enum class FootSide { Left = 0, Right = 1 };

// The station's halves of the canvas (isLeftFootColumn): the left foot stands in columns
// x < 160.
FootSide footSideOfColumn(double canvasX);
inline FootSide otherSide(FootSide side) {
  return side == FootSide::Left ? FootSide::Right : FootSide::Left;
}

// A rectangle of a level image in canvas pixels, rows bottom first; pixels it does not hold,
// and pixels outside it, have level 0.
struct LevelPatch {
  int x0 = 0, y0 = 0, width = 0, height = 0;
  std::vector<uint8_t> levels;  // width * height, row y0 first
  uint8_t at(int x, int y) const {
    if (x < x0 || y < y0 || x >= x0 + width || y >= y0 + height) return 0;
    return levels[static_cast<size_t>(y - y0) * width + (x - x0)];
  }
};

// One frame of a contact: when the camera took it and the contact's own pixels in it.
struct ContactFrame {
  int64_t counter = 0;  // the camera's frame counter
  double seconds = 0;   // capture time
  LevelPatch levels;
};

struct GaitContact {
  std::vector<ContactFrame> frames;    // consecutive recorded frames
  FootSide heelSide = FootSide::Left;  // the half its heel landed in
  bool sideSwapped = false;            // the operator gave it to the other foot
  bool dropped = false;                // the operator left it out of the figures
  bool cutAtStart = false;             // already on the plate in the recording's first frame
  bool cutAtEnd = false;               // still on the plate in its last frame
  int footprintPixels = 0;             // canvas pixels loaded in any of its frames
  FootSide side() const { return sideSwapped ? otherSide(heelSide) : heelSide; }
  bool complete() const { return !cutAtStart && !cutAtEnd; }
  // Whether the per-foot means take it: complete and not dropped.
  bool counted() const { return complete() && !dropped; }
};

// A frame of the recording as the camera stamped it.
struct RecordedFrameStamp {
  int64_t counter = 0;
  double seconds = 0;
};

class ContactFinder {
 public:
  static constexpr int kLeastFrames = 3;
  static constexpr double kSmallestContactMm2 = 100.0;  // about a small toe's print
  static constexpr double kReachMm = 100.0;             // farthest apart two parts of one foot lie

  ContactFinder();
  // The next recorded frame's levels: 320 x 335, bottom row first.
  void addFrame(int64_t counter, double seconds, const uint8_t* levels);
  // Every frame added so far.
  const std::vector<RecordedFrameStamp>& frames() const { return frames_; }
  // Contacts of each foot seen so far, ended or not (the operator's count while recording).
  int contactsSoFar(FootSide side) const;
  // The contacts of the frames added, in the order they began; one still on the plate in the
  // last frame is cut by the end.
  std::vector<GaitContact> finish() const;

 private:
  struct Region {
    int frame;
    LevelPatch levels;
  };
  // Regions followed from frame to frame. Tracks that met are merged into the lower one, which
  // holds their span, box and regions; a track of fewer than 3 frames gets first = -1 at its
  // end and lets its regions go.
  struct Track {
    int parent;
    FootSide half;
    int first, last;     // frame indices
    int x0, y0, x1, y1;  // bounding box, inclusive
    int mostPixels;      // of its largest region
    std::vector<Region> regions;
  };
  int root(int track);
  int mergeTracks(int keep, int merge);
  void closeTracks(int frame);
  // Groups of tracks that make one contact each (roots of long enough tracks).
  std::vector<std::vector<int>> contactGroups() const;

  std::vector<RecordedFrameStamp> frames_;
  std::vector<Track> tracks_;
  std::vector<int> open_;                                // roots seen in the last frame
  std::vector<int32_t> previousTracks_, currentTracks_;  // track of each canvas pixel, or -1
};
