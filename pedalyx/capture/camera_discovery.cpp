#include <array>
#include <chrono>
#include <cstdlib>
#include <opencv2/imgproc.hpp>

#include "pedalyx/capture/camera_frame_source.h"
#include "platform/text_encoding.h"

const char* const kHardwareMessage = "請確認足壓機 USB 是否正確連接";
const char* const kHardwareCaption = "硬體連接錯誤";

namespace {

constexpr size_t kNarrowLimit = 253;  // characters kept of a device text
constexpr int kFirstFrameTries = 5;   // cameras may drop the first reads while starting

// Keeps the low byte of each UTF-16 unit of the text, at most 253 of them: device texts are
// compared as 8-bit characters.
std::string narrow(const std::string& utf8) {
  std::u16string wide = platform::utf8ToUtf16(utf8);
  std::string narrowed;
  for (char16_t unit : wide) {
    if (narrowed.size() == kNarrowLimit) break;
    narrowed.push_back(static_cast<char>(unit & 0xFF));
  }
  return narrowed;
}

const std::optional<std::string>& textForProductId(const CaptureDevice& device) {
  return device.description ? device.description : device.devicePath;
}

const std::optional<std::string>& displayName(const CaptureDevice& device) {
  return device.description ? device.description : device.friendlyName;
}

// Fills the product-id table (first 20 devices) and logs what it finds.
std::array<int, kMaxCaptureDevices> listCaptureDevices(const std::vector<CaptureDevice>& devices,
                                                       std::FILE* log) {
  std::array<int, kMaxCaptureDevices> productIds{};
  if (!devices.empty()) std::fprintf(log, "SETUP: Looking For Capture Devices\n");
  for (size_t i = 0; i < devices.size() && i < productIds.size(); ++i) {
    const std::optional<std::string>& text = textForProductId(devices[i]);
    if (!text) continue;
    std::optional<int> id = productIdOfText(narrow(*text));
    if (!id) continue;
    productIds[i] = *id;
    std::fprintf(log, "SETUP: %i) %d \n", static_cast<int>(i), *id);
  }
  std::fprintf(log, "SETUP: %i Device(s) found\n\n", static_cast<int>(devices.size()));
  return productIds;
}

int countCaptureDevices(const std::vector<CaptureDevice>& devices, std::FILE* log) {
  for (size_t i = 0; i < devices.size(); ++i) {
    const std::optional<std::string>& name = displayName(devices[i]);
    if (name) std::fprintf(log, "SETUP: %i) %s \n", static_cast<int>(i), narrow(*name).c_str());
  }
  return static_cast<int>(devices.size());
}

}  // namespace

std::optional<int> productIdOfText(const std::string& text) {
  std::string limited = text.substr(0, kNarrowLimit);
  size_t p = limited.find("pid");
  if (p == std::string::npos) return std::nullopt;
  // The separator after "pid" is skipped whatever it is; a text ending early gives 0.
  std::string digits = p + 4 < limited.size() ? limited.substr(p + 4, 4) : std::string();
  return std::atoi(digits.c_str());
}

Discovery discoverPlateCamera(const std::vector<CaptureDevice>& devices, CameraFrameSource& source,
                              std::FILE* log) {
  Discovery result;
  std::array<int, kMaxCaptureDevices> productIds = listCaptureDevices(devices, log);
  if (countCaptureDevices(devices, log) == 0) {
    result.failure = DiscoveryFailure::NoDevices;
    return result;
  }
  int chosen = -1;
  for (int i = 0; i < kMaxCaptureDevices; ++i) {
    std::fprintf(log, "PID[ %d ] = %d\n", i, productIds[i]);
    if (productIds[i] == kPlateProductIdA || productIds[i] == kPlateProductIdB) {
      chosen = i;
      break;
    }
  }
  std::fflush(log);
  if (chosen < 0) {
    result.failure = DiscoveryFailure::NoPlateCamera;
    return result;
  }
  const CaptureDevice& device = devices[chosen];
  source.capture = device.open ? device.open() : nullptr;
  if (!source.capture) {
    result.failure = DiscoveryFailure::OpenFailed;
    return result;
  }
  result.deviceIndex = chosen;
  source.frame.create(kCameraFrameHeight, kCameraFrameWidth, CV_8UC3);
  source.frame.setTo(cv::Scalar::all(0));
  // Frames are converted to the fixed size, so the size is known even when the first read
  // brings nothing; the pipeline then starts from a black frame.
  bool gotFrame = false;
  for (int attempt = 0; attempt < kFirstFrameTries && !gotFrame; ++attempt)
    gotFrame = queryFrame(source);
  if (!gotFrame) std::fprintf(log, "SETUP: camera %d gave no first frame\n", chosen);
  source.width = source.frame.cols;
  source.height = source.frame.rows;
  std::fflush(log);
  return result;
}

void toCameraFrame(const cv::Mat& picture, cv::Mat& frame) {
  thread_local cv::Mat converted;
  const cv::Mat* bgr = &picture;
  if (picture.depth() != CV_8U) {
    double scale = picture.depth() == CV_16U ? 1.0 / 256 : 1.0;
    picture.convertTo(converted, CV_8U, scale);
    bgr = &converted;
  }
  if (bgr->channels() == 1) {
    cv::cvtColor(*bgr, converted, cv::COLOR_GRAY2BGR);
    bgr = &converted;
  } else if (bgr->channels() == 4) {
    cv::cvtColor(*bgr, converted, cv::COLOR_BGRA2BGR);
    bgr = &converted;
  }
  frame.create(kCameraFrameHeight, kCameraFrameWidth, CV_8UC3);
  if (bgr->size() == frame.size()) {
    bgr->copyTo(frame);
  } else {
    bool shrinking = bgr->cols > frame.cols || bgr->rows > frame.rows;
    cv::resize(*bgr, frame, frame.size(), 0, 0, shrinking ? cv::INTER_AREA : cv::INTER_LINEAR);
  }
}

bool queryFrame(CameraFrameSource& source) {
  if (!source.capture) return false;
  if (!source.capture->read(source.picture) || source.picture.empty()) return false;
  int channels = source.picture.channels();
  if (channels != 1 && channels != 3 && channels != 4) return false;
  toCameraFrame(source.picture, source.frame);
  ++source.framesRead;
  const std::optional<double> taken = source.capture->pictureSeconds();
  source.frameSeconds =
      taken ? *taken
            : std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
                  .count();
  return true;
}

bool frameDue(const CameraFrameSource& source) {
  return source.capture != nullptr && source.capture->frameDue();
}

void releasePlateCamera(CameraFrameSource& source) { source.capture.reset(); }
