// The names of the walking figures as the operator reads them, in both character forms, with
// their units: the one list the window, the report page and the columns of "Gait.csv" use.
#pragma once
#include <string>

#include "pedalyx/imaging/gait_figures.h"

struct GaitFigureName {
  const char* traditional;
  const char* simplified;
  const char* unit;  // as "Gait.csv" writes it: "ms", "mm", "deg", "%"
};

const GaitFigureName& gaitFigureName(GaitFigure figure);
// The name in the chosen form.
const char* gaitFigureText(GaitFigure figure, bool simplified);
// The zone's name ("足跟內側" …), the name of its load share.
const char* gaitZoneText(GaitZone zone, bool simplified);
// The unit as the screen and the page show it: "°" for degrees, the others as written.
const char* shownUnit(GaitFigure figure);
