// Placeholder hooks until the foot statistics and measuring tools land: they do nothing.
#include "pedalyx/imaging/frame_statistics_view.h"

void createAnalysisRecords(GL_Display_Pressure&) {}
void releaseAnalysisRecords(GL_Display_Pressure&) {}
void resizeAnalysisRecords(GL_Display_Pressure&, int, int) {}
void rescaleAnalyzer(GL_Display_Pressure&, int, int) {}
void computeLiveFootZones(GL_Display_Pressure&) {}
void runFrameStatistics(GL_Display_Pressure&) {}
void drawMeasureMarks(GL_Display_Pressure&) {}
void publishFrameResults(GL_Display_Pressure&) {}
void pressAnalysisTool(GL_Display_Pressure&, bool, int, int) {}
void moveAnalysisTool(GL_Display_Pressure&, int, int) {}
