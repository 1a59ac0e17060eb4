#include "boolean_check.h"

#include <BOPAlgo_ArgumentAnalyzer.hxx>
#include <BOPAlgo_CheckResult.hxx>
#include <BOPAlgo_ListOfCheckResult.hxx>
#include <TopAbs_ShapeEnum.hxx>

#include <array>

namespace korvanti::testing {

std::vector<std::string> boolean_check_findings(const TopoDS_Shape& shape) {
    static const std::array<const char*, 12> status_names = {
        "BOPAlgo_CheckUnknown",          "BOPAlgo_BadType",
        "BOPAlgo_SelfIntersect",         "BOPAlgo_TooSmallEdge",
        "BOPAlgo_NonRecoverableFace",    "BOPAlgo_IncompatibilityOfVertex",
        "BOPAlgo_IncompatibilityOfEdge", "BOPAlgo_IncompatibilityOfFace",
        "BOPAlgo_OperationAborted",      "BOPAlgo_GeomAbs_C0",
        "BOPAlgo_InvalidCurveOnSurface", "BOPAlgo_NotValid"};
    static const std::array<const char*, 9> shape_names = {
        "compound", "compsolid", "solid", "shell", "face", "wire", "edge", "vertex", "shape"};
    BOPAlgo_ArgumentAnalyzer analyzer;
    analyzer.SetShape1(shape);
    analyzer.ArgumentTypeMode() = true;
    analyzer.SelfInterMode() = true;
    analyzer.SmallEdgeMode() = true;
    analyzer.RebuildFaceMode() = true;
    analyzer.TangentMode() = true;
    analyzer.MergeVertexMode() = true;
    analyzer.MergeEdgeMode() = true;
    analyzer.ContinuityMode() = true;
    analyzer.CurveOnSurfaceMode() = true;
    analyzer.Perform();
    std::vector<std::string> findings;
    for (const BOPAlgo_CheckResult& result : analyzer.GetCheckResult()) {
        const auto status = static_cast<size_t>(result.GetCheckStatus());
        std::string line = status < status_names.size() ? status_names[status] : "unknown";
        const TopTools_ListOfShape& faulty = result.GetFaultyShapes1();
        if (!faulty.IsEmpty()) {
            const auto kind = static_cast<size_t>(faulty.First().ShapeType());
            line +=
                std::string(" on a ") + (kind < shape_names.size() ? shape_names[kind] : "shape");
        }
        findings.push_back(line);
    }
    return findings;
}

}  // namespace korvanti::testing
