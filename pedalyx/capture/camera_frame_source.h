// The plate camera: finding it among the video input devices by its USB product id, opening
// it and pulling one frame per live draw. Frames are always 640 × 480, B G R bytes, top row
// first, whatever the device delivers.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <opencv2/core.hpp>
#include <optional>
#include <string>
#include <vector>

constexpr int kCameraFrameWidth = 640;
constexpr int kCameraFrameHeight = 480;
constexpr int kMaxCaptureDevices = 20;  // entries of the product-id table
constexpr int kPlateProductIdA = 2975;
constexpr int kPlateProductIdB = 2978;

// Text and caption of the message shown when no plate camera can be opened.
extern const char* const kHardwareMessage;
extern const char* const kHardwareCaption;

// Something that delivers camera pictures in any size and 8-bit layout; read() returns false
// when no picture came.
class FrameFeed {
 public:
  virtual ~FrameFeed() = default;
  virtual bool read(cv::Mat& picture) = 0;
  // Whether read() would find the next picture ready now. A device whose read waits for the
  // exposure says yes and lets read() wait, as before.
  virtual bool frameDue() const { return true; }
  // When the last picture read was taken, in seconds on the feed's own clock; nothing for a
  // live device, whose pictures are timed by the station's clock as they arrive.
  virtual std::optional<double> pictureSeconds() const { return std::nullopt; }
  // The camera's number of the last picture read: one more for each picture it took, so a
  // picture the station never got shows as a gap. Nothing when the feed keeps no count.
  virtual std::optional<int64_t> pictureCounter() const { return std::nullopt; }
  // The rate the feed delivers at, frames per second; 0 when it does not say.
  virtual double framesPerSecond() const { return 0; }
};

// One video input device as discovery sees it, in enumeration order.
struct CaptureDevice {
  std::optional<std::string> description;   // judged first when present
  std::optional<std::string> friendlyName;  // display name
  std::optional<std::string> devicePath;    // "usb#vid_xxxx&pid_xxxx&..."
  // Opens the device; returns nothing when it cannot be opened.
  std::function<std::unique_ptr<FrameFeed>()> open;
};

// The opened plate camera. One per program, owned by the pressure view.
struct CameraFrameSource {
  int width = 0;   // of the delivered frames: always 640 once opened
  int height = 0;  // always 480 once opened
  std::unique_ptr<FrameFeed> capture;
  cv::Mat frame;            // the latest frame, 640 × 480 CV_8UC3 B G R, continuous, top row first
  cv::Mat picture;          // scratch: what the device delivered last, before conversion
  int64_t framesRead = 0;   // frames delivered so far: tells a new frame from a repeated one
  double frameSeconds = 0;  // when the latest frame was taken (seconds, any fixed origin)
};

// Where discovery looks. fromEnvironment() reads PEDALYX_SIMULATED_CAMERA: unset or empty →
// real devices only; "1" or a scene name → a simulated plate camera appended after the real
// devices ("normal", "flat", "high", "balance", "sway", "walk"); a path to a video file or a
// folder of images → that recording, looped, appended in the same way. The walking customer
// plays at PEDALYX_SIMULATED_FPS frames a second (30 when unset or not a rate up to 240).
struct CaptureSetup {
  std::string sysfsRoot = "/sys";
  std::string devRoot = "/dev";
  std::string simulated;            // value of PEDALYX_SIMULATED_CAMERA
  bool pace = true;                 // simulated and replayed frames come at their own frame rate
  double walkFramesPerSecond = 30;  // of the "walk" scene
  static CaptureSetup fromEnvironment();
};

// The ordered device list of the setup: real capture devices, then the simulated one.
std::vector<CaptureDevice> captureDevicesOf(const CaptureSetup& setup);

// The product id a device's text holds: the four characters four places after the first
// "pid", read as a decimal number with leading digits only ("2975" → 2975, "0b9f" → 0).
// Nothing when the text has no "pid". Only the first 253 characters of the text count.
std::optional<int> productIdOfText(const std::string& text);

enum class DiscoveryFailure { None, NoDevices, NoPlateCamera, OpenFailed };

// Discovery result: on success the source is open and holds its first frame.
struct Discovery {
  DiscoveryFailure failure = DiscoveryFailure::None;
  int deviceIndex = -1;  // position of the chosen device in the list
};

// Runs discovery over the device list: fills the product-id table, logs the "SETUP: …" and
// "PID[ %d ] = %d" lines to log, picks the first of the first 20 devices with product id 2975
// or 2978, opens it and reads one frame. Does not end the program.
Discovery discoverPlateCamera(const std::vector<CaptureDevice>& devices, CameraFrameSource& source,
                              std::FILE* log);

// Fills the caller's source with the plate camera of the environment's devices. When there is
// no device, no plate camera or it cannot be opened, shows the hardware message and ends the
// process with status 0: it returns only with an open source.
CameraFrameSource& openPlateCamera(CameraFrameSource& source);
CameraFrameSource& openPlateCamera(CameraFrameSource& source, const CaptureSetup& setup);

// Pulls the next frame into source.frame (640 × 480 B G R). A failed read keeps the previous
// frame and returns false.
bool queryFrame(CameraFrameSource& source);

// Whether the next queryFrame would deliver a frame without waiting for it (always true for a
// device that waits in its read; false when the camera is closed).
bool frameDue(const CameraFrameSource& source);

// Closes the camera; the last frame stays readable.
void releasePlateCamera(CameraFrameSource& source);

// Converts any 8-bit picture (grey, B G R, B G R A) of any size into a 640 × 480 B G R frame
// without reallocating frame when it already has that size.
void toCameraFrame(const cv::Mat& picture, cv::Mat& frame);
