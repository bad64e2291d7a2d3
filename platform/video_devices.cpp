#include "platform/video_devices.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace platform {
namespace {

// The first line of a sysfs attribute without its line end; nothing when it cannot be read.
std::optional<std::string> readAttribute(const fs::path& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path);
  if (!in) return std::nullopt;
  std::string line;
  if (!std::getline(in, line) && !in.eof()) return std::nullopt;
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

// Video capture capability from the device itself; nothing when the node cannot be asked.
std::optional<bool> queryCaptureCapability(const fs::path& node) {
  int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  v4l2_capability caps{};
  int result = ::ioctl(fd, VIDIOC_QUERYCAP, &caps);
  ::close(fd);
  if (result != 0) return std::nullopt;
  uint32_t flags =
      (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
  return (flags & (V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_VIDEO_CAPTURE_MPLANE)) != 0;
}

bool capturesVideo(const fs::path& sysNode, const fs::path& devNode) {
  if (std::optional<bool> asked = queryCaptureCapability(devNode)) return *asked;
  std::optional<std::string> index = readAttribute(sysNode / "index");
  return !index || std::atoi(index->c_str()) == 0;
}

std::optional<std::string> usbDevicePath(const fs::path& sysNode, int n) {
  std::error_code error;
  fs::path target = fs::canonical(sysNode / "device", error);
  if (error) return std::nullopt;
  std::string interfaceNumber = readAttribute(target / "bInterfaceNumber").value_or("00");
  for (fs::path dir = target; !dir.empty() && dir != dir.root_path(); dir = dir.parent_path()) {
    std::optional<std::string> vendor = readAttribute(dir / "idVendor");
    std::optional<std::string> product = readAttribute(dir / "idProduct");
    if (vendor && product) {
      std::ostringstream path;
      path << "usb#vid_" << *vendor << "&pid_" << *product << "&mi_" << interfaceNumber << "#"
           << dir.filename().string() << "#video" << n;
      return path.str();
    }
  }
  return std::nullopt;
}

}  // namespace

std::vector<VideoDevice> listVideoCaptureDevices(const VideoDeviceRoots& roots) {
  std::vector<std::pair<int, fs::path>> nodes;
  std::error_code error;
  for (const fs::directory_entry& entry :
       fs::directory_iterator(fs::path(roots.sysfs) / "class" / "video4linux", error)) {
    std::string name = entry.path().filename().string();
    if (name.rfind("video", 0) != 0 || name.size() == 5) continue;
    std::string digits = name.substr(5);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    if (digits.size() > 6) continue;
    nodes.emplace_back(std::atoi(digits.c_str()), entry.path());
  }
  std::sort(nodes.begin(), nodes.end());

  std::vector<VideoDevice> devices;
  for (const auto& [n, sysNode] : nodes) {
    std::optional<std::string> friendlyName = readAttribute(sysNode / "name");
    if (!friendlyName) continue;
    if (!capturesVideo(sysNode, fs::path(roots.dev) / ("video" + std::to_string(n)))) continue;
    VideoDevice device;
    device.friendlyName = friendlyName;
    device.description = readAttribute(sysNode / "description");
    device.devicePath = usbDevicePath(sysNode, n);
    device.captureIndex = n;
    devices.push_back(std::move(device));
  }
  return devices;
}

}  // namespace platform
