// The offsets file PEROF.SON, the hand-over of the whole blade (with the root
// station on the hub and the hub profile) to the post-processing, and the
// radial summary SEHAM.DAT.
#pragma once

#include <string>
#include <vector>

#include "geometry/blade_ends.h"
#include "model/blade_model.h"

namespace korvanti {

inline constexpr const char* offsets_file_name = "PEROF.SON";
inline constexpr const char* radial_summary_file_name = "SEHAM.DAT";

// The skew angle column of SEHAM.DAT, in degrees: the root row, then
// stations 1 to N.
std::vector<float> summary_skew_angles(const BladeModel& model, const RootStation& root);

// Writes both files for the blade with its ends; returns the text of
// PEROF.SON, which the post-processing reads back.
std::string write_offsets_file(const BladeModel& model, const BladeEnds& ends);

}  // namespace korvanti
