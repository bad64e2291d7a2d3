// Overlays of the foot statistics, drawn in the current projection in view pixels (origin
// bottom left) with the pressure view's GL context current.
#pragma once

class FootZoneAnalyzer;

// White circles with crosses at the centres of pressure: each half's (radius 10, diagonal
// cross) and the overall one (radius 14, upright cross).
void drawPressureCentres(const FootZoneAnalyzer& analyzer);
// Each measured foot's axis, its four lines across the half, and the placed points in red.
void drawFootAxes(const FootZoneAnalyzer& analyzer);
