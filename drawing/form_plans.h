// Option 1: the propeller's form plans on an A3 sheet of 397 x 252 mm.
#pragma once

#include <string>

#include "drawing_model.h"
#include "panel_data.h"

namespace telvaro {

// The largest scale at which a blade radius is drawn no longer than 200 mm.
double scale_limit(double D);

// Sheet set-up, the five views and the sheet frame, at drawing scale `s`.
void draw_form_plans(Drawing& drawing, const PanelData& d, double s);

// " r/R = 0.500"; the tip radius M always reads " r/R = 1.000".
std::string radius_label(const PanelData& d, int k);

}  // namespace telvaro
