// A walking recording as a part of the customer's examination record, for the examination
// store. The figure names are written here once:
//   "walking"           planned_seconds (s), frames, frames_lost, frames_per_second, contacts,
//                       dropped for the recording; per foot ("left", "right") contacts (counted)
//                       and each figure's mean under its name and its spread as <name>_spread;
//                       left minus right as <name>_difference (side ""). Names: contact_time,
//                       length, width, progression_angle, gait_line_length, medial_excursion,
//                       lateral_excursion, initial_contact, forefoot_contact, foot_flat,
//                       push_off, heel_medial, heel_lateral, midfoot_medial, midfoot_lateral,
//                       forefoot_medial, forefoot_lateral, push_off_medial_forefoot.
//   "walking_pressure"  where the recording has pressures: source (text), and for foot,
//                       heel_medial … forefoot_lateral peak_<region> (kPa) and
//                       integral_<region> (kPa·s), with _spread per foot and _difference.
// Files: each contact's trace "gait_trace_<n>" and peak picture "gait_peak_<n>"; rows: each
// contact's row of "Gait.csv".
#pragma once
#include <string>

#include "pedalyx/imaging/gait_pressure.h"
#include "pedalyx/report/examination_record.h"
#include "pedalyx/report/gait_store.h"

namespace report {

// The recording `recordName` of the customer `id` after its files were written (or written
// again after a correction: the groups replace the earlier ones whole).
ExaminationPart partOfWalking(const std::string& recordName, const std::string& id,
                              const GaitResults& results, const GaitPressures& pressures,
                              const GaitSaveOutcome& outcome, const std::string& folder);

}  // namespace report
