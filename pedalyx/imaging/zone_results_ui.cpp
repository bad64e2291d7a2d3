#include "pedalyx/imaging/zone_results_ui.h"

#include <FL/Fl.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Value_Input.H>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/shoe_size.h"
#include "pedalyx/station/handles.h"

namespace {

// A field the operator is typing in keeps the typed text until the focus moves on.
void show(Fl_Value_Input* field, double value) {
  if (field == nullptr) return;
  if (Fl::focus() == field || Fl::focus() == &field->input) return;
  field->value(value);
}

void showRounded(Fl_Value_Input* field, float value) { show(field, std::floor(value + 0.5)); }

// Zone fields in screen order: top row forefoot, middle row, bottom row heel.
void showZones(const FootAxis& foot, Fl_Value_Input* const* fields) {
  const int fieldOfZone[6] = {4, 5, 2, 3, 0, 1};
  for (int zone = 0; zone < 6; ++zone) showRounded(fields[fieldOfZone[zone]], foot.zoneShare[zone]);
}

double valueOf(const Fl_Value_Input* field) { return field != nullptr ? field->value() : 0.0; }

}  // namespace

void publishResults(const FootZoneAnalyzer& analyzer, PublishedRevisions& published,
                    char* shoeSizeTextOut, size_t shoeSizeCapacity) {
  if (!published.valid || published.left != analyzer.left.revision) {
    show(leftArchInput, analyzer.left.archIndex);
    showZones(analyzer.left, zoneInputs);
  }
  if (!published.valid || published.right != analyzer.right.revision) {
    show(rightArchInput, analyzer.right.archIndex);
    showZones(analyzer.right, zoneInputs + 6);
  }
  if (!published.valid || published.level != analyzer.levelRevision) {
    showRounded(shareLeftInput, analyzer.left.halfShare);
    showRounded(shareRightInput, analyzer.right.halfShare);
    showRounded(shareUpperLeftInput, analyzer.left.upperShare);
    showRounded(shareLowerLeftInput, analyzer.left.lowerShare);
    showRounded(shareUpperRightInput, analyzer.right.upperShare);
    showRounded(shareLowerRightInput, analyzer.right.lowerShare);
    for (int j = 0; j < kLevelClassCount; ++j) {
      showRounded(ratioTotalInputs[j], analyzer.classShareTotal[j]);
      showRounded(ratioLeftInputs[j], analyzer.classShareLeft[j]);
      showRounded(ratioRightInputs[j], analyzer.classShareRight[j]);
    }
  }
  published = {true, analyzer.left.revision, analyzer.right.revision, analyzer.levelRevision};
  std::snprintf(shoeSizeTextOut, shoeSizeCapacity, "%s",
                shoeSizeText(valueOf(leftLengthInput), valueOf(rightLengthInput)).c_str());
  if (shoeSizeOutput != nullptr && std::strcmp(shoeSizeOutput->value(), shoeSizeTextOut) != 0) {
    shoeSizeOutput->value(shoeSizeTextOut);
  }
}
