#include "pedalyx/imaging/gait_contacts.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <opencv2/imgproc.hpp>

#include "pedalyx/imaging/measure_marks.h"

namespace {

struct Box {
  int x0 = kCanvasWidth, y0 = kCanvasHeight, x1 = -1, y1 = -1;
  bool empty() const { return x1 < x0; }
};

// The loaded pixels' bounding box; most rows of a walking recording are empty.
Box loadedBox(const uint8_t* levels) {
  Box box;
  for (int y = 0; y < kCanvasHeight; ++y) {
    const uint8_t* row = levels + y * kCanvasWidth;
    int first = 0;
    while (first < kCanvasWidth && row[first] == 0) ++first;
    if (first == kCanvasWidth) continue;
    int last = kCanvasWidth - 1;
    while (row[last] == 0) --last;
    box.x0 = std::min(box.x0, first);
    box.x1 = std::max(box.x1, last);
    box.y0 = std::min(box.y0, y);
    box.y1 = std::max(box.y1, y);
  }
  return box;
}

double boxGapPixels(int ax0, int ay0, int ax1, int ay1, int bx0, int by0, int bx1, int by1) {
  const int dx = std::max({0, bx0 - ax1, ax0 - bx1});
  const int dy = std::max({0, by0 - ay1, ay0 - by1});
  return std::hypot(dx, dy);
}

// One patch over the union of several, each pixel taken from the patch that holds it.
LevelPatch mergedPatch(const std::vector<const LevelPatch*>& parts) {
  if (parts.size() == 1) return *parts[0];
  int x0 = kCanvasWidth, y0 = kCanvasHeight, x1 = 0, y1 = 0;
  for (const LevelPatch* p : parts) {
    x0 = std::min(x0, p->x0);
    y0 = std::min(y0, p->y0);
    x1 = std::max(x1, p->x0 + p->width);
    y1 = std::max(y1, p->y0 + p->height);
  }
  LevelPatch merged{x0, y0, x1 - x0, y1 - y0, {}};
  merged.levels.assign(static_cast<size_t>(merged.width) * merged.height, 0);
  for (const LevelPatch* p : parts)
    for (int y = 0; y < p->height; ++y)
      for (int x = 0; x < p->width; ++x) {
        const uint8_t v = p->levels[static_cast<size_t>(y) * p->width + x];
        if (v != 0)
          merged.levels[static_cast<size_t>(p->y0 + y - y0) * merged.width + (p->x0 + x - x0)] = v;
      }
  return merged;
}

}  // namespace

FootSide footSideOfColumn(double canvasX) {
  return isLeftFootColumn(static_cast<int>(std::floor(canvasX))) ? FootSide::Left : FootSide::Right;
}

ContactFinder::ContactFinder()
    : previousTracks_(kCanvasPixels, -1), currentTracks_(kCanvasPixels, -1) {}

int ContactFinder::root(int track) {
  while (tracks_[track].parent != track) {
    tracks_[track].parent = tracks_[tracks_[track].parent].parent;
    track = tracks_[track].parent;
  }
  return track;
}

void ContactFinder::addFrame(int64_t counter, double seconds, const uint8_t* levels) {
  const int frame = static_cast<int>(frames_.size());
  frames_.push_back({counter, seconds});
  std::fill(currentTracks_.begin(), currentTracks_.end(), -1);
  const Box box = loadedBox(levels);
  if (!box.empty()) {
    const cv::Mat image(kCanvasHeight, kCanvasWidth, CV_8U, const_cast<uint8_t*>(levels));
    const cv::Rect area(box.x0, box.y0, box.x1 - box.x0 + 1, box.y1 - box.y0 + 1);
    cv::Mat labels, stats, centroids;
    const int count =
        cv::connectedComponentsWithStats(image(area) > 0, labels, stats, centroids, 8, CV_32S);
    for (int label = 1; label < count; ++label) {
      const int rx = stats.at<int>(label, cv::CC_STAT_LEFT),
                ry = stats.at<int>(label, cv::CC_STAT_TOP);
      const int rw = stats.at<int>(label, cv::CC_STAT_WIDTH),
                rh = stats.at<int>(label, cv::CC_STAT_HEIGHT);
      // The tracks of the last frame that this region touches (it or its 8 neighbours).
      int joined = -1;
      for (int y = ry; y < ry + rh; ++y) {
        const int* row = labels.ptr<int>(y);
        for (int x = rx; x < rx + rw; ++x) {
          if (row[x] != label) continue;
          const int cx = area.x + x, cy = area.y + y;
          for (int ny = std::max(cy - 1, 0); ny <= std::min(cy + 1, kCanvasHeight - 1); ++ny)
            for (int nx = std::max(cx - 1, 0); nx <= std::min(cx + 1, kCanvasWidth - 1); ++nx) {
              const int t = previousTracks_[ny * kCanvasWidth + nx];
              if (t < 0) continue;
              const int r = root(t);
              if (joined < 0) {
                joined = r;
              } else if (r != joined) {
                // A region bridging two tracks joins them.
                joined = mergeTracks(std::min(r, joined), std::max(r, joined));
              }
            }
        }
      }
      if (joined < 0) {
        joined = static_cast<int>(tracks_.size());
        const double centreX = area.x + centroids.at<double>(label, 0);
        Track fresh{};
        fresh.parent = joined;
        fresh.half = footSideOfColumn(centreX);
        fresh.first = fresh.last = frame;
        fresh.x0 = kCanvasWidth;
        fresh.y0 = kCanvasHeight;
        fresh.x1 = fresh.y1 = -1;
        tracks_.push_back(std::move(fresh));
        open_.push_back(joined);
      }
      Track& track = tracks_[joined];
      track.last = frame;
      track.mostPixels = std::max(track.mostPixels, stats.at<int>(label, cv::CC_STAT_AREA));
      const int x0 = area.x + rx, y0 = area.y + ry;
      track.x0 = std::min(track.x0, x0);
      track.y0 = std::min(track.y0, y0);
      track.x1 = std::max(track.x1, x0 + rw - 1);
      track.y1 = std::max(track.y1, y0 + rh - 1);
      Region region{frame, LevelPatch{x0, y0, rw, rh, {}}};
      region.levels.levels.assign(static_cast<size_t>(rw) * rh, 0);
      for (int y = 0; y < rh; ++y) {
        const int* row = labels.ptr<int>(ry + y) + rx;
        const uint8_t* source = levels + (y0 + y) * kCanvasWidth + x0;
        for (int x = 0; x < rw; ++x) {
          if (row[x] != label) continue;
          region.levels.levels[static_cast<size_t>(y) * rw + x] = source[x];
          currentTracks_[(y0 + y) * kCanvasWidth + x0 + x] = joined;
        }
      }
      track.regions.push_back(std::move(region));
    }
  }
  std::swap(previousTracks_, currentTracks_);
  closeTracks(frame);
}

int ContactFinder::mergeTracks(int keep, int merge) {
  Track& k = tracks_[keep];
  Track& m = tracks_[merge];
  m.parent = keep;
  k.first = std::min(k.first, m.first);
  k.last = std::max(k.last, m.last);
  k.x0 = std::min(k.x0, m.x0);
  k.y0 = std::min(k.y0, m.y0);
  k.x1 = std::max(k.x1, m.x1);
  k.y1 = std::max(k.y1, m.y1);
  k.mostPixels = std::max(k.mostPixels, m.mostPixels);
  for (Region& r : m.regions) k.regions.push_back(std::move(r));
  m.regions.clear();
  m.regions.shrink_to_fit();
  return keep;
}

void ContactFinder::closeTracks(int frame) {
  // A track not seen in this frame has ended; one of fewer than 3 frames is a flicker or a
  // touch, not a foot, and its pixels are let go at once.
  std::vector<int> stillOpen;
  for (int t : open_) {
    if (tracks_[t].parent != t) continue;  // merged into another
    if (tracks_[t].last == frame) {
      stillOpen.push_back(t);
    } else if (tracks_[t].last - tracks_[t].first + 1 < kLeastFrames) {
      tracks_[t].regions.clear();
      tracks_[t].regions.shrink_to_fit();
      tracks_[t].first = -1;  // never a contact
    }
  }
  open_ = std::move(stillOpen);
}

std::vector<std::vector<int>> ContactFinder::contactGroups() const {
  std::vector<int> lasting;
  for (size_t t = 0; t < tracks_.size(); ++t) {
    const Track& track = tracks_[t];
    if (track.parent == static_cast<int>(t) && track.first >= 0 &&
        track.last - track.first + 1 >= kLeastFrames)
      lasting.push_back(static_cast<int>(t));
  }
  std::sort(lasting.begin(), lasting.end(),
            [&](int a, int b) { return tracks_[a].first < tracks_[b].first; });
  // In the order they appear, a track joins a foot of its half that is on the plate and within
  // reach; a speck smaller than a toe's print is no foot for others to join.
  const double reach = kReachMm / kMillimetresPerPixel;
  const double toePixels = kSmallestContactMm2 / (kMillimetresPerPixel * kMillimetresPerPixel);
  struct Group {
    std::vector<int> tracks;
    FootSide half;
    int last, x0, y0, x1, y1;
    bool foot;
  };
  std::vector<Group> groups;
  for (int t : lasting) {
    const Track& track = tracks_[t];
    Group* joined = nullptr;
    for (Group& g : groups) {
      if (!g.foot || g.half != track.half || track.first > g.last) continue;
      if (boxGapPixels(g.x0, g.y0, g.x1, g.y1, track.x0, track.y0, track.x1, track.y1) > reach)
        continue;
      joined = &g;
      break;
    }
    if (joined == nullptr) {
      groups.push_back({{}, track.half, track.last, track.x0, track.y0, track.x1, track.y1, false});
      joined = &groups.back();
    }
    joined->tracks.push_back(t);
    joined->last = std::max(joined->last, track.last);
    joined->x0 = std::min(joined->x0, track.x0);
    joined->y0 = std::min(joined->y0, track.y0);
    joined->x1 = std::max(joined->x1, track.x1);
    joined->y1 = std::max(joined->y1, track.y1);
    joined->foot = joined->foot || track.mostPixels >= toePixels;
  }
  std::vector<std::vector<int>> result;
  for (Group& g : groups) result.push_back(std::move(g.tracks));
  return result;
}

int ContactFinder::contactsSoFar(FootSide side) const {
  int count = 0;
  for (const std::vector<int>& g : contactGroups()) count += tracks_[g.front()].half == side;
  return count;
}

std::vector<GaitContact> ContactFinder::finish() const {
  const std::vector<std::vector<int>> groups = contactGroups();
  const int lastFrame = static_cast<int>(frames_.size()) - 1;
  std::vector<GaitContact> contacts;
  for (const std::vector<int>& g : groups) {
    int first = lastFrame, last = 0;
    std::vector<std::vector<const LevelPatch*>> partsOfFrame(frames_.size());
    for (int r : g)
      for (const Region& region_ : tracks_[r].regions) {
        const Region* region = &region_;
        first = std::min(first, region->frame);
        last = std::max(last, region->frame);
        partsOfFrame[region->frame].push_back(&region->levels);
      }
    GaitContact contact;
    contact.heelSide = tracks_[g.front()].half;
    contact.cutAtStart = first == 0;
    contact.cutAtEnd = last == lastFrame;
    std::vector<uint8_t> footprint(kCanvasPixels, 0);
    for (int f = first; f <= last; ++f) {
      ContactFrame cf{frames_[f].counter, frames_[f].seconds, mergedPatch(partsOfFrame[f])};
      const LevelPatch& p = cf.levels;
      for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
          if (p.levels[static_cast<size_t>(y) * p.width + x] != 0)
            footprint[(p.y0 + y) * kCanvasWidth + p.x0 + x] = 1;
      contact.frames.push_back(std::move(cf));
    }
    contact.footprintPixels =
        static_cast<int>(std::count(footprint.begin(), footprint.end(), uint8_t{1}));
    const double area = contact.footprintPixels * kMillimetresPerPixel * kMillimetresPerPixel;
    if (static_cast<int>(contact.frames.size()) < kLeastFrames || area < kSmallestContactMm2)
      continue;
    contacts.push_back(std::move(contact));
  }
  return contacts;
}
