// Sizes of the station's top-level windows. The main and settings windows are laid out for a
// design size whose lower rows would fall outside the window; they open taller so every
// control can be reached, while every control keeps its design position.
#pragma once

// The main window's design size. The pressure view fits its first picture against this
// height (not the window's real height), so it always opens at 533 x 558.
constexpr int kMainWindowWidth = 959;
constexpr int kMainWindowDesignHeight = 714;
// Room for the analysis-area group (y 706 to 766) and the shoe-type output below the design.
constexpr int kMainWindowHeight = 772;

constexpr int kAnalysisWindowWidth = 1129;
constexpr int kAnalysisWindowHeight = 754;

// The settings window's design area is 333 x 270; the block sliders (down to y 486), the
// language choice (y 522 to 552), the shop and station names (y 566 to 634) and the central
// database's state (y 642 to 742) lie below it, so the window opens taller and stays fixed.
constexpr int kSettingsWindowWidth = 333;
constexpr int kSettingsWindowHeight = 750;

// The calibration window: the 640 x 480 camera view at its top left, the load calibration
// beside and below it.
constexpr int kCalibrationWindowWidth = 1010;
constexpr int kCalibrationWindowHeight = 712;

constexpr int kDataEntryWindowWidth = 453;
constexpr int kDataEntryWindowHeight = 414;
constexpr int kRemarksWindowWidth = 920;
constexpr int kRemarksWindowHeight = 355;
