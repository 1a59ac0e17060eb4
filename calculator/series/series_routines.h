// Series routines of the series held in tables inside the calculator.
// Each reads blade_count, area_ratio and diameter (and what else its series
// needs) from the model, fills the series stations and sections, and sets
// a_fraction, b_fraction, tm and rake_angle of the model. Pitch and chord are
// left to the series driver.
#pragma once

#include "model/blade_model.h"

namespace korvanti {

void ka_series(BladeModel& model, SeriesStations& stations);            // Wageningen Ka, ducted
void kc_series(BladeModel& model, SeriesStations& stations);            // Wageningen Kc, ducted
void gawn_series(BladeModel& model, SeriesStations& stations);          // Gawn
void au_series(BladeModel& model, SeriesStations& stations);            // AU (MAU)
void newton_rader_series(BladeModel& model, SeriesStations& stations);  // Newton-Rader

}  // namespace korvanti
