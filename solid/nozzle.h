// The accelerating nozzle 19A of the Wageningen ducted series Ka and Kc
// (Oosterveld 1970, NSMB Publ. 345; Kuiper 1992, MARIN Publ. 92-001): its
// profile read from the published table, the nozzle as a solid of revolution
// about the shaft axis around the propeller, and the smallest gap measured
// between the blade tips and its inner surface. Millimetres, in the frame of
// the propeller solid (X along the shaft axis, positive aft).
#pragma once

#include <TopoDS_Shape.hxx>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "input_files.h"
#include "propeller_solid.h"

namespace korvanti_solid {

// The profile as fractions of the nozzle length L, from the leading edge
// (x = 0) to the trailing edge (x = 1); ordinates radially outward from the
// inner cylinder.
struct NozzleProfile {
    std::vector<double> x, inner, outer;
    // The outer surface is a straight line from row `outer_line_from` to the
    // last row; the rows before it are table values on the rounded nose.
    size_t outer_line_from = 0;
    // Rows `cylinder_from` to `cylinder_to` (inclusive) lie on the inner
    // cylinder (ordinate 0).
    size_t cylinder_from = 0, cylinder_to = 0;
};

// The published table: installed beside the programs
// (<prefix>/share/korvanti/open-water/nozzle-19a.tsv), or the repository's
// copy for a program of the build tree. The path is returned even when the
// file is not there, for the message.
std::filesystem::path nozzle_profile_file();

// Reads the table; a missing or damaged file is an InputError naming it.
NozzleProfile read_nozzle_profile(const std::filesystem::path& file);
NozzleProfile parse_nozzle_profile(const std::string& name, const std::string& text);

// Ka and Kc, the series designed and tested in the nozzle, by the series
// label in the title of PEROF.SON.
bool runs_in_nozzle(const OffsetsFile& offsets);

// The length of nozzle 19A as a fraction of the propeller diameter.
constexpr double nozzle_length_ratio = 0.5;

struct Nozzle {
    TopoDS_Shape shape;         // one solid
    TopoDS_Shape profile;       // the face in the meridian plane Y = 0 that is turned
    double volume = 0;          // mm³
    double inner_diameter = 0;  // smallest, mm (the inner cylinder)
    double outer_diameter = 0;  // largest, mm
    double leading_edge_x = 0, trailing_edge_x = 0;  // mm
    double tip_radius = 0;                           // the largest radius the blades reach, mm
    double measured_gap = 0;  // smallest distance between blades and nozzle, mm
};

// The nozzle for a propeller of diameter `D` (mm), its inner cylinder at
// `inner_radius` (mm), its mid-length at the axial position `middle_x` (mm).
Nozzle build_nozzle(const NozzleProfile& profile, double D, double inner_radius, double middle_x);

// The nozzle around the propeller, its inner cylinder `tip_gap` (mm) outside
// the blade tips: at D/2 + tip_gap, or further out by as much as the solid's
// tips reach beyond D/2; the gap measured on the solids.
Nozzle fitted_nozzle(const NozzleProfile& profile, const PropellerSolid& propeller, double D,
                     double tip_gap, double middle_x);

// The triangulation of the nozzle's surface at the chord tolerance
// `deflection` (mm): the profile's edges divided as OpenCASCADE's mesher
// would (GCPnts_TangentialDeflection), turned about the axis in equal steps.
// Closed by construction, its triangles ordered by the right-hand rule
// outward.
struct NozzleMesh {
    std::vector<std::array<double, 3>> vertices;
    std::vector<std::array<int, 3>> triangles;
};
NozzleMesh nozzle_triangulation(const Nozzle& nozzle, double deflection);

// The axial position (mm) of the generator line at the blade tip: the
// propeller plane in which the nozzle is centred.
double propeller_plane_x(const OffsetsFile& offsets, const PropellerSolid& propeller);

// The smallest distance (mm) between the blades and the nozzle, measured on
// the solids.
double smallest_tip_gap(const PropellerSolid& propeller, const Nozzle& nozzle);

}  // namespace korvanti_solid
