// The two-second rhythm in which the insole tool looks for a hand-off.
#pragma once
#include <cstdint>

namespace cobblet {

struct PollState {
  int32_t currentSecond = 0;
  int32_t previousSecond = 0;
  bool readDue = false;
};

// Called on every timer tick with the wall-clock second: a read is due when the second differs
// from the previous tick's and is even. The first tick compares against 0.
bool advancePollClock(PollState& state, int64_t nowSeconds);

}  // namespace cobblet
