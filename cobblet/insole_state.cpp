#include "cobblet/insole_state.h"

namespace cobblet {

void adoptTemplate(InsoleState& state, const HeightPlane& sampled, int side) {
  state.templatePlane = sampled;
  for (int column = 0; column < kPlaneStride; ++column) {
    pixelAt(state.templatePlane, 0, column) = 0;
    pixelAt(state.templatePlane, kPlaneRows - 1, column) = 0;
  }
  state.workPlane = state.templatePlane;
  state.resultPlane = state.templatePlane;
  state.templateBox = measureBox(state.resultPlane);
  state.currentBox = state.templateBox;
  state.templateWidth = state.templateBox.widthExtent();
  state.templateLength = state.templateBox.lengthExtent();
  state.targetWidth = kPlaneColumns;
  state.targetHeight = kPlaneRows;
  state.templateSide = state.landmarkSide = state.currentSide = side;
  state.templateLoaded = true;
  state.dirty = true;
}

}  // namespace cobblet
