#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "capture/fake_sysfs.h"
#include "pedalyx/capture/camera_frame_source.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace {

std::string run(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  return output;
}

// Waits up to 60 s for a window with exactly this title while the child runs; its id, or
// empty. (xdotool's own name search does not match every UTF-8 title, so names are compared
// here.)
std::string windowNamed(const std::string& title, pid_t child, int& status) {
  for (int attempt = 0; attempt < 600; ++attempt) {
    if (waitpid(child, &status, WNOHANG) == child) return "";
    std::istringstream ids(run("xdotool search --name . 2>/dev/null"));
    std::string id;
    while (ids >> id) {
      std::string name = run("xdotool getwindowname " + id + " 2>/dev/null");
      if (name == title + "\n") return id;
    }
    usleep(100000);
  }
  return "";
}

// Starting without any camera: the operator sees the hardware message once, presses Enter,
// and the program ends with status 0.
TEST(PlateCamera, NoCameraShowsTheHardwareMessageAndEndsCleanly) {
  FakeSysfs empty("no-camera");
  ScratchFolder scratch("plate-camera");
  const std::string messageLog = scratch / "messages.txt";
  std::fflush(stdout);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv("PEDALYX_MESSAGE_LOG", messageLog.c_str(), 1);
    CameraFrameSource source;
    openPlateCamera(source, CaptureSetup{empty.sysfs(), empty.dev(), "", false});
    _exit(3);  // openPlateCamera must not come back without a camera
  }
  int status = -1;
  std::string window = windowNamed(kHardwareCaption, child, status);
  if (window.empty()) kill(child, SIGKILL);
  ASSERT_FALSE(window.empty()) << "no message box appeared; child status " << status;
  // The box is up and waiting: the program has not ended by itself.
  EXPECT_EQ(waitpid(child, &status, WNOHANG), 0);
  run("xdotool windowfocus --sync " + window + " 2>/dev/null; xdotool key --window " + window +
      " Return");
  for (int i = 0; i < 100 && waitpid(child, &status, WNOHANG) == 0; ++i) usleep(50000);
  if (!WIFEXITED(status)) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "the message box did not close on Enter";
  }
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::string log = platform::readWholeFile(messageLog).value_or("");
  EXPECT_EQ(log, std::string(kHardwareCaption) + "|" + kHardwareMessage + "\n");
  platform::removeFile(messageLog);
}

}  // namespace
