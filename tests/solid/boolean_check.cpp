#include "boolean_check.h"

#include <BOPAlgo_ArgumentAnalyzer.hxx>
#include <BOPAlgo_CheckResult.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>

#include <cstdio>

namespace korvanti::testing {
namespace {

const char* status_name(BOPAlgo_CheckStatus status) {
    switch (status) {
        case BOPAlgo_CheckUnknown:
            return "BOPAlgo_CheckUnknown";
        case BOPAlgo_BadType:
            return "BOPAlgo_BadType";
        case BOPAlgo_SelfIntersect:
            return "BOPAlgo_SelfIntersect";
        case BOPAlgo_TooSmallEdge:
            return "BOPAlgo_TooSmallEdge";
        case BOPAlgo_NonRecoverableFace:
            return "BOPAlgo_NonRecoverableFace";
        case BOPAlgo_IncompatibilityOfVertex:
            return "BOPAlgo_IncompatibilityOfVertex";
        case BOPAlgo_IncompatibilityOfEdge:
            return "BOPAlgo_IncompatibilityOfEdge";
        case BOPAlgo_IncompatibilityOfFace:
            return "BOPAlgo_IncompatibilityOfFace";
        case BOPAlgo_OperationAborted:
            return "BOPAlgo_OperationAborted";
        case BOPAlgo_GeomAbs_C0:
            return "BOPAlgo_GeomAbs_C0";
        case BOPAlgo_InvalidCurveOnSurface:
            return "BOPAlgo_InvalidCurveOnSurface";
        case BOPAlgo_NotValid:
            return "BOPAlgo_NotValid";
    }
    return "BOPAlgo_CheckStatus?";
}

const char* type_name(TopAbs_ShapeEnum type) {
    static const char* const names[] = {"COMPOUND", "COMPSOLID", "SOLID", "SHELL",
                                        "FACE",     "WIRE",      "EDGE",  "VERTEX"};
    return type <= TopAbs_VERTEX ? names[type] : "SHAPE";
}

const char* surface_name(const TopoDS_Face& face) {
    switch (BRepAdaptor_Surface(face, false).GetType()) {
        case GeomAbs_Plane:
            return "Plane";
        case GeomAbs_Cylinder:
            return "Cylinder";
        case GeomAbs_Cone:
            return "Cone";
        case GeomAbs_Sphere:
            return "Sphere";
        case GeomAbs_Torus:
            return "Torus";
        case GeomAbs_BezierSurface:
            return "BezierSurface";
        case GeomAbs_BSplineSurface:
            return "BSplineSurface";
        case GeomAbs_SurfaceOfRevolution:
            return "SurfaceOfRevolution";
        case GeomAbs_SurfaceOfExtrusion:
            return "SurfaceOfExtrusion";
        case GeomAbs_OffsetSurface:
            return "OffsetSurface";
        default:
            return "OtherSurface";
    }
}

// "EDGE between SurfaceOfRevolution and BSplineSurface, tolerance 1e-07".
std::string edge_words(const TopoDS_Edge& edge,
                       const TopTools_IndexedDataMapOfShapeListOfShape& edge_faces) {
    std::string words = "EDGE";
    if (edge_faces.Contains(edge)) {
        const char* joint = " between ";
        for (const TopoDS_Shape& face : edge_faces.FindFromKey(edge)) {
            words += joint;
            words += surface_name(TopoDS::Face(face));
            joint = " and ";
        }
    }
    char tolerance[40];
    std::snprintf(tolerance, sizeof tolerance, ", tolerance %.3g", BRep_Tool::Tolerance(edge));
    return words + tolerance;
}

std::string finding(const BOPAlgo_CheckResult& result,
                    const TopTools_IndexedDataMapOfShapeListOfShape& edge_faces) {
    std::string line = status_name(result.GetCheckStatus());
    for (const TopoDS_Shape& s : result.GetFaultyShapes1()) {
        line += " ";
        if (s.ShapeType() == TopAbs_EDGE)
            line += edge_words(TopoDS::Edge(s), edge_faces);
        else if (s.ShapeType() == TopAbs_FACE)
            line += std::string("FACE ") + surface_name(TopoDS::Face(s));
        else
            line += type_name(s.ShapeType());
    }
    if (result.GetCheckStatus() == BOPAlgo_InvalidCurveOnSurface) {
        char distance[40];
        std::snprintf(distance, sizeof distance, ", distance %.3g", result.GetMaxDistance1());
        line += distance;
    }
    return line;
}

}  // namespace

std::vector<std::string> boolean_check_findings(const TopoDS_Shape& shape) {
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
    TopTools_IndexedDataMapOfShapeListOfShape edge_faces;
    TopExp::MapShapesAndAncestors(shape, TopAbs_EDGE, TopAbs_FACE, edge_faces);
    std::vector<std::string> findings;
    for (const BOPAlgo_CheckResult& result : analyzer.GetCheckResult())
        findings.push_back(finding(result, edge_faces));
    if (findings.empty() && analyzer.HasFaulty())
        findings.emplace_back("BOPAlgo_CheckUnknown SHAPE");
    return findings;
}

}  // namespace korvanti::testing
