// The post-processing of the calculator: the section report, the blade and
// hub surfaces with their exports, and the panel data file, in that order,
// on one set of post-processing arrays.
#pragma once

#include <iosfwd>

#include "model/blade_model.h"
#include "reports/post_arrays.h"
#include "surfaces/mesh.h"

namespace korvanti {

// Everything the post-processing fills, allocated once at its start.
struct PostProcessing {
    OffsetsFileData file;     // PEROF.SON as read back
    HubProfileSpline hub;     // moved along the axis onto the blade
    ReportSections sections;  // at the report radii
    BladeSurface surface;
    HubGrid grid;
    Mesh mesh;
};

// Reads PEROF.SON back and writes the section report block to `result`,
// PEROF2.SON, the surface exports and PERVDAT.
void run_post_processing(const BladeModel& model, std::ostream& result);

}  // namespace korvanti
