// Video capture devices of the machine, in the order the camera capture numbers them.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct VideoDevice {
  std::optional<std::string> description;   // rarely present (see listVideoCaptureDevices)
  std::optional<std::string> friendlyName;  // the driver's name of the device
  std::optional<std::string> devicePath;    // "usb#vid_xxxx&pid_xxxx&mi_xx#<port>#videoN"
  int captureIndex = -1;                    // N of /dev/videoN, the index the capture opens
};

// Where the kernel's device tree and the device nodes are; tests point these at fake trees.
struct VideoDeviceRoots {
  std::string sysfs = "/sys";
  std::string dev = "/dev";
};

// The video nodes under <sysfs>/class/video4linux that capture video, ordered by N:
// - a node whose "name" cannot be read is skipped (it takes no place in the list);
// - a node is a capture node when the device node <dev>/videoN answers the capability query
//   with video capture; when it cannot be asked, when its "index" attribute is 0 (a USB
//   camera registers its capture node first and its metadata node with index 1);
// - friendlyName is the "name" attribute; description is the node's optional "description"
//   attribute (no kernel driver provides one, so real cameras are judged by their path);
// - devicePath is built from the first folder above the node's "device" link that holds
//   idVendor and idProduct (the USB device), with the interface number of the link's target.
std::vector<VideoDevice> listVideoCaptureDevices(const VideoDeviceRoots& roots = {});

}  // namespace platform
