#include "platform/video_devices.h"

#include <gtest/gtest.h>

#include "capture/fake_sysfs.h"

namespace {

TEST(VideoDevices, CaptureNodesInNumberOrderWithUsbPaths) {
  FakeSysfs tree("order");
  tree.addCamera(10, "2975");
  tree.addCamera(2, "0825");
  tree.addCamera(3, "0825", /*index=*/1);  // the webcam's metadata node
  FakeSysfs::Node builtIn;
  builtIn.n = 0;
  builtIn.name = "Integrated Camera";
  builtIn.usb = false;
  tree.add(builtIn);

  std::vector<platform::VideoDevice> devices =
      platform::listVideoCaptureDevices({tree.sysfs(), tree.dev()});
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0].captureIndex, 0);
  EXPECT_EQ(devices[0].friendlyName, "Integrated Camera");
  EXPECT_FALSE(devices[0].devicePath);  // no USB parent, no product id
  EXPECT_EQ(devices[1].captureIndex, 2);
  EXPECT_EQ(devices[1].devicePath, "usb#vid_046d&pid_0825&mi_00#1-3#video2");
  EXPECT_EQ(devices[2].captureIndex, 10);  // numeric order: video10 after video2
  EXPECT_EQ(devices[2].devicePath, "usb#vid_046d&pid_2975&mi_00#1-11#video10");
  EXPECT_FALSE(devices[2].description);
}

TEST(VideoDevices, UnreadableNodesTakeNoPlaceAndDescriptionsAreKept) {
  FakeSysfs tree("unreadable");
  FakeSysfs::Node broken;
  broken.n = 0;
  broken.readable = false;
  tree.add(broken);
  FakeSysfs::Node described;
  described.n = 1;
  described.description = "Plate camera driver";
  tree.add(described);
  std::vector<platform::VideoDevice> devices =
      platform::listVideoCaptureDevices({tree.sysfs(), tree.dev()});
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].captureIndex, 1);
  EXPECT_EQ(devices[0].description, "Plate camera driver");
}

TEST(VideoDevices, MissingTreeMeansNoDevices) {
  EXPECT_TRUE(
      platform::listVideoCaptureDevices({"/nonexistent-sysfs", "/nonexistent-dev"}).empty());
}

}  // namespace
