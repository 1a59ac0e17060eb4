// Mass, volume, centroid radius and moment of inertia of one blade from its
// section areas, and the sections as a 2D Tecplot file.
#pragma once

#include <iosfwd>

#include "model/blade_model.h"

namespace korvanti {

inline constexpr const char* tecplot_2d_file_name = "Korvanti2D_Tecplot.PLT";
inline constexpr float blade_density = 8600.0f;  // kg/m3, propeller bronze

// The figures of one blade, as the mass block prints them.
struct BladeMass {
    StationArray A;      // section area per station, m2
    float V = 0.0f;      // volume, m3
    float Zc = 0.0f;     // centroid radius, m
    float m = 0.0f;      // mass, kg
    float m_sum = 0.0f;  // mass as the simple sum of the strips, kg
    float Iox = 0.0f;    // moment of inertia about the shaft axis, kg·m2
    float I_sum = 0.0f;  // the same as the simple sum of the strips, kg·m2
};

// Appends the mass block to the result file and writes Korvanti2D_Tecplot.PLT;
// returns the figures it printed.
BladeMass write_blade_mass(const BladeModel& model, std::ostream& result);

}  // namespace korvanti
