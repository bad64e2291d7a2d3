// The pressure view's share of a walking recording: each of its draws turns the recorded frames
// that wait into their own levels, on its GL context, before its live passes.
#pragma once

class GL_Display_Pressure;

// Levels of the waiting frames (for at most a few tens of milliseconds while the camera is
// still being read, longer once it is not), then the recorder's update. Nothing while the
// background is being taken: those frames wait for the new background.
void levelRecordedFrames(GL_Display_Pressure& view);
// Whether the recorder has work for the next draw (the station's clock asks).
bool recordedFramesWaiting(const GL_Display_Pressure& view);
