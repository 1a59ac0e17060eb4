// The in-memory copy of PERVDAT, the panel data file written by the
// calculator: sections at the report radii, the blade surface grid, the main
// particulars and the panel mesh of hub and blade.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "common/one_based.h"

namespace telvaro {

using korvanti::Array;

constexpr int kMaxRadii = 30;
constexpr int kMaxSectionPoints = 30;
constexpr int kMaxSurfacePoints = 30;
constexpr int kMaxVertices = 3000;
constexpr int kMaxPanels = 3000;
constexpr int kMaxSecondVertices = 2000;
constexpr int kMaxSecondPanels = 2000;
constexpr int kMaxBladeCount = 20;

// Surface sides and coordinates of the grid S(side, coordinate, k, w).
constexpr int kFace = 1;
constexpr int kBack = 2;
constexpr int kX = 1;
constexpr int kY = 2;
constexpr int kZ = 3;

struct PanelData {
    int M = 0;                                       // report radii
    Array<int, kMaxRadii> NP;                        // section points per radius
    Array<int, kMaxRadii> NCH;                       // surface points per radius and side
    Array<double, kMaxRadii, kMaxSectionPoints> xc;  // chordwise abscissa, 1 = trailing edge
    Array<double, kMaxRadii, kMaxSectionPoints> ys;  // suction side ordinate plus the radius
    Array<double, kMaxRadii, kMaxSectionPoints> yp;  // pressure side ordinate plus the radius
    Array<double, kMaxRadii> r;                      // report radius
    Array<double, kMaxRadii> tmax_from_le;           // max thickness distance from the leading edge
    Array<double, 2, 3, kMaxRadii, kMaxSurfacePoints> S;  // surface grid (side, coordinate, k, w)
    int Z = 0;                                            // blade count
    double EAR = 0;
    double D = 0;
    double P_D = 0;
    Array<double, kMaxRadii, 2, 3> tmax_line;  // two points of the max thickness line per radius
    int NV1 = 0, NQ1 = 0, NV2 = 0, NQ2 = 0, NH1 = 0;  // mesh counts, NH1 hub panels first
    Array<double, kMaxVertices, 3> vertex;            // first mesh: X, Y, Z
    Array<int, kMaxPanels, 4> panel;                  // first mesh: four vertex numbers
    Array<double, kMaxSecondVertices, 3> vertex2;
    Array<int, kMaxSecondPanels, 4> panel2;
};

// Reads records 1 to 12 of PERVDAT in free form. Returns a one-line message
// naming the line and the item when the file is missing, short or damaged;
// `data` is then only partly filled and must not be drawn.
std::optional<std::string> read_panel_data(const std::filesystem::path& file, PanelData& data);
std::optional<std::string> read_panel_data(std::istream& in, PanelData& data);

}  // namespace telvaro
