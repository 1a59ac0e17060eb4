// The root seams made anew: points where the blade's and the hub's surfaces
// meet, found by Newton's method on three of the four surface parameters
// (the fourth, one of the blade's, is the seam's parameter), and the seam's
// curve in space and its two curves on the faces approximated at once
// through them (OpenCASCADE's AdvApprox: one set of knots for all three, C1,
// degree up to 14, cut where the seam crosses a knot line of either surface)
// to 1e-9 mm in space and on the faces.
//
// The fuse gives these edges three separate approximations of the one
// intersection curve (in space, on the blade, on the hub), up to about
// 1e-6 mm apart at places. The edge's tolerance covers that in memory, but
// a STEP reader sets every tolerance anew from samples along the edge, down
// to 1e-7 mm, and a Boolean check then finds the curves off their faces.
#include "root_seam.h"

#include <AdvApprox_ApproxAFunction.hxx>
#include <AdvApprox_EvaluatorFunction.hxx>
#include <AdvApprox_PrefAndRec.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <Geom2d_BSplineCurve.hxx>
#include <Geom2d_Curve.hxx>
#include <Geom_BSplineCurve.hxx>
#include <Geom_BSplineSurface.hxx>
#include <Geom_Curve.hxx>
#include <Geom_Surface.hxx>
#include <Geom_SurfaceOfRevolution.hxx>
#include <Geom_TrimmedCurve.hxx>
#include <TColStd_HArray1OfReal.hxx>
#include <TColStd_HArray2OfReal.hxx>
#include <TColgp_Array1OfPnt.hxx>
#include <TColgp_Array1OfPnt2d.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace korvanti_solid {
namespace {

// The triple product a·(b × c), the determinant of the columns a, b, c.
double triple(const gp_Vec& a, const gp_Vec& b, const gp_Vec& c) { return a.Dot(b.Crossed(c)); }

// The seam's point at parameter t: where the two surfaces meet with one of
// the blade's parameters (u or v, whichever runs along the seam) moving
// linearly from the seam's start to its end, so that the seam's parameter is
// as smooth as the surfaces themselves. Newton's method on the three other
// parameters (blade's second, hub's u and v) from the fuse's curves on the
// faces; the speed by differentiating blade(a) = hub(b) along t. Values in
// the order AdvApprox expects, the four 1D spaces (each parameter with its
// own tolerance) before the 3D one: blade u, v, hub u, v, point x, y, z.
class SeamPoint : public AdvApprox_EvaluatorFunction {
public:
    SeamPoint(Handle(Geom2d_Curve) old_on_blade, Handle(Geom2d_Curve) old_on_hub,
              Handle(Geom_Surface) blade, Handle(Geom_Surface) hub, int along, double first,
              double last)
        : on_blade_(std::move(old_on_blade)),
          on_hub_(std::move(old_on_hub)),
          blade_(std::move(blade)),
          hub_(std::move(hub)),
          along_(along),
          first_(first),
          start_(on_blade_->Value(first).Coord(along)),
          rate_((on_blade_->Value(last).Coord(along) - start_) / (last - first)) {}

    // The seam's point at t on both surfaces: false where Newton's method
    // does not converge.
    struct Point {
        gp_Pnt2d a, b;  // (u, v) on the blade and on the hub
        gp_Pnt p, q;
        gp_Vec pu, pv, qu, qv;
    };
    bool at(double t, Point& s) const {
        s.a = on_blade_->Value(t);
        s.b = on_hub_->Value(t);
        s.a.SetCoord(along_, start_ + rate_ * (t - first_));
        for (int k = 0; k < 12; ++k) {
            blade_->D1(s.a.X(), s.a.Y(), s.p, s.pu, s.pv);
            hub_->D1(s.b.X(), s.b.Y(), s.q, s.qu, s.qv);
            const gp_Vec gap(s.q, s.p);
            // Within 1e-12 mm: some hundred units in the last place of
            // coordinates of a few hundred millimetres.
            if (gap.SquareMagnitude() < 1e-24) return true;
            // blade(a + da) - hub(b + db) = 0 to first order, da along the
            // blade's free parameter only.
            const gp_Vec free = along_ == 1 ? s.pv : s.pu;
            const double det = triple(free, s.qu, s.qv);
            if (std::abs(det) < 1e-300) return false;
            s.a.SetCoord(3 - along_, s.a.Coord(3 - along_) - triple(gap, s.qu, s.qv) / det);
            s.b.SetX(s.b.X() + triple(free, gap, s.qv) / det);
            s.b.SetY(s.b.Y() + triple(free, s.qu, gap) / det);
        }
        return false;
    }

    void Evaluate(int*, double*, double* t, int* derivative, double* result, int* error) override {
        *error = 1;
        Point s;
        if (*derivative > 1 || !at(*t, s)) return;
        const gp_Pnt2d &a = s.a, &b = s.b;
        const gp_Pnt &p = s.p, &q = s.q;
        const gp_Vec &pu = s.pu, &pv = s.pv, &qu = s.qu, &qv = s.qv;
        if (*derivative == 0) {
            result[0] = a.X();
            result[1] = a.Y();
            result[2] = b.X();
            result[3] = b.Y();
            const gp_XYZ mid = (p.XYZ() + q.XYZ()) / 2;
            std::copy_n(mid.GetData(), 3, result + 4);
            *error = 0;
            return;
        }
        // free·da' - qu·du' - qv·dv' = -fixed·rate.
        const gp_Vec free = along_ == 1 ? pv : pu;
        const gp_Vec fixed = (along_ == 1 ? pu : pv) * rate_;
        const double det = triple(free, qu, qv);
        if (std::abs(det) < 1e-300) return;
        const double d_free = -triple(fixed, qu, qv) / det;
        const double du = triple(free, fixed, qv) / det;
        const double dv = triple(free, qu, fixed) / det;
        result[along_ - 1] = rate_;
        result[2 - along_] = d_free;
        result[2] = du;
        result[3] = dv;
        const gp_Vec dp = fixed + free * d_free;
        result[4] = dp.X();
        result[5] = dp.Y();
        result[6] = dp.Z();
        *error = 0;
    }

    int along() const { return along_; }
    // The seam's parameter where the blade's parameter along it has `value`.
    double parameter_at(double value) const { return first_ + (value - start_) / rate_; }

private:
    Handle(Geom2d_Curve) on_blade_, on_hub_;
    Handle(Geom_Surface) blade_, hub_;
    int along_;  // 1: the blade's u is the seam's parameter, 2: its v
    double first_, start_, rate_;
};

// The blade parameter (1: u, 2: v) that runs strictly one way along the
// fuse's curve on the blade, sampled; 0 where neither does.
int parameter_along(const Handle(Geom2d_Curve) & on_blade, double first, double last) {
    for (int along : {1, 2}) {
        const double span =
            on_blade->Value(last).Coord(along) - on_blade->Value(first).Coord(along);
        bool monotone = std::abs(span) > 1e-9;
        double previous = on_blade->Value(first).Coord(along);
        for (int i = 1; i <= 64 && monotone; ++i) {
            const double next = on_blade->Value(first + (last - first) * i / 64).Coord(along);
            monotone = (next - previous) * span > 0;
            previous = next;
        }
        if (monotone) return along;
    }
    return 0;
}

// The knots of a surface's parameter (1: u, 2: v): of a B-spline surface,
// or of the meridian of a surface of revolution (its v); none for the
// angle of a revolution, smooth all round.
std::vector<double> knots_of(const Handle(Geom_Surface) & surface, int coordinate) {
    std::vector<double> knots;
    if (const auto spline = Handle(Geom_BSplineSurface)::DownCast(surface); !spline.IsNull()) {
        const TColStd_Array1OfReal& k = coordinate == 1 ? spline->UKnots() : spline->VKnots();
        knots.assign(k.begin(), k.end());
    } else if (const auto revolved = Handle(Geom_SurfaceOfRevolution)::DownCast(surface);
               coordinate == 2 && !revolved.IsNull()) {
        Handle(Geom_Curve) basis = revolved->BasisCurve();
        while (const auto trimmed = Handle(Geom_TrimmedCurve)::DownCast(basis))
            basis = trimmed->BasisCurve();
        if (const auto meridian = Handle(Geom_BSplineCurve)::DownCast(basis); !meridian.IsNull())
            knots.assign(meridian->Knots().begin(), meridian->Knots().end());
    }
    return knots;
}

// The parameters of the seam where it crosses a knot line of either
// surface: there the surface, and the seam, is only C2, and the
// approximation is cut there rather than anywhere near (else it cuts ever
// smaller pieces about the knot). The blade's parameter along the seam
// crosses its knots at known places; the others are found by sampling the
// seam and halving the intervals where a parameter passes a knot.
TColStd_Array1OfReal knot_crossings(const Handle(Geom_Surface) & blade,
                                    const Handle(Geom_Surface) & hub, const SeamPoint& seam,
                                    double first, double last) {
    const double margin = 1e-9 * (last - first);
    std::vector<double> crossings;
    for (const double knot : knots_of(blade, seam.along()))
        crossings.push_back(seam.parameter_at(knot));
    constexpr int samples = 128;
    std::vector<SeamPoint::Point> points(samples + 1);
    bool sampled = true;
    for (int i = 0; i <= samples && sampled; ++i)
        sampled = seam.at(first + (last - first) * i / samples, points[static_cast<size_t>(i)]);
    // (surface, coordinate): the blade's other parameter, the hub's v.
    const int other = 3 - seam.along();
    for (const auto& [on_hub, coordinate] : {std::pair{false, other}, std::pair{true, 2}}) {
        if (!sampled) break;
        const auto value = [&](const SeamPoint::Point& s) {
            return (on_hub ? s.b : s.a).Coord(coordinate);
        };
        for (const double knot : knots_of(on_hub ? hub : blade, coordinate))
            for (int i = 0; i < samples; ++i) {
                double low = first + (last - first) * i / samples;
                double high = first + (last - first) * (i + 1) / samples;
                double f_low = value(points[static_cast<size_t>(i)]) - knot;
                if (f_low * (value(points[static_cast<size_t>(i + 1)]) - knot) >= 0) continue;
                for (int k = 0; k < 40; ++k) {
                    const double middle = (low + high) / 2;
                    SeamPoint::Point s;
                    if (!seam.at(middle, s)) break;
                    const double f = value(s) - knot;
                    if (f * f_low > 0) {
                        low = middle;
                        f_low = f;
                    } else {
                        high = middle;
                    }
                }
                crossings.push_back((low + high) / 2);
            }
    }
    std::erase_if(crossings, [&](double t) { return t <= first + margin || t >= last - margin; });
    std::sort(crossings.begin(), crossings.end());
    if (crossings.empty()) crossings.push_back((first + last) / 2);
    TColStd_Array1OfReal array(1, static_cast<int>(crossings.size()));
    for (int i = 1; i <= array.Length(); ++i) array(i) = crossings[static_cast<size_t>(i - 1)];
    return array;
}

// A distance on a surface as tolerances of its two parameters: divided by
// the surface's speed along each near the point (u, v).
std::pair<double, double> parameter_tolerances(const Handle(Geom_Surface) & surface,
                                               const gp_Pnt2d& uv, double distance) {
    gp_Pnt p;
    gp_Vec su, sv;
    surface->D1(uv.X(), uv.Y(), p, su, sv);
    return {distance / std::max(su.Magnitude(), 1e-3), distance / std::max(sv.Magnitude(), 1e-3)};
}

bool seam_between(const TopTools_ListOfShape& faces, TopoDS_Face& blade, TopoDS_Face& hub) {
    if (faces.Extent() != 2) return false;
    for (const TopoDS_Shape& f : faces) {
        const GeomAbs_SurfaceType type = BRepAdaptor_Surface(TopoDS::Face(f), false).GetType();
        if (type == GeomAbs_BSplineSurface)
            blade = TopoDS::Face(f);
        else if (type == GeomAbs_SurfaceOfRevolution)
            hub = TopoDS::Face(f);
    }
    return !blade.IsNull() && !hub.IsNull();
}

void seam_on_both_faces(const TopoDS_Edge& edge, const TopoDS_Face& blade, const TopoDS_Face& hub) {
    TopLoc_Location blade_place, hub_place, edge_place;
    const Handle(Geom_Surface) blade_surface = BRep_Tool::Surface(blade, blade_place);
    const Handle(Geom_Surface) hub_surface = BRep_Tool::Surface(hub, hub_place);
    double first = 0, last = 0;
    const Handle(Geom_Curve) old_curve = BRep_Tool::Curve(edge, edge_place, first, last);
    if (old_curve.IsNull() || !blade_place.IsIdentity() || !hub_place.IsIdentity() ||
        !edge_place.IsIdentity())
        return;
    const Handle(Geom2d_Curve) old_on_blade = BRep_Tool::CurveOnSurface(edge, blade, first, last);
    const Handle(Geom2d_Curve) old_on_hub = BRep_Tool::CurveOnSurface(edge, hub, first, last);
    if (old_on_blade.IsNull() || old_on_hub.IsNull()) return;
    const int along = parameter_along(old_on_blade, first, last);
    if (along == 0) return;
    SeamPoint seam(old_on_blade, old_on_hub, blade_surface, hub_surface, along, first, last);
    constexpr double tolerance = 1e-9;  // mm, in space and on the faces
    Handle(TColStd_HArray1OfReal) in_space = new TColStd_HArray1OfReal(1, 1, tolerance);
    Handle(TColStd_HArray1OfReal) on_faces = new TColStd_HArray1OfReal(1, 4);
    const auto [blade_u, blade_v] =
        parameter_tolerances(blade_surface, old_on_blade->Value(first), tolerance);
    const auto [hub_u, hub_v] =
        parameter_tolerances(hub_surface, old_on_hub->Value(first), tolerance);
    on_faces->SetValue(1, blade_u);
    on_faces->SetValue(2, blade_v);
    on_faces->SetValue(3, hub_u);
    on_faces->SetValue(4, hub_v);
    const TColStd_Array1OfReal crossings =
        knot_crossings(blade_surface, hub_surface, seam, first, last);
    const AdvApprox_PrefAndRec cutting(crossings, crossings);
    AdvApprox_ApproxAFunction approx(4, 0, 1, on_faces, {}, in_space, first, last, GeomAbs_C1, 14,
                                     400, seam, cutting);
    if (!approx.HasResult()) return;
    const TColStd_Array1OfReal& knots = approx.Knots()->Array1();
    const TColStd_Array1OfInteger& multiplicities = approx.Multiplicities()->Array1();
    const int n = approx.NbPoles();
    TColgp_Array1OfPnt poles(1, n);
    approx.Poles(1, poles);
    const Handle(TColStd_HArray2OfReal) parameters = approx.Poles1d();
    TColgp_Array1OfPnt2d blade_poles(1, n), hub_poles(1, n);
    for (int i = 1; i <= n; ++i) {
        blade_poles(i).SetCoord(parameters->Value(i, 1), parameters->Value(i, 2));
        hub_poles(i).SetCoord(parameters->Value(i, 3), parameters->Value(i, 4));
    }
    const int degree = approx.Degree();
    BRep_Builder builder;
    const double edge_tolerance = BRep_Tool::Tolerance(edge);
    builder.UpdateEdge(edge, new Geom_BSplineCurve(poles, knots, multiplicities, degree),
                       edge_tolerance);
    builder.UpdateEdge(edge, new Geom2d_BSplineCurve(blade_poles, knots, multiplicities, degree),
                       blade, edge_tolerance);
    builder.UpdateEdge(edge, new Geom2d_BSplineCurve(hub_poles, knots, multiplicities, degree), hub,
                       edge_tolerance);
    builder.Range(edge, first, last);
}

}  // namespace

void root_seams_on_both_faces(const TopoDS_Shape& shape) {
    TopTools_IndexedDataMapOfShapeListOfShape edge_faces;
    TopExp::MapShapesAndAncestors(shape, TopAbs_EDGE, TopAbs_FACE, edge_faces);
    for (int i = 1; i <= edge_faces.Extent(); ++i) {
        const TopoDS_Edge& edge = TopoDS::Edge(edge_faces.FindKey(i));
        TopoDS_Face blade, hub;
        if (!BRep_Tool::Degenerated(edge) && seam_between(edge_faces(i), blade, hub))
            seam_on_both_faces(edge, blade, hub);
    }
}

}  // namespace korvanti_solid
