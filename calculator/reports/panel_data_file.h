// The panel data file PERVDAT, the hand-over to the drawing generator:
// sections at the report radii, the blade surface grid, the max-thickness
// line, the main particulars, the panel mesh and the strip table.
#pragma once

#include <string>

#include "model/blade_model.h"
#include "model/report_sections.h"
#include "surfaces/mesh.h"
#include "surfaces/surface_types.h"

namespace korvanti {

inline constexpr const char* panel_data_file_name = "PERVDAT";

// The whole text of PERVDAT.
std::string panel_data_text(const BladeModel& model, const ReportSections& sections,
                            const BladeSurface& surface, const Mesh& mesh);

// Writes PERVDAT in the working directory.
void write_panel_data_file(const BladeModel& model, const ReportSections& sections,
                           const BladeSurface& surface, const Mesh& mesh);

}  // namespace korvanti
