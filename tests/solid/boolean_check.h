// OpenCASCADE's Boolean argument check (BOPAlgo_ArgumentAnalyzer), the check
// a CAD program runs on a shape before a Boolean operation and in its "check
// geometry" command, with all of its checks of one shape switched on.
#pragma once

#include <TopoDS_Shape.hxx>

#include <string>
#include <vector>

namespace korvanti::testing {

// One line per finding: the check's status and the sub-shapes it names, an
// edge with the surfaces of its faces and its tolerance, and the distance
// where the check measures one, for example "BOPAlgo_InvalidCurveOnSurface
// EDGE between SurfaceOfRevolution and BSplineSurface, tolerance 1e-07 FACE
// BSplineSurface, distance 1.17e-06". Empty: the shape is clean.
std::vector<std::string> boolean_check_findings(const TopoDS_Shape& shape);

}  // namespace korvanti::testing
