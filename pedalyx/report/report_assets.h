// What the report's pictures may be: the page templates (one A4 page of 1240 x 1754 pixels),
// the small marks and buttons, and the reference picture. Anything larger than a page side
// on either axis, or deeper than 8 bits, is refused by its header before it is decoded.
#pragma once
#include "platform/picture_decoder.h"

namespace report {

inline const platform::PictureRequirements kReportAsset = {0, 0, 2048, 2048, 0, false};

}  // namespace report
