// The seams where a blade meets the hub, made anew after the fuse so that
// their curve in space and their curves on the two faces agree to far
// within the tolerance a STEP reader gives them.
#pragma once

#include <TopoDS_Shape.hxx>

namespace korvanti_solid {

// Every edge of `shape` between a blade face (a B-spline surface) and the
// hub (a surface of revolution) gets a new curve in space and new curves on
// both faces; an edge whose new curves cannot be made keeps the fuse's.
void root_seams_on_both_faces(const TopoDS_Shape& shape);

}  // namespace korvanti_solid
