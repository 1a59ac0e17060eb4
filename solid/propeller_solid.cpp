// The solid of the propeller. The blade is a loft (OpenCASCADE's
// BRepOffsetAPI_ThruSections, B-spline surfaces of degree 3 across the rows,
// through every grid point; degree 5 overshot between the short tip row of
// the B-series and its neighbour, so that face and back crossed) through
// one closed section per grid row: the face and the back of the row as
// interpolating B-splines at the same parameters, joined by straight
// segments across blunt edges (and rows interpolated between the grid rows
// where face and back would fold over at an edge). Its two ends are closed by ruled surfaces
// between face and back, the faces are sewn into a solid. The hub is the revolution of an
// interpolating B-spline through the hub profile, split into Z faces with
// seams between the blades (a whole revolved face with Z root loops does not
// read back as one solid). One blade is fused with its sector of the hub
// (a Boolean operation), and Z turned copies of that are sewn along the
// seams; where that gives no valid solid, all blades are fused with the
// whole hub at once.
#include "propeller_solid.h"

#include <BOPTools_AlgoTools.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepBuilderAPI_Copy.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakeSolid.hxx>
#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepBuilderAPI_Sewing.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepFill.hxx>
#include <BRepGProp.hxx>
#include <BRepLib.hxx>
#include <BRepOffsetAPI_ThruSections.hxx>
#include <BRepPrimAPI_MakeRevol.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <GProp_GProps.hxx>
#include <GeomAPI_Interpolate.hxx>
#include <Geom_BSplineCurve.hxx>
#include <Geom_Curve.hxx>
#include <ShapeUpgrade_ShapeDivideAngle.hxx>
#include <Standard_Failure.hxx>
#include <TColStd_HArray1OfReal.hxx>
#include <TColgp_HArray1OfPnt.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Shell.hxx>
#include <TopoDS_Solid.hxx>
#include <TopoDS_Wire.hxx>
#include <gp_Ax1.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <cmath>
#include <future>
#include <numbers>
#include <optional>
#include <string>

#include "edge_folds.h"
#include "list_reader.h"
#include "root_seam.h"

namespace korvanti_solid {
namespace {

constexpr double mm = 1000.0;  // the files hold metres, the solid millimetres

using Row = std::vector<Point3>;

[[noreturn]] void fail(const std::string& message) { throw InputError(message); }

gp_Ax1 x_axis() { return gp_Ax1(gp_Pnt(0, 0, 0), gp_Dir(1, 0, 0)); }

// The hub profile in the frame of the panel mesh: the offsets file holds it
// before the calculator moves it along the axis to the blade's first section
// (the trailing- and leading-edge points of the first station on their
// helix) and before the mesh is shifted to put the hub's aft end at X = 0.
struct HubProfile {
    std::vector<double> x, rH;  // metres

    // Linear between the profile points: good enough to test whether a point
    // lies well inside the hub.
    double radius_at(double at) const {
        if (at <= x.front() || at >= x.back()) return 0;
        const auto it = std::upper_bound(x.begin(), x.end(), at);
        const size_t i = static_cast<size_t>(it - x.begin());
        const double t = (at - x[i - 1]) / (x[i] - x[i - 1]);
        return rH[i - 1] + t * (rH[i] - rH[i - 1]);
    }
};

double hub_axial_move(const OffsetsFile& o) {
    const double h = o.P1 / (2 * std::numbers::pi);
    const double sin_phi = h / std::hypot(o.r1, h);
    const double a_te = -o.xc_te * sin_phi;
    const double a_le = -o.xc_le * sin_phi;
    return o.xs1 * sin_phi + o.iT1 + (a_te + a_le) / 2;
}

// The shift of the panel mesh, found from the first blade node (row 2,
// trailing edge, face side), which is the grid point moved along X.
double mesh_shift(const PanelDataFile& d) {
    int hub_nodes = 0;
    for (int p = 0; p < d.hub_panels; ++p)
        for (int c : d.panels[static_cast<size_t>(p)]) hub_nodes = std::max(hub_nodes, c + 1);
    if (hub_nodes >= static_cast<int>(d.nodes.size()))
        fail("PERVDAT: the panel mesh has no blade nodes after the hub");
    const Point3& node = d.nodes[static_cast<size_t>(hub_nodes)];
    const Point3& grid = d.face[1][0];
    if (std::abs(node.y - grid.y) > 1e-4 * d.D || std::abs(node.z - grid.z) > 1e-4 * d.D)
        fail("PERVDAT: the panel mesh does not match the blade surface grid");
    return node.x - grid.x;
}

HubProfile hub_in_mesh_frame(const OffsetsFile& o, const PanelDataFile& d, double shift) {
    if (o.Z != d.Z || std::abs(o.D - d.D) > 1e-4 * d.D)
        fail("PEROF.SON and PERVDAT give different blade counts or diameters: run Korvanti again");
    const double move = hub_axial_move(o);
    HubProfile hub{o.hub_x, o.hub_rH};
    if (std::abs(std::abs(hub.x.front() + move) - shift) > 2e-3 * d.D)
        fail(
            "PEROF.SON and PERVDAT do not belong to the same run (the hub does not meet the "
            "panel mesh): run Korvanti again");
    for (double& x : hub.x) x += move + shift;
    if (hub.rH.front() > 1e-9 || hub.rH.back() > 1e-9)
        fail("PEROF.SON: the hub profile does not begin and end on the shaft axis");
    return hub;
}

struct Cylindrical {
    double x, theta, rho;
};
Cylindrical cylindrical(const Point3& p) {
    return {p.x, std::atan2(p.y, p.z), std::hypot(p.y, p.z)};
}
Point3 cartesian(const Cylindrical& c) {
    return {c.x, c.rho * std::sin(c.theta), c.rho * std::cos(c.theta)};
}

// PERVDAT lays the first row onto the hub surface; a root on the hub surface
// leaves the fuse nothing to cut. The row goes back to its own cylinder,
// keeping its axial position and its arc length from the reference line.
Row back_on_own_radius(const Row& row, double r) {
    Row out;
    for (const Point3& p : row) {
        Cylindrical c = cylindrical(p);
        c.theta *= c.rho / r;
        c.rho = r;
        out.push_back(cartesian(c));
    }
    return out;
}

bool inside_hub(const Row& row, const HubProfile& hub, double margin) {
    return std::all_of(row.begin(), row.end(), [&](const Point3& p) {
        return std::hypot(p.y, p.z) < hub.radius_at(p.x) - margin;
    });
}

// One more row at radius r1 - f·(r2 - r1), straight on from rows 1 and 2 in
// axial position and angle.
Row extrapolated_row(const Row& row1, const Row& row2, double r1, double r2, double f) {
    Row out;
    for (size_t i = 0; i < row1.size(); ++i) {
        const Cylindrical a = cylindrical(row1[i]);
        const Cylindrical b = cylindrical(row2[i]);
        out.push_back(cartesian(
            {a.x + f * (a.x - b.x), a.theta + f * (a.theta - b.theta), r1 - f * (r2 - r1)}));
    }
    return out;
}

struct BladeRows {
    std::vector<Row> face, back;  // metres, mesh frame
};

BladeRows blade_rows(const PanelDataFile& d, const HubProfile& hub, double shift) {
    BladeRows rows{d.face, d.back};
    for (auto* side : {&rows.face, &rows.back})
        for (Row& row : *side)
            for (Point3& p : row) p.x += shift;
    rows.face[0] = back_on_own_radius(rows.face[0], d.r[0]);
    rows.back[0] = back_on_own_radius(rows.back[0], d.r[0]);
    const double margin = 0.004 * d.D;
    if (inside_hub(rows.face[0], hub, margin) && inside_hub(rows.back[0], hub, margin)) return rows;
    for (double f : {0.5, 1.0, 1.5}) {
        Row face = extrapolated_row(rows.face[0], rows.face[1], d.r[0], d.r[1], f);
        Row back = extrapolated_row(rows.back[0], rows.back[1], d.r[0], d.r[1], f);
        if (d.r[0] - f * (d.r[1] - d.r[0]) > 0 && inside_hub(face, hub, margin) &&
            inside_hub(back, hub, margin)) {
            rows.face.insert(rows.face.begin(), std::move(face));
            rows.back.insert(rows.back.begin(), std::move(back));
            return rows;
        }
    }
    fail("PERVDAT: the blade root cannot be carried inside the hub");
}

gp_Pnt to_mm(const Point3& p) { return gp_Pnt(p.x * mm, p.y * mm, p.z * mm); }

Handle(Geom_BSplineCurve) interpolate(const Row& row, bool reversed) {
    const int n = static_cast<int>(row.size());
    Handle(TColgp_HArray1OfPnt) points = new TColgp_HArray1OfPnt(1, n);
    Handle(TColStd_HArray1OfReal) parameters = new TColStd_HArray1OfReal(1, n);
    for (int i = 1; i <= n; ++i) {
        points->SetValue(i, to_mm(row[static_cast<size_t>(reversed ? n - i : i - 1)]));
        parameters->SetValue(i, static_cast<double>(i - 1) / (n - 1));
    }
    GeomAPI_Interpolate fit(points, parameters, false, 1e-7);
    fit.Perform();
    if (!fit.IsDone()) fail("OpenCASCADE could not fit a B-spline through a blade section");
    return fit.Curve();
}

// Whether the face and the back meet at an edge (point 0 or the last) in
// every row; blunt in every row otherwise, anything else is refused.
bool sharp_edge(const BladeRows& rows, size_t point, const char* name) {
    int sharp = 0;
    for (size_t k = 0; k < rows.face.size(); ++k) {
        const Point3& f = rows.face[k][point];
        const Point3& b = rows.back[k][point];
        if (std::hypot(f.x - b.x, f.y - b.y, f.z - b.z) < 5e-6) ++sharp;
    }
    if (sharp != 0 && sharp != static_cast<int>(rows.face.size()))
        fail(std::string("PERVDAT: the ") + name + " is sharp at some radii and blunt at others");
    return sharp != 0;
}

// One closed section of the blade: its face and back as B-splines from the
// trailing edge to the leading edge and back, straight across blunt edges.
struct Section {
    TopoDS_Wire wire;
    TopoDS_Edge face, back;  // the back from the leading edge to the trailing edge
};

Section section(const Row& face, const Row& back, bool sharp_te, bool sharp_le) {
    const TopoDS_Vertex te_face = BRepBuilderAPI_MakeVertex(to_mm(face.front()));
    const TopoDS_Vertex le_face = BRepBuilderAPI_MakeVertex(to_mm(face.back()));
    const TopoDS_Vertex te_back =
        sharp_te ? te_face : TopoDS_Vertex(BRepBuilderAPI_MakeVertex(to_mm(back.front())));
    const TopoDS_Vertex le_back =
        sharp_le ? le_face : TopoDS_Vertex(BRepBuilderAPI_MakeVertex(to_mm(back.back())));
    Row back_fit = back;
    if (sharp_te) back_fit.front() = face.front();
    if (sharp_le) back_fit.back() = face.back();
    Section s;
    s.face = BRepBuilderAPI_MakeEdge(interpolate(face, false), te_face, le_face);
    s.back = BRepBuilderAPI_MakeEdge(interpolate(back_fit, true), le_back, te_back);
    BRepBuilderAPI_MakeWire wire;
    wire.Add(s.face);
    if (!sharp_le) wire.Add(BRepBuilderAPI_MakeEdge(le_face, le_back));
    wire.Add(s.back);
    if (!sharp_te) wire.Add(BRepBuilderAPI_MakeEdge(te_back, te_face));
    if (!wire.IsDone()) fail("OpenCASCADE could not close a blade section");
    s.wire = wire.Wire();
    return s;
}

// The end of the blade closed by the ruled surface between the section's
// face and back: straight lines across the thickness at equal parameters,
// the straight edges of a blunt section at its ends (a point at a sharp
// one). Both curves are the surface's boundaries, so the cap's edges lie on
// it exactly; a filling surface only came near them (by up to 2 µm at
// the tip), more than its edges' tolerances said.
TopoDS_Face end_cap(const Section& s) {
    const TopoDS_Face cap = BRepFill::Face(s.face, TopoDS::Edge(s.back.Reversed()));
    if (cap.IsNull()) fail("OpenCASCADE could not close the blade at the root or the tip");
    return cap;
}

TopoDS_Solid sewn_solid(const std::vector<TopoDS_Shape>& pieces, const char* what) {
    BRepBuilderAPI_Sewing sewing(1e-3);
    for (const TopoDS_Shape& s : pieces) sewing.Add(s);
    sewing.Perform();
    const TopoDS_Shape sewn = sewing.SewedShape();
    TopExp_Explorer shells(sewn, TopAbs_SHELL);
    if (!shells.More()) fail(std::string("OpenCASCADE could not sew ") + what + " into a shell");
    BRepBuilderAPI_MakeSolid make(TopoDS::Shell(shells.Current()));
    if (!make.IsDone()) fail(std::string("OpenCASCADE could not make a solid of ") + what);
    TopoDS_Solid solid = make.Solid();
    BRepLib::OrientClosedSolid(solid);
    return solid;
}

// The loft's surfaces pass through the root and tip sections only within
// the approximation's reach (up to a few micrometres at a wide tip), their
// edges' curves in space are the sections themselves. Those edges take the
// surface's own boundary instead, so that the edge lies on its face exactly;
// the caps are then made on these edges.
void ends_on_loft_surface(const TopoDS_Shape& loft) {
    TopTools_IndexedDataMapOfShapeListOfShape edge_faces;
    TopExp::MapShapesAndAncestors(loft, TopAbs_EDGE, TopAbs_FACE, edge_faces);
    BRep_Builder builder;
    for (int i = 1; i <= edge_faces.Extent(); ++i) {
        const TopoDS_Edge& edge = TopoDS::Edge(edge_faces.FindKey(i));
        if (edge_faces(i).Extent() != 1 || BRep_Tool::Degenerated(edge)) continue;
        const double tolerance = BRep_Tool::Tolerance(edge);
        builder.UpdateEdge(edge, Handle(Geom_Curve)(), tolerance);
        if (!BRepLib::BuildCurve3d(edge, 1e-8, GeomAbs_C1, 14, 0))
            fail("OpenCASCADE could not rebuild an edge at the end of the blade");
        builder.SameParameter(edge, false);
        BRepLib::SameParameter(edge, 1e-8);
    }
}

// True where the back lies on the face at every point of the grid: such a
// blade encloses no volume, and is refused before OpenCASCADE lofts and fuses
// it (the fuse would drop it and leave the hub alone).
bool without_thickness(const BladeRows& rows) {
    for (size_t k = 0; k < rows.face.size(); ++k)
        for (size_t i = 0; i < rows.face[k].size(); ++i) {
            const Point3& f = rows.face[k][i];
            const Point3& b = rows.back[k][i];
            if (std::hypot(f.x - b.x, f.y - b.y, f.z - b.z) > 1e-9) return false;
        }
    return true;
}

TopoDS_Shape lofted_blade(const BladeRows& rows, bool sharp_te, bool sharp_le) {
    BRepOffsetAPI_ThruSections loft(false, false, 1e-6);
    loft.CheckCompatibility(false);
    loft.SetMaxDegree(3);
    std::vector<Section> sections;
    for (size_t k = 0; k < rows.face.size(); ++k) {
        sections.push_back(section(rows.face[k], rows.back[k], sharp_te, sharp_le));
        loft.AddWire(sections.back().wire);
    }
    loft.Build();
    if (!loft.IsDone()) fail("OpenCASCADE could not loft the blade surfaces through the grid");
    ends_on_loft_surface(loft.Shape());
    const TopoDS_Shape solid =
        sewn_solid({loft.Shape(), end_cap(sections.front()), end_cap(sections.back())}, "a blade");
    if (!BRepCheck_Analyzer(solid).IsValid()) fail("OpenCASCADE made an invalid blade solid");
    return solid;
}

double row_radius(const Row& row) { return cylindrical(row.front()).rho; }

// The grid rows and more rows at the radii `extra`: every grid point's axial
// position and angle as a cubic spline in the radius through the rows (an
// interpolating B-spline at the rows' radii), the new row on its own
// cylinder. Interpolated in these coordinates the sections keep their shape
// where the blade turns about the axis between rows.
BladeRows with_rows_at(const BladeRows& rows, std::vector<double> extra) {
    std::sort(extra.begin(), extra.end());
    const size_t n = rows.face.size();
    BladeRows out;
    for (auto [side, to] : {std::pair{&rows.face, &out.face}, std::pair{&rows.back, &out.back}}) {
        std::vector<Row> added(extra.size(), Row((*side)[0].size()));
        for (size_t i = 0; i < (*side)[0].size(); ++i) {
            Handle(TColgp_HArray1OfPnt) points = new TColgp_HArray1OfPnt(1, static_cast<int>(n));
            Handle(TColStd_HArray1OfReal) radii = new TColStd_HArray1OfReal(1, static_cast<int>(n));
            for (size_t k = 0; k < n; ++k) {
                const Cylindrical c = cylindrical((*side)[k][i]);
                points->SetValue(static_cast<int>(k + 1), gp_Pnt(c.x, c.theta, c.rho));
                radii->SetValue(static_cast<int>(k + 1), c.rho);
            }
            GeomAPI_Interpolate fit(points, radii, false, 1e-12);
            fit.Perform();
            if (!fit.IsDone()) fail("OpenCASCADE could not fit a spline across the blade rows");
            for (size_t e = 0; e < extra.size(); ++e) {
                const gp_Pnt q = fit.Curve()->Value(extra[e]);
                added[e][i] = cartesian({q.X(), q.Y(), extra[e]});
            }
        }
        size_t e = 0;
        for (size_t k = 0; k < n; ++k) {
            for (; e < extra.size() && extra[e] < row_radius((*side)[k]); ++e)
                to->push_back(added[e]);
            to->push_back((*side)[k]);
        }
    }
    return out;
}

// The radius midway across every interval between rows (`radii`, rising)
// that holds one of the folds (radii in mm); a fold beyond the first or the
// last row counts to the interval next to it.
std::vector<double> midway_at_folds(const std::vector<double>& radii,
                                    const std::vector<double>& folds) {
    std::vector<double> midway;
    for (double fold : folds) {
        size_t k = 1;
        while (k + 1 < radii.size() && radii[k] * mm < fold) ++k;
        const double m = (radii[k - 1] + radii[k]) / 2;
        if (std::find(midway.begin(), midway.end(), m) == midway.end()) midway.push_back(m);
    }
    return midway;
}

// The blade lofted through the grid rows. Where its face and back fold over
// at an edge, more rows are laid midway between the two rows around the
// fold, interpolated across the rows, until no edge folds (a few rounds at
// most; elsewhere the blade goes through the grid rows alone).
TopoDS_Shape blade_solid(const BladeRows& rows) {
    if (without_thickness(rows))
        fail("PERVDAT: the back of the blade lies on its face: the blade encloses no volume");
    const bool sharp_te = sharp_edge(rows, 0, "trailing edge");
    const bool sharp_le = sharp_edge(rows, rows.face[0].size() - 1, "leading edge");
    std::vector<double> extra;
    for (int round = 0;; ++round) {
        const BladeRows lofted = extra.empty() ? rows : with_rows_at(rows, extra);
        TopoDS_Shape solid = lofted_blade(lofted, sharp_te, sharp_le);
        const std::vector<double> folds = radii_of_folds(solid);
        if (folds.empty() || round == 4) return solid;
        std::vector<double> radii;
        for (const Row& row : lofted.face) radii.push_back(row_radius(row));
        for (double m : midway_at_folds(radii, folds)) extra.push_back(m);
    }
}

// The hub profile as an interpolating B-spline in the plane at `angle` from
// +Z towards +Y.
Handle(Geom_BSplineCurve) hub_curve(const HubProfile& hub, double angle) {
    const gp_Dir radial(0, std::sin(angle), std::cos(angle));
    const int n = static_cast<int>(hub.x.size());
    Handle(TColgp_HArray1OfPnt) points = new TColgp_HArray1OfPnt(1, n);
    for (int i = 1; i <= n; ++i) {
        const double r = hub.rH[static_cast<size_t>(i - 1)] * mm;
        points->SetValue(
            i, gp_Pnt(hub.x[static_cast<size_t>(i - 1)] * mm, r * radial.Y(), r * radial.Z()));
    }
    GeomAPI_Interpolate fit(points, false, 1e-7);
    // Both ends cross the axis at right angles: a round nose, no point. The
    // parameter is the chord length, so a unit tangent is the natural speed;
    // OpenCASCADE's scaling of the tangents would make the curve, and the
    // nose, depend on the plane it is fitted in (B4-55's hub: 0.24 % of its
    // volume between the plane at 45° and the plane through +Z).
    fit.Load(gp_Vec(radial), gp_Vec(radial).Reversed(), false);
    fit.Perform();
    if (!fit.IsDone()) fail("OpenCASCADE could not fit a B-spline through the hub profile");
    return fit.Curve();
}

// The hub profile closed along the shaft axis: the plane face that is turned
// about the axis, in the plane at `angle`.
TopoDS_Face meridian_face(const HubProfile& hub, double angle) {
    const Handle(Geom_BSplineCurve) curve = hub_curve(hub, angle);
    const TopoDS_Vertex aft = BRepBuilderAPI_MakeVertex(curve->StartPoint());
    const TopoDS_Vertex fore = BRepBuilderAPI_MakeVertex(curve->EndPoint());
    BRepBuilderAPI_MakeWire wire(BRepBuilderAPI_MakeEdge(curve, aft, fore),
                                 BRepBuilderAPI_MakeEdge(fore, aft));
    return BRepBuilderAPI_MakeFace(wire.Wire(), true);
}

// The angles (from +Z towards +Y) that some points of the blade span.
struct Span {
    double low = std::numbers::pi, high = -std::numbers::pi;
    void add(double theta) {
        low = std::min(low, theta);
        high = std::max(high, theta);
    }
    double width() const { return high - low; }
    double middle() const { return (low + high) / 2; }
};

// The angle midway across the blade's root, its first two rows, the part of
// the blade inside the hub.
double root_angle(const BladeRows& rows) {
    Span s;
    for (const auto* side : {&rows.face, &rows.back})
        for (size_t k = 0; k < 2; ++k)
            for (const Point3& p : (*side)[k]) s.add(cylindrical(p).theta);
    return s.middle();
}

// The widest root a hub sector of 360°/Z holds: a degree of margin to
// either of its boundaries.
double sector_room(int Z) { return 2 * std::numbers::pi / Z - 2 * std::numbers::pi / 180; }

// One sector of the revolved hub, the wedge between the seams midway to the
// neighbouring blades (angles `middle` - 180°/Z to `middle` + 180°/Z, with
// `middle` the angle of the blade's root).
TopoDS_Shape hub_sector(const HubProfile& hub, int Z, double middle, bool whole = false) {
    const double seam = std::numbers::pi / Z;  // from +Z towards +Y, like the blade's angle
    const TopoDS_Face meridian = meridian_face(hub, middle + seam);
    // Turning by +a about X takes the angle from +Z towards +Y down by a.
    BRepPrimAPI_MakeRevol revolve(meridian, x_axis(), whole ? 2 * std::numbers::pi : 2 * seam);
    if (!revolve.IsDone()) fail("OpenCASCADE could not revolve the hub profile");
    if (!whole) return revolve.Shape();
    // The whole hub, its surface split into Z faces with seams between blades.
    ShapeUpgrade_ShapeDivideAngle divide(2 * seam + 1e-9, revolve.Shape());
    divide.Perform();
    return divide.Result();
}

// The blade where it lies inside the hub and where it leaves it: its rows
// up to the first that lies wholly outside the hub, with points between
// neighbouring rows and between neighbouring points of a row, so that no
// part of the root between the grid points is missed.
std::vector<Cylindrical> root_footprint(const BladeRows& rows, const HubProfile& hub) {
    const auto outside = [&](const Row& row) {
        return std::all_of(row.begin(), row.end(), [&](const Point3& p) {
            return std::hypot(p.y, p.z) > hub.radius_at(p.x);
        });
    };
    size_t last = 1;
    while (last + 1 < rows.face.size() && !(outside(rows.face[last]) && outside(rows.back[last])))
        ++last;
    std::vector<Cylindrical> points;
    constexpr int steps = 4;
    for (const auto* side : {&rows.face, &rows.back})
        for (size_t k = 0; k < last; ++k)
            for (size_t i = 0; i + 1 < (*side)[k].size(); ++i)
                for (int a = 0; a <= steps; ++a)
                    for (int b = 0; b <= steps; ++b) {
                        const double s = static_cast<double>(a) / steps;
                        const double t = static_cast<double>(b) / steps;
                        const Point3& p00 = (*side)[k][i];
                        const Point3& p01 = (*side)[k][i + 1];
                        const Point3& p10 = (*side)[k + 1][i];
                        const Point3& p11 = (*side)[k + 1][i + 1];
                        const auto mix = [&](double u, double v, double w, double z) {
                            return (1 - s) * ((1 - t) * u + t * v) + s * ((1 - t) * w + t * z);
                        };
                        points.push_back(cylindrical({mix(p00.x, p01.x, p10.x, p11.x),
                                                      mix(p00.y, p01.y, p10.y, p11.y),
                                                      mix(p00.z, p01.z, p10.z, p11.z)}));
                    }
    return points;
}

// The angles that the points of the root between X = `from` and `to` span.
Span span(const std::vector<Cylindrical>& points, double from, double to) {
    Span s;
    for (const Cylindrical& c : points)
        if (c.x >= from && c.x <= to) s.add(c.theta);
    return s;
}

// A hub sector whose boundary steps where the root is wider than 360°/Z: aft
// of the plane X = `step` (mm) it spans `aft_middle` ± 180°/Z, forward of it
// `fore_middle` ± 180°/Z. Each boundary is two half-planes through the axis
// joined by a piece of the plane X = `step`, and the one is the other turned
// by 360°/Z, so that the Z turned sectors fill the hub exactly.
struct Staircase {
    double step = 0, aft_middle = 0, fore_middle = 0;
};

// The step that leaves the aft and the fore part of the root each within
// its half of the staircase, with a margin of a degree to either boundary;
// none where no one step will do.
std::optional<Staircase> staircase(const std::vector<Cylindrical>& root, int Z, double D) {
    const double room = sector_room(Z);
    const double axial_margin = 0.002 * D;
    const auto [first, last] =
        std::minmax_element(root.begin(), root.end(),
                            [](const Cylindrical& a, const Cylindrical& b) { return a.x < b.x; });
    const double low = first->x, high = last->x;
    std::optional<Staircase> best;
    double best_width = room;
    constexpr int candidates = 64;
    for (int i = 1; i < candidates; ++i) {
        const double step = low + (high - low) * i / candidates;
        const Span aft = span(root, low, step + axial_margin);
        const Span fore = span(root, step - axial_margin, high);
        const double width = std::max(aft.width(), fore.width());
        if (width < best_width) {
            best_width = width;
            best = Staircase{step * mm, aft.middle(), fore.middle()};
        }
    }
    return best;
}

// The part of the hub profile (`curve`, in the plane through +Z) aft (or
// forward) of X = `step` (mm), closed along the axis and across the hub at
// the step.
TopoDS_Face meridian_part(const Handle(Geom_BSplineCurve) & curve, double step, bool aft) {
    double u0 = curve->FirstParameter(), u1 = curve->LastParameter();
    for (int i = 0; i < 100; ++i) {  // X runs forward along the profile
        const double u = (u0 + u1) / 2;
        (curve->Value(u).X() < step ? u0 : u1) = u;
    }
    const double u = (u0 + u1) / 2;
    const gp_Pnt rim = curve->Value(u);
    const gp_Pnt axis(rim.X(), 0, 0);
    const gp_Pnt end = aft ? curve->StartPoint() : curve->EndPoint();
    BRepBuilderAPI_MakeWire wire;
    if (aft)
        wire.Add(BRepBuilderAPI_MakeEdge(curve, curve->FirstParameter(), u));
    else
        wire.Add(BRepBuilderAPI_MakeEdge(curve, u, curve->LastParameter()));
    wire.Add(BRepBuilderAPI_MakeEdge(aft ? rim : end, axis));
    wire.Add(BRepBuilderAPI_MakeEdge(axis, aft ? end : rim));
    if (!wire.IsDone()) fail("OpenCASCADE could not split the hub profile");
    return BRepBuilderAPI_MakeFace(wire.Wire(), true);
}

// The face in the plane through +Z turned about the axis over the angles
// `from` to `to` (from +Z towards +Y).
TopoDS_Shape revolved(const TopoDS_Face& face, double from, double to) {
    gp_Trsf turn;
    turn.SetRotation(x_axis(), -to);  // turning by +a takes the angle down by a
    BRepPrimAPI_MakeRevol revolve(BRepBuilderAPI_Transform(face, turn, true).Shape(), x_axis(),
                                  to - from);
    if (!revolve.IsDone()) fail("OpenCASCADE could not revolve the hub profile");
    return revolve.Shape();
}

// The stepped hub sector in four parts: the part of the profile that reaches
// lower turned from its lower boundary to the other part's, and from there
// to its upper boundary; the other part turned over the same angles and on to
// its upper boundary. Every edge on a boundary of the sector (the arcs of the
// step on the hub surface, the profile's parts at the seams) is then the
// whole edge of a face, as its turned copy is, so that the mesher divides the
// two alike and the meshes of the turned sectors meet.
TopoDS_Compound stepped_hub_sector(const HubProfile& hub, int Z, const Staircase& stairs) {
    const double seam = std::numbers::pi / Z;
    const bool aft_lower = stairs.aft_middle <= stairs.fore_middle;
    const double low = std::min(stairs.aft_middle, stairs.fore_middle) - seam;
    const double high = std::max(stairs.aft_middle, stairs.fore_middle) - seam;
    TopoDS_Compound parts;
    BRep_Builder builder;
    builder.MakeCompound(parts);
    const Handle(Geom_BSplineCurve) profile = hub_curve(hub, 0);
    const TopoDS_Face lower = meridian_part(profile, stairs.step, aft_lower);
    const TopoDS_Face upper = meridian_part(profile, stairs.step, !aft_lower);
    builder.Add(parts, revolved(lower, low, high));
    builder.Add(parts, revolved(lower, high, low + 2 * seam));
    builder.Add(parts, revolved(upper, high, low + 2 * seam));
    builder.Add(parts, revolved(upper, low + 2 * seam, high + 2 * seam));
    return parts;
}

// The hub sector the blade is fused with: the wedge of 360°/Z centred on the
// root where the root fits in it, else the stepped sector whose two parts
// each hold their part of the root (a root wider than its sector, B5-75's).
TopoDS_Shape blade_hub_sector(const HubProfile& hub, const BladeRows& rows, int Z, double D) {
    const std::vector<Cylindrical> root = root_footprint(rows, hub);
    if (span(root, -1e9, 1e9).width() >= sector_room(Z))
        if (const std::optional<Staircase> stairs = staircase(root, Z, D))
            return stepped_hub_sector(hub, Z, *stairs);
    // A skewed root may reach beyond ±180°/Z: the sector is centred on it.
    return hub_sector(hub, Z, root_angle(rows));
}

bool planar(const TopoDS_Face& face) {
    return BRepAdaptor_Surface(face).GetType() == GeomAbs_Plane;
}

// The outer faces of one sector (its hub surface with the blade root cut out,
// and the blade outside the hub), without the two planes between sectors.
TopoDS_Compound sector_surface(const TopoDS_Shape& sector) {
    TopoDS_Compound faces;
    BRep_Builder builder;
    builder.MakeCompound(faces);
    for (TopExp_Explorer e(sector, TopAbs_FACE); e.More(); e.Next())
        if (!planar(TopoDS::Face(e.Current()))) builder.Add(faces, e.Current());
    return faces;
}

// The Z sectors sewn into one solid; a null shape where sewing fails.
TopoDS_Shape sewn_sectors(const TopoDS_Compound& surface, int Z) {
    BRepBuilderAPI_Sewing sewing(1e-3);
    for (int b = 0; b < Z; ++b)
        sewing.Add(BRepBuilderAPI_Transform(surface, blade_turn(b, Z), true).Shape());
    sewing.Perform();
    TopExp_Explorer shells(sewing.SewedShape(), TopAbs_SHELL);
    if (!shells.More()) return {};
    BRepBuilderAPI_MakeSolid make(TopoDS::Shell(shells.Current()));
    if (!make.IsDone()) return {};
    TopoDS_Solid solid = make.Solid();
    BRepLib::OrientClosedSolid(solid);
    return solid;
}

// The hub (or a sector of it) and the blades fused in one Boolean operation,
// which must give one solid.
TopoDS_Shape fused(const TopoDS_Shape& hub, const TopTools_ListOfShape& blades, const char* what) {
    TopTools_ListOfShape arguments;
    arguments.Append(hub);
    BRepAlgoAPI_Fuse fuse;
    fuse.SetArguments(arguments);
    fuse.SetTools(blades);
    fuse.SetRunParallel(true);
    fuse.Build();
    if (!fuse.IsDone() || fuse.HasErrors())
        fail(std::string("OpenCASCADE could not fuse ") + what + " with the hub");
    TopTools_IndexedMapOfShape solids;
    TopExp::MapShapes(fuse.Shape(), TopAbs_SOLID, solids);
    if (solids.Extent() != 1)
        fail(std::string("fusing ") + what + " with the hub gave " +
             std::to_string(solids.Extent()) + " solids instead of one");
    // A blade without thickness (its face and back on one another) makes a
    // valid solid of no volume, which the fuse drops: the hub alone is left.
    bool blade_left = false;
    for (TopExp_Explorer e(solids(1), TopAbs_FACE); e.More() && !blade_left; e.Next())
        blade_left =
            BRepAdaptor_Surface(TopoDS::Face(e.Current())).GetType() == GeomAbs_BSplineSurface;
    if (!blade_left)
        fail(std::string("fusing ") + what +
             " with the hub left the hub alone: the blade surfaces of PERVDAT enclose no volume");
    return solids(1);
}

// The largest distance between the edge's curve in space and its curve on
// the face, found as OpenCASCADE's Boolean argument check finds it (by
// searching the maximum, not at a few samples).
double curve_on_face_distance(const TopoDS_Edge& edge, const TopoDS_Face& face) {
    double distance = 0, parameter = 0;
    return BOPTools_AlgoTools::ComputeTolerance(face, edge, distance, parameter) ? distance : 0;
}

// Every edge's tolerance (and its vertices') raised to the largest distance
// between its curve in space and its curves on its faces: the fuse leaves
// some edges where blade and hub meet with tolerances below that, which the
// Boolean operations of a CAD user then trip over.
void true_tolerances(const TopoDS_Shape& shape) {
    TopTools_IndexedDataMapOfShapeListOfShape edge_faces;
    TopExp::MapShapesAndAncestors(shape, TopAbs_EDGE, TopAbs_FACE, edge_faces);
    BRep_Builder builder;
    for (int i = 1; i <= edge_faces.Extent(); ++i) {
        const TopoDS_Edge& edge = TopoDS::Edge(edge_faces.FindKey(i));
        if (BRep_Tool::Degenerated(edge)) continue;
        double tolerance = BRep_Tool::Tolerance(edge);
        for (const TopoDS_Shape& f : edge_faces(i)) {
            const TopoDS_Face& face = TopoDS::Face(f);
            double distance = curve_on_face_distance(edge, face);
            tolerance = std::max(tolerance, distance);
        }
        if (tolerance <= BRep_Tool::Tolerance(edge)) continue;
        builder.UpdateEdge(edge, tolerance);
        for (TopExp_Explorer v(edge, TopAbs_VERTEX); v.More(); v.Next())
            builder.UpdateVertex(TopoDS::Vertex(v.Current()), tolerance);
    }
}

// All blades fused with the whole hub in one Boolean operation.
TopoDS_Shape fused_whole(const TopoDS_Shape& blade, const TopoDS_Shape& hub, int Z) {
    TopTools_ListOfShape blades;
    for (int b = 0; b < Z; ++b)
        blades.Append(BRepBuilderAPI_Transform(blade, blade_turn(b, Z), true).Shape());
    const TopoDS_Shape solid = fused(hub, blades, "the blades");
    root_seams_on_both_faces(solid);
    true_tolerances(solid);
    if (!BRepCheck_Analyzer(solid).IsValid())
        fail("fusing the blades with the hub gave an invalid solid");
    return solid;
}

// The whole hub's volume by Pappus's rule: the meridian's area times the
// length of the circle its centroid describes. Far quicker than integrating
// over the revolved surface, and more accurate.
double hub_volume(const HubProfile& hub) {
    GProp_GProps props;
    BRepGProp::SurfaceProperties(meridian_face(hub, 0), props, 1e-9);
    const gp_Pnt centroid = props.CentreOfMass();
    return props.Mass() * 2 * std::numbers::pi * std::hypot(centroid.Y(), centroid.Z());
}

struct SectorFigures {
    double volume = 0, area = 0;  // mm³, mm² of the outer faces
};

// Exact volumes need a tight tolerance: OpenCASCADE's default left one
// shape 7 % off.
SectorFigures sector_figures(const TopoDS_Shape& sector) {
    GProp_GProps volume, area;
    BRepGProp::VolumeProperties(sector, volume, 1e-6);
    BRepGProp::SurfaceProperties(sector_surface(sector), area, 1e-6);
    return {volume.Mass(), area.Mass()};
}

}  // namespace

gp_Trsf blade_turn(int b, int Z) {
    gp_Trsf turn;
    turn.SetRotation(x_axis(), b * 2 * std::numbers::pi / Z);
    return turn;
}

PropellerSolid build_propeller_solid(const PanelDataFile& panels, const OffsetsFile& offsets) {
    PropellerSolid result;
    try {
        result.mesh_shift = mesh_shift(panels);
        const HubProfile hub = hub_in_mesh_frame(offsets, panels, result.mesh_shift);
        const BladeRows rows = blade_rows(panels, hub, result.mesh_shift);
        const TopoDS_Shape blade = blade_solid(rows);
        const TopoDS_Shape sector = blade_hub_sector(hub, rows, panels.Z, panels.D);
        // The blade is fused with its own sector of the hub only; the Z
        // sectors are then sewn together along their seams. One Boolean
        // operation on all blades at once took several times longer, and is
        // the way taken only where the sectors do not give a valid solid.
        TopTools_ListOfShape blades;
        blades.Append(blade);
        const TopoDS_Shape piece = fused(sector, blades, "the blade");
        root_seams_on_both_faces(piece);
        true_tolerances(piece);
        // The sector's volume and area are integrated on a second thread, on
        // a copy of their own, while the sectors are sewn.
        std::future<SectorFigures> figures =
            std::async(std::launch::async, sector_figures, BRepBuilderAPI_Copy(piece).Shape());
        const TopoDS_Compound surface = sector_surface(piece);
        result.Z = panels.Z;
        result.shape = sewn_sectors(surface, panels.Z);
        if (!result.shape.IsNull() && BRepCheck_Analyzer(result.shape).IsValid()) {
            result.sector_surface = surface;
        } else {
            result.shape =
                fused_whole(blade, hub_sector(hub, panels.Z, root_angle(rows), true), panels.Z);
        }
        // Every sector is the same: its figures times Z.
        const SectorFigures measured = figures.get();
        result.volume = panels.Z * measured.volume;
        result.area = panels.Z * measured.area;
        result.hub_volume = hub_volume(hub);
        result.blade_volume = (result.volume - result.hub_volume) / panels.Z;
    } catch (const Standard_Failure& failure) {
        fail(std::string("OpenCASCADE failed while building the solid: ") +
             failure.GetMessageString());
    }
    return result;
}

}  // namespace korvanti_solid
