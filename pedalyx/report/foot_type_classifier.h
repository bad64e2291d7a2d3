// Foot type from the arch index, the shoe-type advice, and the column of the reference strip
// that matches a foot. The thresholds are double constants; a computed arch index is a float
// widened before comparing, so a computed 0.21 (0.2099999934) counts as below 0.21.
#pragma once
#include <string>

// Arch-index boundaries of the foot types, for the words, the reference strip and the report's
// shoe-type marks alike: below kHighArchedBelow high-arched, below kNormalBelow normal, below
// kMildFlatBelow mild flat, from there on severe flat.
constexpr double kHighArchedBelow = 0.21;
constexpr double kNormalBelow = 0.26;
constexpr double kMildFlatBelow = 0.30;

// Strip columns: left foot 0 severe flat, 1 mild flat, 2 normal, 3 high-arched; the right foot
// mirrored in columns 4 (high-arched) to 7 (severe flat).
int leftReferenceColumn(double archValue);
int rightReferenceColumn(double archValue);

// Foot-type words for a foot; empty when the foot is not measured. Only the mild flat foot
// has a Traditional and a Simplified form.
std::string footTypeText(bool measured, float archIndex, bool traditional);

// Shoe-type advice from both feet: a flat foot asks for the control type, else a high arch
// for the super-stable type. A foot that is not measured stands in as a normal foot, so it
// never decides the advice.
std::string shoeTypeAdvice(bool leftMeasured, float leftArch, bool rightMeasured, float rightArch);
