#include "platform/insole_handoff_contract.h"

namespace platform {

const char* handoffNumberRefusal(int position, double value) {
  // Written as !(in range) so that NaN, which fails every comparison, is refused too.
  switch (position) {
    case 0:
      if (!(value >= 0 && value <= kHandoffLargestArchIndex)) return "arch index outside 0 to 1";
      return nullptr;
    case 1:
      if (!(value > 0 && value <= kHandoffLongestFootMm)) return "foot length outside 0 to 400 mm";
      return nullptr;
    case 2:
      if (!(value >= 0 && value <= kHandoffWidestFootMm)) return "foot width outside 0 to 200 mm";
      return nullptr;
    default:
      if (!(value >= 0 && value <= kHandoffLargestSharePercent))
        return "zone share outside 0 to 100 percent";
      return nullptr;
  }
}

}  // namespace platform
