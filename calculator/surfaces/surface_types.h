// What the surface step makes of the report sections: the blade surface
// table with its side splines and max-thickness points, and (in mesh.h) the
// hub grid and the panel mesh. Read by the surface exports and the panel
// data file.
#pragma once

#include "common/one_based.h"
#include "model/report_sections.h"
#include "numeric/cubic_spline.h"
#include "surfaces/mesh.h"

namespace korvanti {

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

struct BladeSurface {
    int Nc = 0;                          // chordwise points of every surface row
    IntStationArray Ncount;              // per radius, always Nc
    Array1<float, report_capacity> u;    // chordwise fractions (i - 1)/(Nc - 1)
    SectionSideSplines pressure_spline;  // per radius: yp against xc
    SectionSideSplines suction_spline;   // per radius: ys against xc
    SurfaceSide pressure;
    SurfaceSide suction;
    // Max-thickness points: (radius k, side), in the plane Y = 0.
    Array2<Point3, report_capacity, 2> max_thickness;
};

// Everything the surface step returns, for the writers that follow it.
struct Surfaces {
    // The report sections as the surfaces show them: for a left-hand
    // propeller their abscissae are mirrored like the surfaces.
    ReportSections sections;
    BladeSurface surface;
    HubGrid grid;
    Mesh mesh;
};

}  // namespace korvanti
