// The hand-off file between the two programs: the station writes it when a report is exported
// and the insole tool fits both insoles from it. Both sides take its name and its limits from
// here, so the station never writes a hand-off the insole tool would refuse.
#pragma once

namespace platform {

// In the station folder. Three items: "left" and its numbers, "right" and its numbers, then
// the report name, which names the insoles.
constexpr const char* kInsoleHandoffName = "insole_info.txt";

// A side's numbers in file order: 0 the arch index, 1 the foot length and 2 the foot width in
// millimetres, 3 to 8 the six zone shares in percent (heel first).
constexpr int kHandoffNumbersPerSide = 9;
constexpr double kHandoffLargestArchIndex = 1;
constexpr double kHandoffLongestFootMm = 400;
constexpr double kHandoffWidestFootMm = 200;
constexpr double kHandoffLargestSharePercent = 100;

// Why the number at a side's position cannot be meant ("foot width outside 0 to 200 mm"), or
// nullptr when it can: an arch index 0 to 1, a length above 0 up to 400 mm, a width 0 to
// 200 mm, a share 0 to 100. A number that is not finite never can.
const char* handoffNumberRefusal(int position, double value);

}  // namespace platform
