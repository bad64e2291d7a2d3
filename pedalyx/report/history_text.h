// The texts of the history window in Traditional or Simplified characters: one line per
// visit, one per unreadable row, and the names of the compared figures.
#pragma once
#include <string>
#include <vector>

#include "pedalyx/report/visit_figures.h"

namespace report {

// "2026-12-06 17:04" of a local YYYYMMDDhhmm.
std::string visitDate(int64_t when);

// One label per visit (newest first, as listed), each different from the others: the date,
// and where several visits fall in one minute, their number in it from the oldest,
// "2026-12-06 17:04 (2)".
std::vector<std::string> visitLabels(const std::vector<Visit>& visits);

// The visit's label, then per foot length / width / arch index and foot type, then left /
// right shares; "-" for what the visit does not hold.
std::string visitLine(const std::string& label, const Visit& visit, const VisitFigures& figures,
                      bool simplified);

// "第 4 行無法讀取: <reason>: <text>"
std::string unreadableLine(const DatabaseRow& row, bool simplified);

// The name of a figure, e.g. "足弓指標 左" or "六區 右 右上".
std::string figureName(Figure figure, bool simplified);

// A figure's value as the window shows it: arch indices with two decimals, the rest whole.
std::string figureValue(Figure figure, double value, bool withSign = false);

}  // namespace report
