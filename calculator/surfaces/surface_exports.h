// The surface exports: Korvanti3D_Tecplot.PLT (all blades with their hub
// sectors as ordered point zones) and Korvanti3D_Rhino3_4_Macro.TXT (one
// blade and the revolved hub), from the mesh as it stands after the
// left-hand mirror.
#pragma once

#include "reports/post_arrays.h"
#include "surfaces/mesh.h"

namespace korvanti {

// mesh: nodes, hub_index (zones 1, 2; N1 columns, Nrow rows), blade_index
// (sides 1, 2; M rows of row_points(k) points) and axial_shift; hub: the
// profile points xH(m), rH(m) (before the axial shift); blade_count: Z.
void write_surface_exports(const Mesh& mesh, const HubProfileSpline& hub, int blade_count);

}  // namespace korvanti
