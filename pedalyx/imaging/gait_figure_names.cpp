#include "pedalyx/imaging/gait_figure_names.h"

#include <cstring>

namespace {

// In the order of GaitFigure.
constexpr GaitFigureName kNames[] = {
    {"接觸時間", "接触时间", "ms"}, {"足長", "足长", "mm"},
    {"足寬", "足宽", "mm"},         {"足偏角", "足偏角", "deg"},
    {"步態線長", "步态线长", "mm"}, {"內側偏移", "内侧偏移", "mm"},
    {"外側偏移", "外侧偏移", "mm"}, {"初始接觸", "初始接触", "%"},
    {"前掌接觸", "前掌接触", "%"},  {"全足支撐", "全足支撑", "%"},
    {"蹬離", "蹬离", "%"},          {"足跟內側", "足跟内侧", "%"},
    {"足跟外側", "足跟外侧", "%"},  {"足中內側", "足中内侧", "%"},
    {"足中外側", "足中外侧", "%"},  {"前掌內側", "前掌内侧", "%"},
    {"前掌外側", "前掌外侧", "%"},  {"蹬離前掌內側", "蹬离前掌内侧", "%"},
};
static_assert(sizeof kNames / sizeof kNames[0] == kGaitFigureCount, "one name per figure");

}  // namespace

const GaitFigureName& gaitFigureName(GaitFigure figure) { return kNames[static_cast<int>(figure)]; }

const char* gaitFigureText(GaitFigure figure, bool simplified) {
  const GaitFigureName& name = gaitFigureName(figure);
  return simplified ? name.simplified : name.traditional;
}

const char* gaitZoneText(GaitZone zone, bool simplified) {
  return gaitFigureText(
      static_cast<GaitFigure>(static_cast<int>(GaitFigure::HeelMedialShare) + zone), simplified);
}

const char* shownUnit(GaitFigure figure) {
  const char* unit = gaitFigureName(figure).unit;
  return std::strcmp(unit, "deg") == 0 ? "°" : unit;
}
