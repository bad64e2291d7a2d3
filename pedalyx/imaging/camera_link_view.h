// The pressure view's link to the plate camera.
#pragma once
#include <memory>

struct CameraFrameSource;

// Opens the plate camera; does not return when there is none (hardware message, exit 0).
std::unique_ptr<CameraFrameSource> openCameraForView();
// Pulls the next frame: its 640 x 480 B G R pixels, or nullptr when the camera gave none.
const unsigned char* nextCameraFrame(CameraFrameSource& source);
// Whether a new frame is ready to be pulled without waiting for it.
bool cameraFrameDue(const CameraFrameSource& source);
// Releases the capture; the source is empty afterwards. Nothing happens to an empty source.
void releaseCameraForView(std::unique_ptr<CameraFrameSource>& source);
