// Opening the plate camera at start-up: without one the station cannot measure, so the
// operator is told to check the cable and the program ends.
#include <cstdio>
#include <cstdlib>

#include "pedalyx/capture/camera_frame_source.h"
#include "platform/message_box_ui.h"

CameraFrameSource& openPlateCamera(CameraFrameSource& source) {
  return openPlateCamera(source, CaptureSetup::fromEnvironment());
}

CameraFrameSource& openPlateCamera(CameraFrameSource& source, const CaptureSetup& setup) {
  Discovery discovery = discoverPlateCamera(captureDevicesOf(setup), source, stdout);
  if (discovery.failure == DiscoveryFailure::None) return source;
  std::fflush(stdout);
  platform::showMessageBox(kHardwareMessage, kHardwareCaption);
  std::exit(0);
}
