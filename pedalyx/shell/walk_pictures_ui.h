// Toolkit widgets of the walking window: a walking picture (a contact's peak picture or a
// foot's mean) with its gait line, the bar of the four phases, the colour legend and the
// figure tables. Each is handed plain data (imaging/gait_pictures.h, gait_tables.h) and only
// draws it.
#pragma once
#include <FL/Fl_Widget.H>

#include <string>
#include <vector>

#include "pedalyx/imaging/gait_pictures.h"
#include "pedalyx/imaging/gait_tables.h"

class GaitPictureBox : public Fl_Widget {
 public:
  GaitPictureBox(int x, int y, int w, int h);
  // The picture fitted into the box, its shape kept; an empty one shows `emptyText`.
  void show(GaitPicture picture, std::string emptyText);
  void draw() override;
  const GaitPicture& picture() const { return picture_; }

 private:
  GaitPicture picture_;
  std::string emptyText_;
  std::vector<unsigned char> scaled_;  // the picture at its shown size
  int shownX_ = 0, shownY_ = 0, shownW_ = 0, shownH_ = 0;
};

// The four phases as one bar, with a line naming each phase and its share below.
class PhaseBarBox : public Fl_Widget {
 public:
  PhaseBarBox(int x, int y, int w, int h);
  void show(std::vector<PhaseSegment> phases);
  void draw() override;

 private:
  std::vector<PhaseSegment> phases_;
};

// The level classes from the highest down, a swatch and its range each, under a heading.
class LegendBox : public Fl_Widget {
 public:
  LegendBox(int x, int y, int w, int h);
  void show(std::vector<LegendEntry> legend, std::string heading);
  void draw() override;

 private:
  std::vector<LegendEntry> legend_;
  std::string heading_;
};

// Rows of up to four cells at the given column offsets, the first row a heading, every other
// row on a light stripe; an empty table shows `emptyText`.
class GaitTableBox : public Fl_Widget {
 public:
  GaitTableBox(int x, int y, int w, int h, std::vector<int> columns, int textSize);
  void show(std::vector<GaitTableRow> rows, std::string emptyText = "");
  void draw() override;
  const std::vector<GaitTableRow>& rows() const { return rows_; }

 private:
  std::vector<int> columns_;
  int textSize_;
  std::vector<GaitTableRow> rows_;
  std::string emptyText_;
};
