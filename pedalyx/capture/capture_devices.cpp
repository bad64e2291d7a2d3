#include <cstdio>
#include <cstdlib>

#include "pedalyx/capture/camera_frame_source.h"
#include "pedalyx/capture/frame_feeds.h"
#include "pedalyx/capture/frame_rates.h"
#include "platform/video_devices.h"

namespace {

constexpr uint32_t kSimulationSeed = 1;
constexpr const char* kWalkSceneName = "walk";

// The simulated camera carries a plate camera's product id in its path, after the real
// devices, so a plate camera that is plugged in is always chosen first.
CaptureDevice simulatedDevice(std::string name, std::function<std::unique_ptr<FrameFeed>()> open) {
  CaptureDevice device;
  device.friendlyName = std::move(name);
  device.devicePath = "usb#vid_0000&pid_2975&mi_00#simulated#plate";
  device.open = std::move(open);
  return device;
}

}  // namespace

CaptureSetup CaptureSetup::fromEnvironment() {
  CaptureSetup setup;
  const char* simulated = std::getenv("PEDALYX_SIMULATED_CAMERA");
  if (simulated != nullptr) setup.simulated = simulated;
  const char* rate = std::getenv("PEDALYX_SIMULATED_FPS");
  setup.walkFramesPerSecond = simulatedFramesPerSecond(rate, stderr);
  if (rate != nullptr && setup.simulated != kWalkSceneName)
    std::fprintf(stderr, "PEDALYX_SIMULATED_FPS sets the \"walk\" scene's rate only\n");
  return setup;
}

std::vector<CaptureDevice> captureDevicesOf(const CaptureSetup& setup) {
  std::vector<CaptureDevice> devices;
  for (const platform::VideoDevice& video :
       platform::listVideoCaptureDevices({setup.sysfsRoot, setup.devRoot})) {
    CaptureDevice device;
    device.description = video.description;
    device.friendlyName = video.friendlyName;
    device.devicePath = video.devicePath;
    int index = video.captureIndex;
    device.open = [index] { return openVideoNode(index); };
    devices.push_back(std::move(device));
  }
  if (setup.simulated.empty()) return devices;
  bool pace = setup.pace;
  if (setup.simulated == kWalkSceneName) {
    const double rate = setup.walkFramesPerSecond;
    devices.push_back(simulatedDevice("Simulated plate camera (walking)", [rate, pace] {
      return openSimulatedWalk(rate, kSimulationSeed, pace);
    }));
  } else if (std::optional<PlateScene> scene = plateSceneByName(setup.simulated)) {
    PlateScene chosen = *scene;
    devices.push_back(simulatedDevice("Simulated plate camera", [chosen, pace] {
      return openSimulatedPlate(chosen, kSimulationSeed, pace);
    }));
  } else {
    std::string path = setup.simulated;
    devices.push_back(simulatedDevice("Replayed plate camera",
                                      [path, pace] { return openRecording(path, pace); }));
  }
  return devices;
}
