#include "pedalyx/shell/heartbeat.h"

bool Heartbeat::tick(int64_t nowSeconds) {
  bool due = nowSeconds != previousSecond_ && nowSeconds % 7 == 0;
  previousSecond_ = nowSeconds;
  return due;
}
