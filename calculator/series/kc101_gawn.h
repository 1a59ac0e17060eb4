// KC101-Gawn (Gawn-Burrill) three-bladed series, Ear 0.50 to 1.10, from the
// chord and section tables held here.
#pragma once

#include "filelayer/console.h"
#include "model/blade_model.h"

namespace korvanti {

void kc101_gawn_series(BladeModel& model, SeriesStations& stations, Console& console);

}  // namespace korvanti
