#include "pedalyx/imaging/camera_link_view.h"

#if __has_include("pedalyx/capture/camera_frame_source.h")
#include "pedalyx/capture/camera_frame_source.h"
#define PEDALYX_HAVE_CAMERA 1
#endif

#ifdef PEDALYX_HAVE_CAMERA
CameraFrameSource* openCameraForView() {
  auto* source = new CameraFrameSource();
  openPlateCamera(*source);
  return source;
}

const unsigned char* nextCameraFrame(CameraFrameSource& source) { return source.queryFrame(); }

void releaseCameraForView(CameraFrameSource*& source) {
  delete source;
  source = nullptr;
}
#else
// Until the capture module is linked in, the view runs on its black frame.
CameraFrameSource* openCameraForView() { return nullptr; }
const unsigned char* nextCameraFrame(CameraFrameSource&) { return nullptr; }
void releaseCameraForView(CameraFrameSource*& source) { source = nullptr; }
#endif
