// Mass, volume, centroid radius and moment of inertia of one blade from its
// section areas, and the sections as a 2D Tecplot file.
#pragma once

#include <iosfwd>

#include "model/blade_model.h"

namespace korvanti {

inline constexpr const char* tecplot_2d_file_name = "Korvanti2D_Tecplot.PLT";
inline constexpr float blade_density = 8600.0f;  // kg/m3, propeller bronze

// Appends the mass block to the result file and writes Korvanti2D_Tecplot.PLT.
void write_blade_mass(const BladeModel& model, std::ostream& result);

}  // namespace korvanti
