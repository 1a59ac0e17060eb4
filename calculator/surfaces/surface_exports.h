// The surface exports: Korvanti3D_Tecplot.PLT (all blades with their hub
// sectors as ordered point zones) and Korvanti3D_Rhino3_4_Macro.TXT (one
// blade and the revolved hub), from the mesh as it stands after the
// left-hand mirror.
#pragma once

#include <string>

#include "model/report_sections.h"
#include "surfaces/mesh.h"

namespace korvanti {

inline constexpr const char* tecplot_3d_file_name = "Korvanti3D_Tecplot.PLT";
inline constexpr const char* rhino_macro_file_name = "Korvanti3D_Rhino3_4_Macro.TXT";

// The Tecplot file: for every blade b = 1..Z, turned about the X axis by
// -(b - 1)·2π/Z, its two hub zones (N1 × Nrow points); then, blade by blade,
// the pressure and suction sides (Nc × M points).
std::string tecplot_3d_text(const Mesh& mesh, int blade_count);

// The Rhino macro: layers, the two point-grid surfaces of the unturned
// blade, the hub profile curve (moved by the mesh's axial shift) revolved
// about the shaft axis, and the four-view layout.
std::string rhino_macro_text(const Mesh& mesh, const HubProfileSpline& hub);

// mesh: nodes, hub_index (zones 1, 2; N1 columns, Nrow rows), blade_index
// (sides 1, 2; M rows of row_points(k) points) and axial_shift; hub: the
// profile points xH(m), rH(m) (before the axial shift); blade_count: Z.
// Writes both files into the working directory.
void write_surface_exports(const Mesh& mesh, const HubProfileSpline& hub, int blade_count);

}  // namespace korvanti
