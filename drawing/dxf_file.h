// The drawing as a DXF file (AutoCAD R12, read by every CAD program): the
// entities on their layers in their colours, in the units of the drawing
// (sheet millimetres for the form plans, metres for the 3D view).
#pragma once

#include <string>

#include "drawing_model.h"

namespace telvaro {

// The text of the DXF file. A fitted polyline is a curve-fit POLYLINE whose
// own points are its vertices, with seven curve-fit vertices between each
// two of them on the curve every writer draws (fitted_curve).
std::string dxf_text(const Drawing& drawing);

}  // namespace telvaro
