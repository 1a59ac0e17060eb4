#include "edge_folds.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRep_Tool.hxx>
#include <Geom2d_Curve.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>
#include <gp_Pnt2d.hxx>

#include <cmath>

namespace korvanti_solid {
namespace {

constexpr int samples_per_edge = 200;

// A face along one of its edges: its outward unit normal where the edge
// passes at parameter t, from the edge's curve on the face.
class FaceAlongEdge {
public:
    FaceAlongEdge(const TopoDS_Edge& edge, const TopoDS_Face& face)
        : surface_(face, false),
          pcurve_(BRep_Tool::CurveOnSurface(edge, face, first_, last_)),
          outward_(face.Orientation() == TopAbs_REVERSED ? -1 : 1) {}
    gp_Vec outward_normal(double t) const {
        const gp_Pnt2d uv = pcurve_->Value(t);
        gp_Pnt p;
        gp_Vec du, dv;
        surface_.D1(uv.X(), uv.Y(), p, du, dv);
        const gp_Vec n = du.Crossed(dv);
        if (n.Magnitude() < 1e-12) return {};
        return n.Normalized() * outward_;
    }

private:
    double first_ = 0, last_ = 0;  // the curve's range, asked for by OpenCASCADE
    BRepAdaptor_Surface surface_;
    Handle(Geom2d_Curve) pcurve_;
    double outward_;
};

// The orientation of `edge` in the wires of `face`.
TopAbs_Orientation orientation_in(const TopoDS_Edge& edge, const TopoDS_Face& face) {
    for (TopExp_Explorer e(face, TopAbs_EDGE); e.More(); e.Next())
        if (e.Current().IsSame(edge)) return e.Current().Orientation();
    return TopAbs_FORWARD;
}

// The material of a face lies to the left of its edges seen from outside:
// its inward direction at the edge is n × t. Where the edge is convex that
// direction points into the solid through the other face (against its
// outward normal); a positive product with that normal is a fold.
void add_folds(const TopoDS_Edge& edge, const TopoDS_Face& one, const TopoDS_Face& other,
               std::vector<double>& radii) {
    const BRepAdaptor_Curve curve(edge);
    const double first = curve.FirstParameter(), last = curve.LastParameter();
    const double sense = orientation_in(edge, one) == TopAbs_REVERSED ? -1 : 1;
    const FaceAlongEdge on_one(edge, one), on_other(edge, other);
    for (int i = 0; i < samples_per_edge; ++i) {
        const double t = first + (last - first) * (i + 0.5) / samples_per_edge;
        gp_Pnt p;
        gp_Vec tangent;
        curve.D1(t, p, tangent);
        if (tangent.Magnitude() < 1e-12) continue;
        const gp_Vec inward = on_one.outward_normal(t).Crossed(sense * tangent.Normalized());
        if (inward.Dot(on_other.outward_normal(t)) > 0) radii.push_back(std::hypot(p.Y(), p.Z()));
    }
}

}  // namespace

std::vector<double> radii_of_folds(const TopoDS_Shape& solid) {
    TopTools_IndexedDataMapOfShapeListOfShape edge_faces;
    TopExp::MapShapesAndAncestors(solid, TopAbs_EDGE, TopAbs_FACE, edge_faces);
    std::vector<double> radii;
    for (int i = 1; i <= edge_faces.Extent(); ++i) {
        const TopoDS_Edge& edge = TopoDS::Edge(edge_faces.FindKey(i));
        const TopTools_ListOfShape& faces = edge_faces(i);
        if (faces.Extent() != 2 || BRep_Tool::Degenerated(edge)) continue;
        add_folds(edge, TopoDS::Face(faces.First()), TopoDS::Face(faces.Last()), radii);
    }
    return radii;
}

}  // namespace korvanti_solid
