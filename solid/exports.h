// The three files: the solid as STEP (AP214, millimetres), its triangulation
// as binary STL, the panel mesh of PERVDAT as a VTK legacy PolyData file.
#pragma once

#include <TopoDS_Shape.hxx>

#include <filesystem>
#include <string>

#include "input_files.h"
#include "propeller_solid.h"

namespace korvanti_solid {

void write_step(const TopoDS_Shape& solid, const std::filesystem::path& file);

struct StlFigures {
    long triangles = 0;
    double volume = 0;  // enclosed by the triangles, mm³
};

// Triangulates the solid with OpenCASCADE's mesher at the chord tolerance
// `deflection` (mm), checks that every edge of the triangulation is shared by
// exactly two triangles of opposite sense, and writes it as binary STL.
StlFigures write_stl(const PropellerSolid& solid, double deflection,
                     const std::filesystem::path& file);

// All Z blades and hub sectors of the panel mesh, in millimetres, the X of
// the mesh as it is; cell data "part" (0 hub, 1 blade) and "blade" (1..Z).
std::string panel_mesh_vtk(const PanelDataFile& panels);

}  // namespace korvanti_solid
