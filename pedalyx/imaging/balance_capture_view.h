// Hook of the pressure view's live draw into the balance views: called after the level pass
// while "auto capture" is on, with the canvas viewport (320 x 335) still set, so the capture
// may run view.drawColourPicture(320, 335) and read the pixels back.
#pragma once

class GL_Display_Pressure;

void captureBalanceFrames(GL_Display_Pressure& view);
