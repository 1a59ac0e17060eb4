// The propeller as one closed solid, built with OpenCASCADE from the files of
// a finished run: each blade lofted through its surface grid and closed at
// the edges, the tip and the root, the hub revolved from its profile, the Z
// blades fused with the hub. Millimetres, in the frame of the panel mesh of
// PERVDAT (X along the shaft axis, the hub's aft end at X = 0).
#pragma once

#include <TopoDS_Shape.hxx>
#include <gp_Trsf.hxx>

#include "input_files.h"

namespace korvanti_solid {

struct PropellerSolid {
    TopoDS_Shape shape;  // one solid
    // The outer faces of one blade and its hub sector, of which the solid is
    // made of Z copies turned about the shaft axis by 360°/Z; null where the
    // blades were fused with the whole hub at once.
    TopoDS_Shape sector_surface;
    int Z = 0;
    double volume = 0;        // mm³
    double hub_volume = 0;    // mm³
    double blade_volume = 0;  // one blade outside the hub, mm³
    double area = 0;          // mm²
    double mesh_shift = 0;    // X added to the grid of PERVDAT to reach this frame, m
};

// The turn about the shaft axis (X) that takes the first blade, and its hub
// sector, to blade number `b` + 1 of `Z`: b·360°/Z.
gp_Trsf blade_turn(int b, int Z);

// Builds and checks the solid; a step that fails is an InputError naming it.
PropellerSolid build_propeller_solid(const PanelDataFile& panels, const OffsetsFile& offsets);

}  // namespace korvanti_solid
