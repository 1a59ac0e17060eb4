// The blade as the post-processing sees it: the offsets file as read back,
// the hub profile spline, and the sections at the report radii with their
// characteristics. Filled by the section report; read by the surface step
// and the writers.
#pragma once

#include <string>

#include "common/one_based.h"
#include "model/blade_model.h"
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
// table (rH against xH); the reader fits the spline, which fills the other
// three.
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

}  // namespace korvanti
