#include "pedalyx/imaging/camera_link_view.h"

#include "pedalyx/capture/camera_frame_source.h"

std::unique_ptr<CameraFrameSource> openCameraForView() {
  auto source = std::make_unique<CameraFrameSource>();
  openPlateCamera(*source);
  return source;
}

const unsigned char* nextCameraFrame(CameraFrameSource& source) {
  // A failed read keeps the previous frame in source.frame, which the view shows again.
  queryFrame(source);
  return source.frame.empty() ? nullptr : source.frame.data;
}

bool cameraFrameDue(const CameraFrameSource& source) { return frameDue(source); }

void releaseCameraForView(std::unique_ptr<CameraFrameSource>& source) {
  if (source != nullptr) releasePlateCamera(*source);
  source.reset();
}
