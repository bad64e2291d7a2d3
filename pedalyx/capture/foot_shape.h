// Plantar load of one standing foot, as a smooth function of the position on the plate.
#pragma once

enum class ArchType { Normal, Flat, High };

// Load shape of a left foot in foot coordinates (millimetres): across = towards the big-toe
// side, along = from the back of the heel towards the toes (the foot is 250 mm long). Returns
// 0..1: heel, lateral midfoot band (its width set by the arch type), metatarsal heads on the
// forefoot pad and the five toes; nothing under the medial arch of a normal or high foot.
double footLoad(ArchType arch, double across, double along);

constexpr double kFootLengthMm = 250.0;
