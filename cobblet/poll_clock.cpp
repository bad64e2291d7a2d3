#include "cobblet/poll_clock.h"

namespace cobblet {

bool advancePollClock(PollState& state, int64_t nowSeconds) {
  state.currentSecond = static_cast<int32_t>(nowSeconds);
  state.readDue = state.currentSecond != state.previousSecond && state.currentSecond % 2 == 0;
  state.previousSecond = state.currentSecond;
  return state.readDue;
}

}  // namespace cobblet
