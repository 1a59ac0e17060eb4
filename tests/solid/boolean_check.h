// OpenCASCADE's argument check of a Boolean operation (BOPAlgo_ArgumentAnalyzer),
// the check CAD programs run before a cut or a fuse and in their "check
// geometry" command, with all its checks switched on.
#pragma once

#include <TopoDS_Shape.hxx>

#include <string>
#include <vector>

namespace korvanti::testing {

// One line per finding (the kind of fault and the kind of shape it lies on);
// empty when the shape is sound for Boolean work.
std::vector<std::string> boolean_check_findings(const TopoDS_Shape& shape);

}  // namespace korvanti::testing
