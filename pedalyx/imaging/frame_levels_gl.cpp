#include "pedalyx/imaging/frame_levels_gl.h"

#include <GL/glew.h>

namespace {

// Units of the ring slots and of the cleaned image (colour_pipeline_gl.cpp's table).
constexpr int kRingUnits[] = {2, 3, 4};
constexpr int kCleanedUnit = 5;

void bindOnUnit(int unit, const TextureHandle& texture) {
  glActiveTexture(GL_TEXTURE0 + unit);
  glBindTexture(GL_TEXTURE_2D, texture.get());
}

}  // namespace

void createFrameLevelTargets(FrameLevelTargets& targets) {
  // Made on unit 0, which the passes rebind as they need, so the pipeline's units keep theirs.
  glActiveTexture(GL_TEXTURE0);
  createRenderTarget(targets.warped, -1, true);
  createRenderTarget(targets.cleaned, -1, true);
  createRenderTarget(targets.levels, -1, true);
  glBindTexture(GL_TEXTURE_2D, 0);
}

void frameLevels(ColourPipeline& pipeline, FrameLevelTargets& targets, const unsigned char* frame,
                 const CalibrationGrid& left, const CalibrationGrid& right,
                 const FilterValues& filters, unsigned char* levelImage) {
  warpInto(pipeline, frame, left, right, targets.warped);
  for (int unit : kRingUnits) bindOnUnit(unit, targets.warped);
  cleanInto(pipeline, targets.cleaned);
  for (int slot = 0; slot < 3; ++slot) bindOnUnit(kRingUnits[slot], pipeline.textures[slot]);
  bindOnUnit(kCleanedUnit, targets.cleaned);
  levelInto(pipeline, filters, targets.levels, levelImage);
  bindOnUnit(kCleanedUnit, pipeline.textures[kCleanedTexture]);
  glActiveTexture(GL_TEXTURE0);
}
