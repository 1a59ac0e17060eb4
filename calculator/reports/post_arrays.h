// The post-processing arrays: the offsets file as read back, the hub
// profile, the sections at the report radii with their characteristics, the
// blade surface table and the max-thickness points. Filled once, in this
// order, by the section report and the blade surface; read by the hub mesh,
// the surface exports and the panel data file.
#pragma once

#include <string>

#include "model/blade_model.h"
#include "numeric/arrays.h"
#include "numeric/cubic_spline.h"

namespace korvanti {

inline constexpr int report_capacity = 30;        // report radii and section points
inline constexpr int hub_profile_capacity = 100;  // hub profile points (spline capacity)

using IntStationArray = Array1<int, max_stations>;

// PEROF.SON as read back: the file's own stations (root station included
// for the Wageningen B, Ka and Kc series).
struct OffsetsFileData {
    int N = 0;                     // stations in the file
    std::string title;             // series label, 25 characters
    float D = 0.0f;                // diameter
    int Z = 0;                     // blade count
    StationArray r, P, c, iT, xs;  // radius, pitch, chord, rake, skew shift
    IntStationArray NP;            // points of each section
    SectionTable xc;               // (station, point) abscissa
    SectionTable yb;               // back ordinate plus the radius
    SectionTable yf;               // face ordinate plus the radius
};

// Meridian outline of the hub, moved along the axis onto the blade. The
// radius rH(m) is kept as the first coefficient of point m of the spline
// table (rH against xH); fitting the spline fills the other three in place.
struct HubProfileSpline {
    int NH = 0;
    Array1<float, hub_profile_capacity> xH;
    SplineCoefficients<hub_profile_capacity> spline;
    float rH(int m) const { return spline(1, m); }
};

// The sections at the report radii (right-hand blade; the abscissae are
// negated after the surfaces are built for a left-hand propeller).
struct ReportSections {
    int M = 0;                     // report radii
    StationArray r, P, c, iT, xs;  // radius, pitch, chord (from the section ends), rake, skew shift
    IntStationArray NP;            // points of each section
    SectionTable xc;               // (radius, point) abscissa, point 1 trailing edge
    SectionTable ys;               // suction-side ordinate plus the radius
    SectionTable yp;               // pressure-side ordinate plus the radius
    SectionTable yc;               // camber ordinate (ys + yp)/2, plus the radius
    // Section characteristics, as fractions of the chord.
    StationArray tmax_chord;    // TMAX/CHORD
    StationArray tmx_le_chord;  // TMX_LE/CHORD, leading edge to max thickness
    StationArray fmax_chord;    // FMAX/CHORD
    StationArray fmx_le_chord;  // FMX_LE/CHORD, leading edge to max camber
};

struct Point3 {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
};

// One side of the blade surface table: (radius row k, chordwise point i).
struct SurfaceSide {
    SectionTable X;  // along the shaft axis, rake included
    SectionTable Y;
    SectionTable Z;
};

using SectionSideSplines = Array1<SplineCoefficients<report_capacity>, report_capacity>;

inline constexpr int pressure_side = 1;
inline constexpr int suction_side = 2;

struct BladeSurface {
    int Nc = 0;                          // chordwise points of every surface row
    IntStationArray Ncount;              // per radius, always Nc
    Array1<float, report_capacity> u;    // chordwise fractions (i - 1)/(Nc - 1)
    SectionSideSplines pressure_spline;  // per radius: yp against xc
    SectionSideSplines suction_spline;   // per radius: ys against xc
    SurfaceSide pressure;
    SurfaceSide suction;
    // Max-thickness points: (radius k, side 1 pressure / 2 suction), in the plane Y = 0.
    Array2<Point3, report_capacity, 2> max_thickness;
};

}  // namespace korvanti
