// The station's heartbeat: a console line every seven seconds shows that the event loop runs.
#pragma once
#include <cstdint>

class Heartbeat {
 public:
  // Called on every tick with the wall clock in whole seconds. True when this tick should print
  // "Loop Check! %ld": the second changed since the previous tick and is divisible by 7.
  bool tick(int64_t nowSeconds);

 private:
  int64_t previousSecond_ = 0;
};
