// Where a blade folds over itself at one of its edges: the two faces that
// meet there cross, so that the edge is concave where it must be convex.
// A lofted blade does this near a sharp edge where the chord shrinks fast
// between two rows (the KC101 tip on equally spaced report radii): the thin
// wedge of face and back, interpolated across rows whose sections are
// turned far apart about the shaft axis, turns inside out.
#pragma once

#include <TopoDS_Shape.hxx>

#include <vector>

namespace korvanti_solid {

// The distances from the shaft axis (X), in the solid's units, of the points
// along the edges of `solid` where the two faces meeting there fold over:
// the inward direction of one face points out through the other.
std::vector<double> radii_of_folds(const TopoDS_Shape& solid);

}  // namespace korvanti_solid
