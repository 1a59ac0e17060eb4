// Wageningen B-series, the open propeller series whose tables are read from
// the data file WAGBPROP.DAT in the working directory (or from the copy the
// model names in its place).
#pragma once

#include "filelayer/console.h"
#include "model/blade_model.h"

namespace korvanti {

inline constexpr const char* b_series_data_file = "WAGBPROP.DAT";

// Stations and 20-point sections of the B-series blade for the model's Z,
// Ear and D; sets a_fraction, b_fraction, tm and rake_angle (15 degrees) of
// the model. A missing or damaged data file is an input error naming the
// file, the block and the line.
void wageningen_b_series(BladeModel& model, SeriesStations& stations, Console& console);

}  // namespace korvanti
