// The walking figures as the texts of their tables, the same in the walking window and on the
// report's walking page: per foot the mean ± spread of every figure over its counted contacts
// and the left–right difference, the kPa figures of a contact, and a contact's line in the
// window's list. Plain logic.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "pedalyx/imaging/gait_pressure.h"

// The contacts each foot should have for its means to say something.
constexpr int kWantedContactsPerFoot = 3;

// Cells: the figure with its unit, left, right, left minus right. A missing value is "-".
using GaitTableRow = std::array<std::string, 4>;

// A heading row (with each foot's count of contacts), one row per figure, then, when the
// recording has pressures, under a heading row each (its value cells empty) the highest
// pressure and the pressure-time integral of the whole foot and of each zone.
std::vector<GaitTableRow> gaitFigureTable(const GaitSummary& summary,
                                          const GaitPressures& pressures, bool simplified);

// One contact's kPa figures: a heading row, then the whole foot and each zone with its highest
// pressure and its pressure-time integral (three cells, the fourth empty). Empty when the
// contact has none.
std::vector<GaitTableRow> contactKpaTable(const ContactKpa& contact, bool simplified);

// The list line of contact `index`: number, foot, start (s from the recording's first frame),
// contact time (ms), progression angle (°) and what sets it apart (dropped, side swapped, cut
// by the recording's start or end, no axis found), separated by tabs.
std::string contactListLine(const GaitResults& results, size_t index, bool simplified);
// The heading of that list.
std::string contactListHeading(bool simplified);

// The contacts of each foot so far, and whether more are wanted: "左足 2 步，右足 3 步" with a
// request for more while a foot has fewer than kWantedContactsPerFoot.
std::string contactCountText(int left, int right, bool simplified);

// Each foot's counted contacts (complete, not dropped).
std::array<int, 2> countedContacts(const GaitResults& results);
