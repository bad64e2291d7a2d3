// Converting whatever a camera or a recording delivers into the 640 x 480 B G R frame: any
// size, depth and channel count the feeds can hand over.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <opencv2/core.hpp>

#include "pedalyx/capture/camera_frame_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  const int rows = 1 + data[0] % 96, cols = 1 + data[1] % 96;
  const int channels = (data[2] % 4) + 1;  // 1 grey, 2 (refused by the source), 3, 4
  const int depth = data[3] % 2 == 0 ? CV_8U : CV_16U;
  cv::Mat picture(rows, cols, CV_MAKETYPE(depth, channels));
  const size_t bytes = picture.total() * picture.elemSize();
  for (size_t i = 0; i < bytes; ++i) picture.data[i] = data[4 + i % (size - 4)];
  if (channels == 2) return 0;  // queryFrame passes such pictures over
  cv::Mat frame;
  toCameraFrame(picture, frame);
  if (frame.cols != 640 || frame.rows != 480 || frame.type() != CV_8UC3) std::abort();
  return 0;
}
