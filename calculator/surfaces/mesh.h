// The hub grid between two blade roots and the panel mesh of one blade with
// its hub sector: one numbered node list for hub and blade, quadrilateral
// panels (hub panels first), and the index tables through which the surface
// exports walk the grids.
#pragma once

#include "common/one_based.h"

namespace korvanti {

inline constexpr int mesh_node_capacity = 3000;
inline constexpr int mesh_panel_capacity = 3000;
inline constexpr int hub_grid_row_capacity = 100;
inline constexpr int hub_index_row_capacity = 50;  // Nrow = Nc + 28 <= 50
inline constexpr int strip_capacity = 30;          // root points J, strip points i, grid columns
inline constexpr int extension_rows = 15;          // Nf = Na
inline constexpr int max_surface_points =
    hub_index_row_capacity - 2 * extension_rows + 2;  // Nc <= 22
inline constexpr int blade_row_capacity = 30;

// The two sides of the blade, and the index of their tables: the side
// tables of the surface, the mesh and the hub strips hold the pressure side
// first.
enum BladeSide : int { pressure_side = 1, suction_side = 2 };

using StripTable = Array2<float, strip_capacity, strip_capacity>;  // (root point J, strip point i)
using ExtensionTable = Array2<float, extension_rows, strip_capacity>;  // (row n, strip point i)
using HubIndexTable = Array2<int, hub_index_row_capacity, strip_capacity>;  // (hub row, column)
using BladeIndexTable = Array2<int, blade_row_capacity, strip_capacity>;  // (radius row k, point i)

// Working tables of the hub grid; sides 1 = pressure-side strip, 2 = suction-side strip.
struct HubStrip {
    StripTable X, Y, Z, theta;
};
struct HubExtension {
    ExtensionTable X, Y, Z;
};
struct HubGrid {
    Array1<HubStrip, 2> strip;
    Array1<HubExtension, 2> toward_end;      // towards xH(NH), from root point J = 1
    Array1<HubExtension, 2> toward_start;    // towards xH(1), from root point J = Nc
    Array1<int, hub_grid_row_capacity> NPR;  // points of each grid row
    Array2<float, hub_grid_row_capacity, strip_capacity> X, Y, Z;  // (grid row, column) points
    Array2<int, hub_grid_row_capacity, strip_capacity> NODE;       // their mesh node numbers
    Array1<int, strip_capacity> root_pressure;  // root node lists of the blade's first row
    Array1<int, strip_capacity> root_suction;
};

struct Mesh {
    // Nodes of hub and blade in one numbering, 1..node_count.
    int node_count = 0;
    Array1<float, mesh_node_capacity> X, Y, Z;

    // Panels: corner(p, 1..4) are node numbers; panels 1..NH1 lie on the hub.
    int panel_count = 0;
    int NH1 = 0;
    Array2<int, mesh_panel_capacity, 4> corner;

    // Hub grid sizes.
    int N1 = 0;    // points across one strip, root to gap middle
    int Nf = 0;    // rows of the extension towards xH(NH)
    int Na = 0;    // rows of the extension towards xH(1)
    int Nrow = 0;  // rows of the hub grid

    // Hub index tables of zones 1 and 2: hub_index(zone)(row 1..Nrow, column 1..N1).
    Array1<HubIndexTable, 2> hub_index;

    // Blade index tables: blade_index(side)(row k = 1..M, point i = 1..row_points(k)),
    // side 1 pressure, 2 suction; row 1 is made of hub nodes.
    int M = 0;
    Array1<int, blade_row_capacity> row_points;
    Array1<BladeIndexTable, 2> blade_index;

    // Blade panel table: blade_panel(side)(k, i), k = 1..M-1, i = 1..Nc-1, with the
    // number of the row's first panel per side and the panel count per row.
    Array1<BladeIndexTable, 2> blade_panel;
    Array1<Array1<int, blade_row_capacity>, 2> first_panel;
    Array1<int, blade_row_capacity> row_panels;

    // |xH(1)|, added to every X so that the start of the hub lies at X = 0.
    float axial_shift = 0.0f;
};

// Points across one strip from the root to the gap middle, from the blade count.
int strip_point_count(int blade_count);

// Node and panel counts of the mesh, known before it is built.
struct MeshCounts {
    int N1 = 0, Nrow = 0;
    int hub_nodes = 0, hub_panels = 0, blade_nodes = 0, blade_panels = 0;
};
MeshCounts mesh_counts(int blade_count, int Nc, int M);

}  // namespace korvanti
