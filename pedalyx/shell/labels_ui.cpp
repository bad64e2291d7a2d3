#include "pedalyx/shell/labels_ui.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Light_Button.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Value_Input.H>

#include "pedalyx/station/handles.h"

namespace {

Fl_Widget* widgetFor(LabelTarget target) {
  switch (target) {
    case LabelTarget::MainWindowTitle:
      return mainWindow;
    case LabelTarget::TakePictureButton:
      return takePictureButton;
    case LabelTarget::CalibrateButton:
      return calibrateButton;
    case LabelTarget::ArchToolButton:
      return archToolButton;
    case LabelTarget::LengthToolButton:
      return lengthToolButton;
    case LabelTarget::WidthToolButton:
      return widthToolButton;
    case LabelTarget::AngleToolButton:
      return angleToolButton;
    case LabelTarget::ClearButton:
      return clearButton;
    case LabelTarget::ReportButton:
      return reportButton;
    case LabelTarget::SizePanelTitle:
      return sizePanelTitle;
    case LabelTarget::LeftLengthInput:
      return leftLengthInput;
    case LabelTarget::LeftWidthInput:
      return leftWidthInput;
    case LabelTarget::RightLengthInput:
      return rightLengthInput;
    case LabelTarget::RightWidthInput:
      return rightWidthInput;
    case LabelTarget::ArchPanelTitle:
      return archPanelTitle;
    case LabelTarget::LeftArchInput:
      return leftArchInput;
    case LabelTarget::RightArchInput:
      return rightArchInput;
    case LabelTarget::SharePanelTitle:
      return sharePanelTitle;
    case LabelTarget::ShareUpperLeftInput:
      return shareUpperLeftInput;
    case LabelTarget::ShareLowerLeftInput:
      return shareLowerLeftInput;
    case LabelTarget::ShareUpperRightInput:
      return shareUpperRightInput;
    case LabelTarget::ShareLowerRightInput:
      return shareLowerRightInput;
    case LabelTarget::ShareLeftInput:
      return shareLeftInput;
    case LabelTarget::ShareRightInput:
      return shareRightInput;
    case LabelTarget::RatioPanelTitle:
      return ratioPanelTitle;
    case LabelTarget::RatioLeftGroup:
      return ratioLeftGroup;
    case LabelTarget::RatioRightGroup:
      return ratioRightGroup;
    case LabelTarget::RatioTotalGroup:
      return ratioTotalGroup;
    case LabelTarget::ZonePanelTitle:
      return zonePanelTitle;
    case LabelTarget::ZoneLeftTag:
      return zoneLeftTag;
    case LabelTarget::ZoneRightTag:
      return zoneRightTag;
    case LabelTarget::ShoeSizeOutput:
      return shoeSizeOutput;
    case LabelTarget::ShoeTypeOutput:
      return shoeTypeOutput;
    case LabelTarget::ReferenceLineButton:
      return referenceLineButton;
    case LabelTarget::RemarksButton:
      return remarksButton;
    case LabelTarget::CrosshairButton:
      return crosshairButton;
    case LabelTarget::ArchToolHint:
      return archToolHint;
    case LabelTarget::HistoryButton:
      return historyButton;
    case LabelTarget::SwayButton:
      return swayButton;
  }
  return nullptr;
}

}  // namespace

void applyLabels(Language language) {
  for (const LabelRow& row : kLabelRows) {
    Fl_Widget* widget = widgetFor(row.target);
    if (widget == nullptr) continue;
    // A window's label is its title; every other label change also schedules the redraw.
    if (widget == mainWindow) {
      mainWindow->label(labelText(row, language));
    } else {
      widget->label(labelText(row, language));
      widget->redraw_label();
    }
  }
}

void applyTraditionalLabels() { applyLabels(Language::Traditional); }
void applySimplifiedLabels() { applyLabels(Language::Simplified); }
