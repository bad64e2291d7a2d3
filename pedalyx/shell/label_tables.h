// The main window's texts, and the analysis window's "歷史" button, in both character forms.
// The operator switches between them with the language choice; the other windows keep their
// labels. Controls point at these strings directly, so they are constants that live for the
// whole run.
#pragma once

// Index of the language choice's items.
enum class Language { Traditional = 0, Simplified = 1 };

// The main-window title and the 38 relabelled controls, in the order they are relabelled.
enum class LabelTarget {
  MainWindowTitle,
  TakePictureButton,
  CalibrateButton,
  ArchToolButton,
  LengthToolButton,
  WidthToolButton,
  AngleToolButton,
  ClearButton,
  ReportButton,
  SizePanelTitle,
  LeftLengthInput,
  LeftWidthInput,
  RightLengthInput,
  RightWidthInput,
  ArchPanelTitle,
  LeftArchInput,
  RightArchInput,
  SharePanelTitle,
  ShareUpperLeftInput,
  ShareLowerLeftInput,
  ShareUpperRightInput,
  ShareLowerRightInput,
  ShareLeftInput,
  ShareRightInput,
  RatioPanelTitle,
  RatioLeftGroup,
  RatioRightGroup,
  RatioTotalGroup,
  ZonePanelTitle,
  ZoneLeftTag,
  ZoneRightTag,
  ShoeSizeOutput,
  ShoeTypeOutput,
  ReferenceLineButton,
  RemarksButton,
  CrosshairButton,
  ArchToolHint,
  HistoryButton,
  SwayButton,
};

struct LabelRow {
  LabelTarget target;
  const char* simplified;
  const char* traditional;
};

constexpr int kLabelRowCount = 39;
extern const LabelRow kLabelRows[kLabelRowCount];

// The row's text in the given form.
const char* labelText(const LabelRow& row, Language language);
