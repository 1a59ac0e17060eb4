// The hub between the blade roots, split in the middle of each gap, and the
// panel mesh of one blade with its hub sector.
#pragma once

#include "filelayer/console.h"
#include "model/report_sections.h"
#include "surfaces/mesh.h"
#include "surfaces/surface_types.h"

namespace korvanti {

// Builds the hub grid, the mesh nodes and panels and the export index tables
// from the blade surface table (rows 1..M, Nc points each) and the fitted hub
// profile spline.
void build_hub_and_panels(const BladeSurface& surface, const ReportSections& sections,
                          const HubProfileSpline& hub, int blade_count, HubGrid& grid, Mesh& mesh,
                          Console& console);

}  // namespace korvanti
