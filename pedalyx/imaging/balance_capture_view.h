// Hook of the pressure view's live draw into the balance views: called after the level pass
// while "auto capture" is on, with the canvas viewport (320 x 335) still set. When the left
// share hits a balance target and the foot stands firmly, the colour picture is read into the
// matching balance picture and the arch indices are noted beside it.
#pragma once

class GL_Display_Pressure;

void captureBalanceFrames(GL_Display_Pressure& view);
