// The two files of a finished Korvanti run that the solid is built from:
// PERVDAT (blade surface grid, main particulars, panel mesh) and PEROF.SON
// (the first station and the hub profile). Lengths are kept in metres, as
// the files hold them.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace korvanti_solid {

struct Point3 {
    double x = 0, y = 0, z = 0;  // X along the shaft axis, the blade's reference line along +Z
};

struct PanelDataFile {
    int M = 0;                               // report radii
    int Nc = 0;                              // surface points per side and radius
    std::vector<double> r;                   // radius of every grid row
    std::vector<std::vector<Point3>> face;   // [row][point], point 0 at the trailing edge
    std::vector<std::vector<Point3>> back;   // suction side, same layout
    int Z = 0;                               // blade count
    double D = 0;                            // diameter
    double P_D = 0;                          // pitch ratio
    std::vector<Point3> nodes;               // panel mesh of one blade and its hub sector
    std::vector<std::array<int, 4>> panels;  // 0-based node numbers
    int hub_panels = 0;                      // panels 0..hub_panels-1 are hub panels
};

struct OffsetsFile {
    double D = 0;
    int Z = 0;
    // The first station: radius, pitch, rake, skew shift and the abscissae of
    // its trailing-edge and leading-edge points.
    double r1 = 0, P1 = 0, iT1 = 0, xs1 = 0, xc_te = 0, xc_le = 0;
    std::string title;  // the series label, e.g. " WAGENINGEN Ka 4.700"
    double iT_tip = 0;  // the rake of the last station, the tip: where its generator line is
    std::vector<double> hub_x;   // hub profile, axial position as written
    std::vector<double> hub_rH;  // hub radius there
};

// Read the files; any fault is an InputError naming the file and the line.
PanelDataFile read_panel_data_file(const std::filesystem::path& file);
OffsetsFile read_offsets_file(const std::filesystem::path& file);
// The same from text, `name` standing for the file in messages.
PanelDataFile parse_panel_data(const std::string& name, std::string text);
OffsetsFile parse_offsets(const std::string& name, std::string text);

}  // namespace korvanti_solid
