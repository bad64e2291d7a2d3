// Hooks of the pressure view's frame cycle into the foot statistics and the measuring tools.
// The pressure view calls each once at the named point of its construction, draw or mouse
// handling; the statistics module fills them in.
#pragma once

class GL_Display_Pressure;

// Construction: the analyzer on view.levelImage with the view's size, and measureLeft /
// measureRight for the view's size and the 320 x 335 canvas.
void createAnalysisRecords(GL_Display_Pressure& view);
// After the view was fitted: the new size to the analyzer and both measuring records.
void resizeAnalysisRecords(GL_Display_Pressure& view, int width, int height);
// Around the report snapshot: the analyzer alone (canvas size, then the view's size again).
void rescaleAnalyzer(GL_Display_Pressure& view, int width, int height);
// Every cycle that produced levels, right after the level pass: foot zones of every axis with
// both points.
void computeFootZonesOfLevels(GL_Display_Pressure& view);
// Every draw and the report snapshot: level statistics with the centre-of-pressure markers,
// then the foot axes and band lines, drawn in the current projection.
void runFrameStatistics(GL_Display_Pressure& view);
// Every draw: the manual measuring marks of both halves.
void drawMeasureMarks(GL_Display_Pressure& view);
// Marks placed in the left or the right half (a clear removes them, a click adds one).
int placedMeasureMarks(const GL_Display_Pressure& view, bool left);
// Every draw, after the statistics: the new live frame's centres of pressure into a running
// sway recording, which ends when the picture is held or a saved picture is shown.
void recordSwayFrame(GL_Display_Pressure& view);
// Every draw, last: results into the main window's fields.
void publishFrameResults(GL_Display_Pressure& view);
// Left or right button pressed while the arch-index, length, width or angle tool is active.
// x, y are the toolkit's event coordinates in the view (origin top-left); rightButton tells
// which button.
void pressAnalysisTool(GL_Display_Pressure& view, bool rightButton, int x, int y);
// Mouse moved while the length, width or angle tool is active (toolkit coordinates).
void moveAnalysisTool(GL_Display_Pressure& view, int x, int y);
