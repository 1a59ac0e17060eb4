// The three files: the solid as STEP (AP214, millimetres), its triangulation
// as binary STL, the panel mesh of PERVDAT as a VTK legacy PolyData file.
#pragma once

#include <TopoDS_Shape.hxx>

#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "input_files.h"
#include "propeller_solid.h"

namespace korvanti_solid {

// The solids side by side, each a product of its own name (the name a CAD
// program lists it by).
using NamedSolids = std::vector<std::pair<std::string, TopoDS_Shape>>;
void write_step(const NamedSolids& solids, const std::filesystem::path& file);

struct StlFigures {
    long triangles = 0;
    double volume = 0;  // enclosed by the triangles, mm³
};

// Triangulates the solid with OpenCASCADE's mesher at the chord tolerance
// `deflection` (mm), checks that every edge of the triangulation is shared by
// exactly two triangles of opposite sense, and writes it as binary STL.
StlFigures write_stl(const PropellerSolid& solid, double deflection,
                     const std::filesystem::path& file);
// A triangulation made elsewhere, checked in the same way and written;
// `name` stands for the file in messages, `title` goes into its header.
StlFigures write_stl(std::vector<std::array<double, 3>> vertices,
                     std::vector<std::array<int, 3>> triangles, const std::filesystem::path& file,
                     const std::string& name, const std::string& title);

// All Z blades and hub sectors of the panel mesh, in millimetres, the X of
// the mesh as it is; cell data "part" (0 hub, 1 blade) and "blade" (1..Z).
std::string panel_mesh_vtk(const PanelDataFile& panels);

}  // namespace korvanti_solid
