// Option 1: the propeller's form plans on an A3 sheet of 397 x 252 mm.
#pragma once

#include <string>

#include "panel_data.h"
#include "script.h"

namespace telvaro {

// The largest scale at which a blade radius is drawn no longer than 200 mm.
double scale_limit(double D);

// Preamble, the five views and the sheet frame, at drawing scale `s`.
void write_form_plans(Script& script, const PanelData& d, double s);

void write_preamble(Script& script);
void write_expanded_outline(Script& script, const PanelData& d, double s);
void write_projected_outline(Script& script, const PanelData& d, double s);
void write_side_view(Script& script, const PanelData& d, double s);
void write_top_view(Script& script, const PanelData& d, double s);
void write_radius_lines(Script& script, const PanelData& d, double s);
void write_sheet_frame(Script& script);

// " r/R = 0.500"; the tip radius M always reads " r/R = 1.000".
std::string radius_label(const PanelData& d, int k);

}  // namespace telvaro
