#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>

#include "capture/fake_sysfs.h"
#include "hostile_pictures.h"
#include "pedalyx/capture/camera_frame_source.h"
#include "pedalyx/capture/frame_feeds.h"
#include "pedalyx/capture/frame_rates.h"
#include "pedalyx/capture/simulated_plate.h"
#include "platform/video_devices.h"

namespace {

// A camera that delivers pictures of one colour and size; it counts its reads and can be told
// to fail them.
class SolidFeed : public FrameFeed {
 public:
  SolidFeed(cv::Size size, int type, cv::Scalar colour)
      : size_(size), type_(type), colour_(colour) {}
  bool read(cv::Mat& picture) override {
    ++reads;
    if (failing) return false;
    picture.create(size_, type_);
    picture.setTo(colour_);
    return true;
  }
  bool failing = false;
  int reads = 0;

 private:
  cv::Size size_;
  int type_;
  cv::Scalar colour_;
};

// Runs discovery over a fake tree; opening a device records its capture index and gives a
// camera of that index's grey.
struct DiscoveryRun {
  Discovery discovery;
  std::string log;
  int openedIndex = -1;
  CameraFrameSource source;

  explicit DiscoveryRun(const FakeSysfs& tree, bool openable = true) {
    std::vector<CaptureDevice> devices;
    for (const platform::VideoDevice& video :
         platform::listVideoCaptureDevices({tree.sysfs(), tree.dev()})) {
      CaptureDevice device{video.description, video.friendlyName, video.devicePath, {}};
      int index = video.captureIndex;
      device.open = [this, index, openable]() -> std::unique_ptr<FrameFeed> {
        openedIndex = index;
        if (!openable) return nullptr;
        return std::make_unique<SolidFeed>(cv::Size(640, 480), CV_8UC3, cv::Scalar::all(index));
      };
      devices.push_back(std::move(device));
    }
    run(devices);
  }
  explicit DiscoveryRun(const std::vector<CaptureDevice>& devices) { run(devices); }

  void run(const std::vector<CaptureDevice>& devices) {
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    discovery = discoverPlateCamera(devices, source, out);
    std::fclose(out);
    log.assign(buffer, size);
    std::free(buffer);
  }
  bool logs(const std::string& line) const { return log.find(line) != std::string::npos; }
};

TEST(ProductId, DecimalDigitsFourPlacesAfterPid) {
  EXPECT_EQ(productIdOfText("usb#vid_046d&pid_2975&mi_00#1-2"), 2975);
  EXPECT_EQ(productIdOfText("usb#vid_0bda&pid_0b9f&mi_00"), 0);  // hexadecimal letters
  EXPECT_EQ(productIdOfText("usb#vid_0bda&pid_0B9F&mi_00"), 0);
  EXPECT_EQ(productIdOfText("pid:2978"), 2978);          // any separator is skipped
  EXPECT_EQ(productIdOfText("pid_12ab pid_2975"), 12);   // the first "pid" counts
  EXPECT_EQ(productIdOfText("PID_2975"), std::nullopt);  // lower case only
  EXPECT_EQ(productIdOfText("camera pid"), 0);           // the text ends before the digits
  EXPECT_EQ(productIdOfText("no id here"), std::nullopt);
  EXPECT_EQ(productIdOfText(std::string(251, 'x') + "pid_2975"), std::nullopt);  // past 253
}

TEST(Discovery, WebcamFirstPlateSecondOpensThePlate) {
  FakeSysfs tree("webcam-plate");
  tree.addCamera(0, "0825");
  tree.addCamera(1, "2975");
  DiscoveryRun run(tree);
  ASSERT_EQ(run.discovery.failure, DiscoveryFailure::None);
  EXPECT_EQ(run.discovery.deviceIndex, 1);
  EXPECT_EQ(run.openedIndex, 1);
  EXPECT_EQ(run.log,
            "SETUP: Looking For Capture Devices\n"
            "SETUP: 0) 825 \n"
            "SETUP: 1) 2975 \n"
            "SETUP: 2 Device(s) found\n\n"
            "SETUP: 0) USB Camera \n"
            "SETUP: 1) USB Camera \n"
            "PID[ 0 ] = 825\n"
            "PID[ 1 ] = 2975\n");
  EXPECT_EQ(run.source.width, 640);
  EXPECT_EQ(run.source.height, 480);
  EXPECT_EQ(run.source.frame.at<cv::Vec3b>(10, 10), cv::Vec3b(1, 1, 1));  // the first frame
}

TEST(Discovery, LowerIndexWinsAndMetadataNodesTakeNoIndex) {
  FakeSysfs tree("two-plates");
  tree.addCamera(0, "2978");
  tree.addCamera(1, "2975");
  DiscoveryRun first(tree);
  EXPECT_EQ(first.discovery.deviceIndex, 0);
  EXPECT_FALSE(first.logs("PID[ 1 ]"));

  FakeSysfs later("metadata");
  later.addCamera(0, "0825");
  later.addCamera(1, "0825", /*index=*/1);  // metadata node of a camera
  later.addCamera(2, "2978");
  DiscoveryRun run(later);
  EXPECT_EQ(run.discovery.deviceIndex, 1);  // second in the list
  EXPECT_EQ(run.openedIndex, 2);            // but node video2 is opened
}

TEST(Discovery, DevicesThatNeverMatch) {
  // Hexadecimal letters read as 0: no plate camera; every table entry is logged.
  FakeSysfs hex("hex");
  hex.addCamera(0, "0b9f");
  hex.addCamera(1, "0B9F");
  DiscoveryRun hexRun(hex);
  EXPECT_EQ(hexRun.discovery.failure, DiscoveryFailure::NoPlateCamera);
  EXPECT_TRUE(hexRun.logs("SETUP: 0) 0 \nSETUP: 1) 0 \n"));
  EXPECT_TRUE(hexRun.logs("PID[ 19 ] = 0\n"));
  EXPECT_EQ(hexRun.openedIndex, -1);

  // A description is read instead of the path and names the device in the log.
  FakeSysfs described("described");
  FakeSysfs::Node plate;
  plate.product = "2975";
  plate.description = "Pressure plate camera";
  described.add(plate);
  DiscoveryRun describedRun(described);
  EXPECT_EQ(describedRun.discovery.failure, DiscoveryFailure::NoPlateCamera);
  EXPECT_TRUE(describedRun.logs("SETUP: 0) Pressure plate camera \n"));
  EXPECT_FALSE(describedRun.logs("SETUP: 0) 2975"));
}

TEST(Discovery, UnreadableDeviceTakesNoIndex) {
  FakeSysfs tree("unreadable");
  FakeSysfs::Node broken;
  broken.n = 0;
  broken.product = "2978";
  broken.readable = false;
  tree.add(broken);
  tree.addCamera(1, "2975");
  DiscoveryRun run(tree);
  EXPECT_EQ(run.discovery.deviceIndex, 0);
  EXPECT_EQ(run.openedIndex, 1);
  EXPECT_TRUE(run.logs("SETUP: 1 Device(s) found"));
}

TEST(Discovery, OnlyTheFirstTwentyDevicesCount) {
  FakeSysfs tree("many");
  for (int n = 0; n < 20; ++n) tree.addCamera(n, "0825");
  tree.addCamera(20, "2975");
  tree.addCamera(21, "2978");
  DiscoveryRun run(tree);
  EXPECT_EQ(run.discovery.failure, DiscoveryFailure::NoPlateCamera);
  EXPECT_TRUE(run.logs("SETUP: 22 Device(s) found"));
  EXPECT_TRUE(run.logs("SETUP: 21) USB Camera \n"));  // still named
  EXPECT_FALSE(run.logs("SETUP: 20) 2975"));          // but no id stored
  EXPECT_FALSE(run.logs("PID[ 20 ]"));
  EXPECT_EQ(run.openedIndex, -1);
}

TEST(Discovery, NoDevicesOrNoOpening) {
  FakeSysfs empty("empty");
  DiscoveryRun none(empty);
  EXPECT_EQ(none.discovery.failure, DiscoveryFailure::NoDevices);
  EXPECT_EQ(none.log, "SETUP: 0 Device(s) found\n\n");

  FakeSysfs tree("closed");
  tree.addCamera(0, "2975");
  DiscoveryRun closed(tree, /*openable=*/false);
  EXPECT_EQ(closed.discovery.failure, DiscoveryFailure::OpenFailed);
  EXPECT_EQ(closed.openedIndex, 0);
}

TEST(Discovery, SimulatedCameraComesAfterRealOnes) {
  FakeSysfs tree("simulated");
  tree.addCamera(0, "0825");
  CaptureSetup setup{tree.sysfs(), tree.dev(), "flat", false};
  std::vector<CaptureDevice> devices = captureDevicesOf(setup);
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[1].friendlyName, "Simulated plate camera");
  DiscoveryRun run(devices);
  ASSERT_EQ(run.discovery.failure, DiscoveryFailure::None);
  EXPECT_EQ(run.discovery.deviceIndex, 1);
  EXPECT_TRUE(run.logs("SETUP: 1) Simulated plate camera \n"));
  // The simulator's first frame is the empty plate.
  cv::Vec3b centre = run.source.frame.at<cv::Vec3b>(240, 320);
  EXPECT_NEAR(centre[0], 34, 5);
  EXPECT_NEAR(centre[1], 20, 5);

  // With a plate camera attached the real one is chosen (here it cannot really be opened).
  tree.addCamera(1, "2978");
  DiscoveryRun withPlate(captureDevicesOf(setup));
  EXPECT_TRUE(withPlate.logs("PID[ 1 ] = 2978\n"));
  EXPECT_FALSE(withPlate.logs("PID[ 2 ]"));
  EXPECT_EQ(withPlate.discovery.failure, DiscoveryFailure::OpenFailed);
  EXPECT_EQ(captureDevicesOf(setup).size(), 3u);

  // Unset: real devices only. A path that holds nothing fails to open.
  setup.simulated = "";
  EXPECT_EQ(captureDevicesOf(setup).size(), 2u);
  setup.simulated = "/nonexistent/recording";
  FakeSysfs webcamOnly("webcam-only");
  webcamOnly.addCamera(0, "0825");
  setup.sysfsRoot = webcamOnly.sysfs();
  EXPECT_EQ(DiscoveryRun(captureDevicesOf(setup)).discovery.failure, DiscoveryFailure::OpenFailed);
}

TEST(FrameSource, FramesAreAlwaysFullSizeBgrAndFailedReadsKeepTheLastOne) {
  CameraFrameSource source;
  auto feed =
      std::make_unique<SolidFeed>(cv::Size(1280, 720), CV_8UC4, cv::Scalar(10, 20, 30, 255));
  SolidFeed* camera = feed.get();
  source.capture = std::move(feed);
  ASSERT_TRUE(queryFrame(source));
  ASSERT_EQ(source.frame.size(), cv::Size(640, 480));
  ASSERT_EQ(source.frame.type(), CV_8UC3);
  EXPECT_EQ(source.frame.at<cv::Vec3b>(479, 639), cv::Vec3b(10, 20, 30));
  const uchar* buffer = source.frame.data;

  camera->failing = true;
  EXPECT_FALSE(queryFrame(source));
  EXPECT_EQ(source.frame.at<cv::Vec3b>(0, 0), cv::Vec3b(10, 20, 30));
  EXPECT_EQ(source.frame.data, buffer);  // the pipeline's buffer never moves

  // Grey and small pictures are widened to the same frame.
  source.capture = std::make_unique<SolidFeed>(cv::Size(320, 240), CV_8UC1, cv::Scalar(77));
  ASSERT_TRUE(queryFrame(source));
  EXPECT_EQ(source.frame.at<cv::Vec3b>(100, 100), cv::Vec3b(77, 77, 77));
  EXPECT_EQ(source.frame.data, buffer);

  releasePlateCamera(source);
  EXPECT_FALSE(queryFrame(source));
  EXPECT_EQ(source.frame.at<cv::Vec3b>(0, 0), cv::Vec3b(77, 77, 77));
}

TEST(FrameSource, CameraWithoutFirstFrameStartsBlack) {
  CaptureDevice device;
  device.devicePath = "usb#vid_1234&pid_2975&mi_00";
  int reads = 0;
  device.open = [&reads]() -> std::unique_ptr<FrameFeed> {
    auto feed = std::make_unique<SolidFeed>(cv::Size(640, 480), CV_8UC3, cv::Scalar::all(200));
    feed->failing = true;
    struct Counting : FrameFeed {
      std::unique_ptr<SolidFeed> inner;
      int* reads;
      bool read(cv::Mat& p) override {
        ++*reads;
        return inner->read(p);
      }
    };
    auto counting = std::make_unique<Counting>();
    counting->inner = std::move(feed);
    counting->reads = &reads;
    return counting;
  };
  DiscoveryRun run({device});
  EXPECT_EQ(run.discovery.failure, DiscoveryFailure::None);
  EXPECT_GT(reads, 1);  // a starting camera gets a few chances
  EXPECT_EQ(run.source.width, 640);
  EXPECT_EQ(run.source.height, 480);
  EXPECT_EQ(cv::countNonZero(run.source.frame.reshape(1)), 0);
}

class Replay : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("replay-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::filesystem::path folder_;
};

TEST_F(Replay, FolderOfPicturesLoopsInNameOrder) {
  // Written out of order, different sizes; a text file in between is passed over.
  cv::imwrite((folder_ / "frame_002.png").string(),
              cv::Mat(240, 320, CV_8UC3, cv::Scalar(0, 0, 200)));
  cv::imwrite((folder_ / "frame_001.png").string(),
              cv::Mat(480, 640, CV_8UC3, cv::Scalar(0, 100, 0)));
  std::ofstream(folder_ / "notes.txt") << "not a picture";
  // A 58-byte BMP declaring 1 x 1 048 577 pixels once made the image library throw and end
  // the station; it is passed over like any unreadable frame.
  const std::string tall = bmpDeclaring(1, 1048577, 4);
  std::ofstream(folder_ / "frame_0015.bmp", std::ios::binary) << tall;
  CameraFrameSource source;
  source.capture = openRecording(folder_.string(), false);
  ASSERT_TRUE(source.capture);
  std::vector<cv::Vec3b> seen;
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(queryFrame(source));
    seen.push_back(source.frame.at<cv::Vec3b>(200, 300));
  }
  cv::Vec3b green(0, 100, 0), red(0, 0, 200);
  EXPECT_EQ(seen, (std::vector<cv::Vec3b>{green, red, green, red, green}));
  EXPECT_FALSE(openRecording((folder_ / "missing").string(), false));
}

TEST_F(Replay, FolderPlaysAndStampsItsFramesAtTheRateOfItsRateFile) {
  for (int i = 0; i < 3; ++i)
    cv::imwrite((folder_ / ("frame_" + std::to_string(i) + ".png")).string(),
                cv::Mat(480, 640, CV_8UC3, cv::Scalar::all(50 * i)));
  std::ofstream(folder_ / "frames_per_second.txt") << "60\n";
  std::unique_ptr<FrameFeed> replay = openRecording(folder_.string(), /*pace=*/true);
  ASSERT_TRUE(replay);
  EXPECT_EQ(replay->framesPerSecond(), 60);
  cv::Mat picture;
  const auto start = std::chrono::steady_clock::now();
  for (int n = 0; n < 7; ++n) {
    ASSERT_TRUE(replay->read(picture));
    EXPECT_DOUBLE_EQ(*replay->pictureSeconds(), n / 60.0);
    EXPECT_EQ(*replay->pictureCounter(), n);
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(6 * 1000 / 60));
  // A rate the plate camera cannot have plays at 30, as a folder without the file does.
  for (const char* text : {"1000", "0", "sixty", "nan", "60 fps"}) {
    std::ofstream(folder_ / "frames_per_second.txt") << text;
    replay = openRecording(folder_.string(), false);
    ASSERT_TRUE(replay->read(picture));
    ASSERT_TRUE(replay->read(picture));
    EXPECT_EQ(replay->framesPerSecond(), 30) << text;
    EXPECT_DOUBLE_EQ(*replay->pictureSeconds(), 1 / 30.0) << text;
  }
}

TEST(SimulatedWalkCamera, PlaysAtItsSetRateAndFallsBackToThirty) {
  EXPECT_EQ(simulatedFramesPerSecond(nullptr, stderr), 30);
  EXPECT_EQ(simulatedFramesPerSecond("120", stderr), 120);
  EXPECT_EQ(simulatedFramesPerSecond("241", stderr), 30);
  EXPECT_EQ(simulatedFramesPerSecond("-60", stderr), 30);
  CaptureSetup setup{"/nonexistent", "/nonexistent", "walk", false, 120};
  std::vector<CaptureDevice> devices = captureDevicesOf(setup);
  ASSERT_EQ(devices.size(), 1u);
  std::unique_ptr<FrameFeed> walk = devices[0].open();
  cv::Mat picture;
  for (int n = 0; n < 3; ++n) ASSERT_TRUE(walk->read(picture));
  EXPECT_DOUBLE_EQ(*walk->pictureSeconds(), 2 / 120.0);
  EXPECT_EQ(walk->framesPerSecond(), 120);
}

// A folder of damaged frames fails on every file of every frame: it is said once, and then how
// often it came again, not once per file and frame (225 MB of console in 20 s).
TEST_F(Replay, AFolderOfDamagedFramesIsSaidOnceWithHowOftenItRepeated) {
  for (int i = 0; i < 200; ++i) {
    std::ofstream(folder_ / ("frame_" + std::to_string(1000 + i) + ".png")) << "damaged";
  }
  testing::internal::CaptureStderr();
  {
    std::unique_ptr<FrameFeed> feed = openRecording(folder_.string(), false);
    ASSERT_TRUE(feed);
    cv::Mat picture;
    for (int frame = 0; frame < 30; ++frame) EXPECT_FALSE(feed->read(picture));
  }
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said.substr(0, 2000);
  EXPECT_NE(said.find("frame_1000.png passed over"), std::string::npos) << said.substr(0, 2000);
  EXPECT_NE(said.find(" 5999 more times"), std::string::npos) << said.substr(0, 2000);
}

TEST_F(Replay, VideoFileLoopsAndIsResized) {
  std::string path = (folder_ / "plate.avi").string();
  {
    cv::VideoWriter writer(path, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 30,
                           cv::Size(320, 240));
    ASSERT_TRUE(writer.isOpened());
    for (int i = 0; i < 4; ++i)
      writer.write(cv::Mat(240, 320, CV_8UC3, cv::Scalar::all(40 + 50 * i)));
  }
  CameraFrameSource source;
  source.capture = openRecording(path, false);
  ASSERT_TRUE(source.capture);
  std::vector<int> greys;
  for (int i = 0; i < 9; ++i) {
    ASSERT_TRUE(queryFrame(source)) << i;
    ASSERT_EQ(source.frame.size(), cv::Size(640, 480));
    greys.push_back(source.frame.at<cv::Vec3b>(240, 320)[1]);
  }
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(greys[i], 40 + 50 * (i % 4), 4) << i;
}

}  // namespace

namespace {

// Which simulator frame a picture is, searched among frames first..last; -1 when none.
int frameNumberOf(const cv::Mat& picture, int first, int last) {
  SimulatedPlate plate(PlateScene::Normal, 1);
  cv::Mat frame;
  for (int n = first; n <= last; ++n) {
    plate.renderFrame(n, frame);
    if (cv::norm(frame, picture, cv::NORM_INF) == 0) return n;
  }
  return -1;
}

TEST(SimulatedCamera, EveryFrameIsDeliveredInOrderAtMostThirtyASecond) {
  std::unique_ptr<FrameFeed> camera = openSimulatedPlate(PlateScene::Normal, 1, /*pace=*/true);
  cv::Mat picture;
  ASSERT_TRUE(camera->read(picture));
  EXPECT_EQ(frameNumberOf(picture, 0, 0), 0);
  // A slow start (the station builds its windows after the first frame) still leaves all
  // of the empty plate for the background, and no moment of the scene is skipped.
  usleep(1300 * 1000);
  for (int n = 1; n < SimulatedPlate::kEmptyFrames; ++n) ASSERT_TRUE(camera->read(picture));
  EXPECT_EQ(frameNumberOf(picture, 29, 29), 29);
  ASSERT_TRUE(camera->read(picture));
  EXPECT_EQ(frameNumberOf(picture, 30, 30), 30);
  // A prompt reader never runs ahead of 30 frames a second.
  std::unique_ptr<FrameFeed> fresh = openSimulatedPlate(PlateScene::Normal, 1, /*pace=*/true);
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i <= 7; ++i) ASSERT_TRUE(fresh->read(picture));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(7 * 1000 / 30));
}

}  // namespace
