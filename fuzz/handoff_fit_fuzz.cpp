// A hand-off read and fitted as the insole tool does it: the accepted numbers drive the
// length change and the whole fitting on the plain renderer, which must stay defined for
// every record the reader lets through.
#include <cstdint>
#include <string>

#include "cobblet/handoff_reader.h"
#include "cobblet/insole_fitting.h"

namespace {

cobblet::InsoleState freshState() {
  cobblet::InsoleState state;
  cobblet::HeightPlane sampled{};
  for (int r = 10; r < 300; ++r) {
    for (int c = 30; c < 120; ++c) {
      const double dr = (r - 155) / 145.0, dc = (c - 75) / 45.0;
      if (dr * dr + dc * dc <= 1) cobblet::pixelAt(sampled, r, c) = uint8_t(15 + (c > 95 ? 30 : 0));
    }
  }
  cobblet::adoptTemplate(state, sampled, cobblet::kLeft);
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const cobblet::InsoleState kTemplate = freshState();
  cobblet::HandoffFields fields;
  std::string log;
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (!cobblet::applyHandoffText(text, 9, fields, log)) return 0;
  cobblet::CpuInsoleRenderer renderer;
  for (int side : {cobblet::kLeft, cobblet::kRight}) {
    const bool pending = side == cobblet::kLeft ? fields.leftPending : fields.rightPending;
    if (!pending) continue;
    const cobblet::SideValues& values = side == cobblet::kLeft ? fields.left : fields.right;
    cobblet::InsoleState state = kTemplate;
    // As the poll timer applies a side: length slider = foot length + 10, width follows.
    cobblet::FittingInputs inputs;
    inputs.lengthSlider = values.footLength() + 10;
    state.targetHeight = float(inputs.lengthSlider / state.templateLength * 360);
    const int widthStep = cobblet::widthStepForLength(inputs.lengthSlider - state.templateLength);
    state.targetWidth =
        float((state.templateWidth + widthStep) / double(state.templateWidth) * 150);
    (side == cobblet::kLeft ? inputs.leftArchIndex : inputs.rightArchIndex) = values.archIndex();
    inputs.padOn = false;
    state.currentSide = side;
    cobblet::fitInsole(state, inputs, renderer);
  }
  return 0;
}
