// The texts of the labelled controls (station/labelled_controls.h) in both character forms,
// as a table the relabelling walks. The operator switches forms with the language choice.
#pragma once
#include "pedalyx/station/labelled_controls.h"

// Index of the language choice's items.
enum class Language { Traditional = 0, Simplified = 1 };

// One target per labelled control, named after its handle, in the list's order.
enum class LabelTarget {
#define PEDALYX_LABEL_TARGET(Type, handle, traditional, simplified) handle,
  PEDALYX_LABELLED_CONTROLS(PEDALYX_LABEL_TARGET)
#undef PEDALYX_LABEL_TARGET
};

struct LabelRow {
  LabelTarget target;
  const char* traditional;
  const char* simplified;
};

// One row per labelled control, in the list's order (row i is LabelTarget i).
inline constexpr LabelRow kLabelRows[] = {
#define PEDALYX_LABEL_ROW(Type, handle, traditional, simplified) \
  {LabelTarget::handle, traditional, simplified},
    PEDALYX_LABELLED_CONTROLS(PEDALYX_LABEL_ROW)
#undef PEDALYX_LABEL_ROW
};
inline constexpr int kLabelRowCount = sizeof kLabelRows / sizeof kLabelRows[0];

// The row's text in the given form: the table's own constant, which a control may keep.
constexpr const char* labelText(const LabelRow& row, Language language) {
  return language == Language::Simplified ? row.simplified : row.traditional;
}
