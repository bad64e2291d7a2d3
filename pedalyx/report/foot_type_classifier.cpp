#include "pedalyx/report/foot_type_classifier.h"

int leftReferenceColumn(double v) {
  if (v < kHighArchedBelow) return 3;
  if (v < kNormalBelow) return 2;
  if (v < kMildFlatBelow) return 1;
  return 0;
}

int rightReferenceColumn(double v) { return 7 - leftReferenceColumn(v); }

std::string footTypeText(bool measured, float archIndex, bool traditional) {
  if (!measured) return "";
  const double a = archIndex;
  if (a < kHighArchedBelow) return "高弓足";
  if (a < kNormalBelow) return "正常足";
  if (a < kMildFlatBelow) return traditional ? "輕度扁平" : "轻度扁平";
  return "重度扁平";
}

std::string shoeTypeAdvice(bool leftMeasured, float leftArch, bool rightMeasured, float rightArch) {
  constexpr double kNormalFoot = (kHighArchedBelow + kNormalBelow) / 2;
  const double l = leftMeasured ? leftArch : kNormalFoot;
  const double r = rightMeasured ? rightArch : kNormalFoot;
  if (r >= kNormalBelow || l >= kNormalBelow) return "控制型";
  if (r < kHighArchedBelow || l < kHighArchedBelow) return "超级稳定型";
  return "基础功能型";
}
