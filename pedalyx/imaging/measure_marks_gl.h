// Overlay of one half's manual measurements: red points and lines, white numbers in the
// 18-pixel Helvetica bitmap font. Drawn in view pixels (origin bottom left) with the pressure
// view's GL context current.
#pragma once

struct MeasureMarks;

void drawMarks(const MeasureMarks& marks);
