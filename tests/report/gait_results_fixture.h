// A walking recording made by hand for the tests of its files and its record.
#pragma once
#include <algorithm>
#include <vector>

#include "pedalyx/imaging/gait_recorder.h"

// Two contacts of a square print, one each side, the second dropped by the operator.
inline GaitResults twoContacts() {
  ContactFinder finder;
  std::vector<uint8_t> levels(kCanvasPixels, 0);
  for (int n = 0; n < 14; ++n) {
    std::fill(levels.begin(), levels.end(), 0);
    const int x0 = n < 7 ? 40 : 230;
    if (n % 7 >= 1 && n % 7 <= 5)
      for (int y = 60; y < 90; ++y)
        for (int x = x0; x < x0 + 20; ++x) levels[x + kCanvasWidth * y] = 100 + n;
    finder.addFrame(100 + n, n / 50.0, levels.data());
  }
  GaitResults results;
  results.frames = finder.frames();
  results.framePeriod = 0.02;
  results.contacts = finder.finish();
  for (const GaitContact& c : results.contacts)
    results.figures.push_back(computeContactFigures(c, results.framePeriod));
  results.contacts[1].dropped = true;
  return results;
}
