// The offsets file PEROF.SON, the hand-over of the whole blade (with the root
// station on the hub and the hub profile) to the post-processing, and the
// radial summary SEHAM.DAT.
#pragma once

#include "model/blade_model.h"

namespace korvanti {

inline constexpr const char* offsets_file_name = "PEROF.SON";
inline constexpr const char* radial_summary_file_name = "SEHAM.DAT";

// Gives a B-series blade its finite tip section (in the model), then writes
// both files.
void write_offsets_file(BladeModel& model);

}  // namespace korvanti
