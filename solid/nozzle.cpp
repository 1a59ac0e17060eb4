// Nozzle 19A as a solid of revolution. Method: the published profile
// (Oosterveld 1970, "Wake adapted ducted propellers", NSMB Publ. 345; Kuiper
// 1992, "The Wageningen Propeller Series", MARIN Publ. 92-001; L/D = 0.5,
// ordinates from the inner cylinder) closed in the meridian plane by five
// edges: the rounded nose, an interpolating B-spline from the end of the
// outer table values round the leading edge to the start of the inner
// cylinder, tangent to the outer straight line at one end and to the
// cylinder at the other; the inner cylinder, a straight line; the inner
// surface aft of it, an interpolating B-spline leaving the cylinder
// tangentially; the blunt trailing edge, a radial line; and the outer
// surface, the straight line of the table. The face is turned about the
// shaft axis. Its volume is Pappus's: the face's area times the length of
// the circle its centroid describes.
#include "nozzle.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakeRevol.hxx>
#include <BRepTools.hxx>
#include <BRepTools_WireExplorer.hxx>
#include <BRep_Builder.hxx>
#include <Bnd_Box.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <GProp_GProps.hxx>
#include <GeomAPI_Interpolate.hxx>
#include <Standard_Failure.hxx>
#include <TColStd_HArray1OfBoolean.hxx>
#include <TColgp_Array1OfVec.hxx>
#include <TColgp_HArray1OfPnt.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>
#include <gp_Ax1.hxx>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <system_error>

#include "list_reader.h"

namespace korvanti_solid {
namespace fs = std::filesystem;

namespace {

constexpr const char* profile_name = "nozzle-19a.tsv";

bool is_file(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// Whether `inner` lies in the folder `outer` or below it.
bool lies_in(const fs::path& inner, const fs::path& outer) {
    std::error_code ec;
    const fs::path a = fs::weakly_canonical(inner, ec);
    if (ec) return false;
    const fs::path b = fs::weakly_canonical(outer, ec);
    if (ec || b.empty()) return false;
    const auto [stop, unused] = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
    return stop == b.end();
}

[[noreturn]] void damaged(const std::string& name, int line, const std::string& what) {
    throw InputError(name + ", line " + std::to_string(line) + ": " + what);
}

std::vector<std::string> tab_fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t')) fields.push_back(field);
    return fields;
}

double number(const std::string& name, int line, const std::string& field) {
    double value = 0;
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        damaged(name, line, "\"" + field + "\" is not a number");
    return value;
}

// The rows must make a closed profile of the 19A kind: a sharp leading edge
// at x = 0, a cylinder with ordinate 0, the outer straight line to x = 1.
void check_profile(const std::string& name, const NozzleProfile& p,
                   const std::vector<std::string>& kinds, const std::vector<int>& lines) {
    const size_t n = p.x.size();
    if (n < 6) throw InputError(name + ": the profile has fewer than 6 rows");
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && !(p.x[i] > p.x[i - 1])) damaged(name, lines[i], "x/L does not increase");
        if (p.inner[i] < 0 || p.outer[i] > 1 || p.outer[i] < p.inner[i] ||
            (i > 0 && p.outer[i] == p.inner[i]))
            damaged(name, lines[i], "the ordinates do not make a profile");
    }
    if (p.x.front() != 0 || p.x.back() != 1 || p.inner.front() != p.outer.front() ||
        kinds.front() != "leading edge" || kinds.back() != "table")
        throw InputError(name +
                         ": the profile does not run from a leading edge at x/L = 0 to a table "
                         "row at x/L = 1");
    const auto line_row = std::find(kinds.begin(), kinds.end(), "straight line");
    const auto cylinder_row = std::find(p.inner.begin() + 1, p.inner.end(), 0.0);
    if (line_row == kinds.end() || cylinder_row == p.inner.end())
        throw InputError(name + ": the profile has no outer straight line or no inner cylinder");
    const size_t from = static_cast<size_t>(line_row - kinds.begin()) - 1;
    const size_t c0 = static_cast<size_t>(cylinder_row - p.inner.begin());
    size_t c1 = c0;
    while (c1 + 1 < n && p.inner[c1 + 1] == 0) ++c1;
    if (from < 2 || c1 == c0 || c1 + 2 >= n)
        throw InputError(name + ": the nose, the inner cylinder or the part aft of it is missing");
    // The rows marked as the straight line lie on it, to the table's rounding.
    const double slope = (p.outer[n - 1] - p.outer[from]) / (p.x[n - 1] - p.x[from]);
    for (size_t i = from + 1; i + 1 < n; ++i) {
        if (kinds[i] != "straight line")
            damaged(name, lines[i], "a table value inside the outer straight line");
        if (std::abs(p.outer[from] + slope * (p.x[i] - p.x[from]) - p.outer[i]) > 1.5e-4)
            damaged(name, lines[i], "the outer ordinate is off the straight line");
    }
    for (size_t i = c0; i <= c1; ++i)
        if (p.inner[i] != 0) damaged(name, lines[i], "the inner cylinder is interrupted");
}

// A point of the profile: fraction `x` of the length from the leading edge,
// `y` of it outward from the inner cylinder, in the plane Y = 0.
struct Placement {
    double L, inner_radius, leading_edge_x;
    gp_Pnt operator()(double x, double y) const {
        return gp_Pnt(leading_edge_x + L * x, 0, inner_radius + L * y);
    }
};

// An interpolating B-spline through the points, with the given unit
// tangents at the first and (when not null) the last point. Its parameter is
// the chord length, so a unit tangent is the natural speed.
TopoDS_Edge spline_edge(const std::vector<gp_Pnt>& points, const gp_Vec& start, const gp_Vec* end) {
    const int n = static_cast<int>(points.size());
    Handle(TColgp_HArray1OfPnt) poles = new TColgp_HArray1OfPnt(1, n);
    for (int i = 1; i <= n; ++i) poles->SetValue(i, points[static_cast<size_t>(i - 1)]);
    GeomAPI_Interpolate fit(poles, false, 1e-7);
    TColgp_Array1OfVec tangents(1, n);
    Handle(TColStd_HArray1OfBoolean) given = new TColStd_HArray1OfBoolean(1, n, false);
    tangents.SetValue(1, start);
    given->SetValue(1, true);
    if (end != nullptr) {
        tangents.SetValue(n, *end);
        given->SetValue(n, true);
    }
    fit.Load(tangents, given, false);
    fit.Perform();
    if (!fit.IsDone()) throw InputError("OpenCASCADE could not fit the nozzle profile");
    return BRepBuilderAPI_MakeEdge(fit.Curve());
}

TopoDS_Face profile_face(const NozzleProfile& p, const Placement& at) {
    const size_t n = p.x.size();
    const gp_Pnt join = at(p.x[p.outer_line_from], p.outer[p.outer_line_from]);
    const gp_Pnt te_outer = at(1, p.outer[n - 1]);
    const gp_Pnt te_inner = at(1, p.inner[n - 1]);
    const gp_Pnt cyl_fore = at(p.x[p.cylinder_from], 0);
    const gp_Pnt cyl_aft = at(p.x[p.cylinder_to], 0);
    // Nose: from the end of the outer line round the leading edge to the
    // cylinder, the outer rows backwards and then the inner rows.
    std::vector<gp_Pnt> nose;
    for (size_t i = p.outer_line_from; i > 0; --i) nose.push_back(at(p.x[i], p.outer[i]));
    for (size_t i = 0; i <= p.cylinder_from; ++i) nose.push_back(at(p.x[i], p.inner[i]));
    const gp_Vec aft(1, 0, 0);
    const gp_Vec along_line = gp_Vec(te_outer, join).Normalized();
    std::vector<gp_Pnt> tail;
    for (size_t i = p.cylinder_to; i < n; ++i) tail.push_back(at(p.x[i], p.inner[i]));
    BRepBuilderAPI_MakeWire wire;
    wire.Add(spline_edge(nose, along_line, &aft));
    wire.Add(BRepBuilderAPI_MakeEdge(cyl_fore, cyl_aft));
    wire.Add(spline_edge(tail, aft, nullptr));
    wire.Add(BRepBuilderAPI_MakeEdge(te_inner, te_outer));
    wire.Add(BRepBuilderAPI_MakeEdge(te_outer, join));
    if (!wire.IsDone()) throw InputError("OpenCASCADE could not close the nozzle profile");
    BRepBuilderAPI_MakeFace face(wire.Wire(), true);
    if (!face.IsDone()) throw InputError("OpenCASCADE could not make the nozzle profile's face");
    return face.Face();
}

// The smallest and largest distance from the shaft axis along the profile's
// edges, sampled densely (the splines may bulge between their points).
std::pair<double, double> radial_extent(const TopoDS_Face& face) {
    double low = 1e300, high = 0;
    for (TopExp_Explorer e(face, TopAbs_EDGE); e.More(); e.Next()) {
        const BRepAdaptor_Curve curve(TopoDS::Edge(e.Current()));
        const int steps = 2000;
        for (int i = 0; i <= steps; ++i) {
            const double u = curve.FirstParameter() +
                             (curve.LastParameter() - curve.FirstParameter()) * i / steps;
            const gp_Pnt q = curve.Value(u);
            low = std::min(low, std::hypot(q.Y(), q.Z()));
            high = std::max(high, std::hypot(q.Y(), q.Z()));
        }
    }
    return {low, high};
}

}  // namespace

fs::path nozzle_profile_file() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    const fs::path installed =
        ec ? fs::path(KORVANTI_OPEN_WATER_INSTALLED) / profile_name
           : (program.parent_path() / KORVANTI_OPEN_WATER_FROM_BIN / profile_name)
                 .lexically_normal();
    if (is_file(installed)) return installed;
    const fs::path source = fs::path(KORVANTI_SOURCE_DIR) / "data" / "open-water" / profile_name;
    if (!ec && lies_in(program, KORVANTI_BINARY_DIR) && is_file(source)) return source;
    return installed;
}

NozzleProfile read_nozzle_profile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw InputError(file.string() +
                         ": cannot be opened (the nozzle profile belongs to the installation)");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw InputError(file.string() + ": cannot be read");
    return parse_nozzle_profile(file.string(), text.str());
}

NozzleProfile parse_nozzle_profile(const std::string& name, const std::string& text) {
    NozzleProfile p;
    std::vector<std::string> kinds;
    std::vector<int> lines;
    std::istringstream in(text);
    std::string line;
    int number_of_line = 0;
    bool heading = false;
    while (std::getline(in, line)) {
        ++number_of_line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> fields = tab_fields(line);
        if (!heading) {
            if (fields != std::vector<std::string>{"x/L", "yi/L", "yo/L", "yo_kind"})
                damaged(name, number_of_line, "expected the heading x/L, yi/L, yo/L, yo_kind");
            heading = true;
            continue;
        }
        if (fields.size() != 4) damaged(name, number_of_line, "expected 4 fields");
        if (p.x.size() >= 200) damaged(name, number_of_line, "more than 200 rows");
        p.x.push_back(number(name, number_of_line, fields[0]));
        p.inner.push_back(number(name, number_of_line, fields[1]));
        p.outer.push_back(number(name, number_of_line, fields[2]));
        kinds.push_back(fields[3]);
        lines.push_back(number_of_line);
    }
    if (!heading) throw InputError(name + ": no profile table");
    check_profile(name, p, kinds, lines);
    p.outer_line_from = static_cast<size_t>(std::find(kinds.begin(), kinds.end(), "straight line") -
                                            kinds.begin()) -
                        1;
    p.cylinder_from =
        static_cast<size_t>(std::find(p.inner.begin() + 1, p.inner.end(), 0.0) - p.inner.begin());
    p.cylinder_to = p.cylinder_from;
    while (p.inner[p.cylinder_to + 1] == 0) ++p.cylinder_to;
    return p;
}

bool runs_in_nozzle(const OffsetsFile& offsets) {
    const size_t at = offsets.title.find_first_not_of(' ');
    if (at == std::string::npos) return false;
    const std::string label = offsets.title.substr(at);
    return label.rfind("WAGENINGEN Ka", 0) == 0 || label.rfind("WAGENINGEN Kc", 0) == 0;
}

Nozzle build_nozzle(const NozzleProfile& profile, double D, double inner_radius, double middle_x) {
    Nozzle nozzle;
    try {
        const double L = nozzle_length_ratio * D;
        const Placement at{L, inner_radius, middle_x - L / 2};
        const TopoDS_Face face = profile_face(profile, at);
        const gp_Ax1 axis(gp_Pnt(0, 0, 0), gp_Dir(1, 0, 0));
        BRepPrimAPI_MakeRevol revolve(face, axis, 2 * std::numbers::pi);
        if (!revolve.IsDone()) throw InputError("OpenCASCADE could not revolve the nozzle profile");
        TopExp_Explorer solids(revolve.Shape(), TopAbs_SOLID);
        if (!solids.More()) throw InputError("revolving the nozzle profile gave no solid");
        nozzle.shape = solids.Current();
        if (!BRepCheck_Analyzer(nozzle.shape).IsValid())
            throw InputError("OpenCASCADE made an invalid nozzle solid");
        nozzle.profile = face;
        GProp_GProps props;
        BRepGProp::SurfaceProperties(face, props, 1e-9);
        nozzle.volume = props.Mass() * 2 * std::numbers::pi * props.CentreOfMass().Z();
        const auto [low, high] = radial_extent(face);
        nozzle.inner_diameter = 2 * low;
        nozzle.outer_diameter = 2 * high;
        nozzle.leading_edge_x = at.leading_edge_x;
        nozzle.trailing_edge_x = at.leading_edge_x + L;
    } catch (const Standard_Failure& failure) {
        throw InputError(std::string("OpenCASCADE failed while building the nozzle: ") +
                         failure.GetMessageString());
    }
    return nozzle;
}

Nozzle fitted_nozzle(const NozzleProfile& profile, const PropellerSolid& propeller, double D,
                     double tip_gap, double middle_x) {
    Nozzle nozzle = build_nozzle(profile, D, D / 2 + tip_gap, middle_x);
    nozzle.tip_radius = D / 2;
    nozzle.measured_gap = smallest_tip_gap(propeller, nozzle);
    // The nearest point of the nozzle lies on its inner cylinder, straight
    // out from the tip: the tip reaches the cylinder's radius less the gap.
    // Moved out by as much, every point of the inner surface is as much
    // further from the tips: the gap becomes the one asked for.
    if (nozzle.measured_gap < tip_gap * (1 - 1e-4)) {
        const double tip = D / 2 + tip_gap - nozzle.measured_gap;
        nozzle = build_nozzle(profile, D, tip + tip_gap, middle_x);
        nozzle.tip_radius = tip;
        nozzle.measured_gap = tip_gap;
    }
    return nozzle;
}

NozzleMesh nozzle_triangulation(const Nozzle& nozzle, double deflection) {
    // The closed loop of profile points, in the order of the face's wire.
    std::vector<gp_Pnt> loop;
    const TopoDS_Face& face = TopoDS::Face(nozzle.profile);
    for (BRepTools_WireExplorer e(BRepTools::OuterWire(face), face); e.More(); e.Next()) {
        const BRepAdaptor_Curve curve(e.Current());
        const GCPnts_TangentialDeflection division(curve, 0.1, deflection, 2);
        std::vector<gp_Pnt> points;
        for (int i = 1; i <= division.NbPoints(); ++i) points.push_back(division.Value(i));
        if (e.Current().Orientation() == TopAbs_REVERSED)
            std::reverse(points.begin(), points.end());
        loop.insert(loop.end(), points.begin(), points.end() - 1);  // the last starts the next
    }
    double far = 0;
    for (const gp_Pnt& p : loop) far = std::max(far, p.Z());
    // Steps round the axis whose chords stay within the tolerance.
    const double step = 2 * std::acos(std::max(0.0, 1 - deflection / far));
    const int turns = std::max(16, static_cast<int>(std::ceil(2 * std::numbers::pi / step)));
    NozzleMesh mesh;
    const int n = static_cast<int>(loop.size());
    for (int j = 0; j < turns; ++j) {
        const double angle = 2 * std::numbers::pi * j / turns;
        for (const gp_Pnt& p : loop)
            mesh.vertices.push_back({p.X(), p.Z() * std::sin(angle), p.Z() * std::cos(angle)});
    }
    const auto id = [&](int j, int i) { return (j % turns) * n + i % n; };
    for (int j = 0; j < turns; ++j)
        for (int i = 0; i < n; ++i) {
            mesh.triangles.push_back({id(j, i), id(j, i + 1), id(j + 1, i + 1)});
            mesh.triangles.push_back({id(j, i), id(j + 1, i + 1), id(j + 1, i)});
        }
    // Outward by the right-hand rule: a positive enclosed volume.
    double six_v = 0;
    for (const auto& t : mesh.triangles) {
        const gp_Vec a(mesh.vertices[static_cast<size_t>(t[0])][0],
                       mesh.vertices[static_cast<size_t>(t[0])][1],
                       mesh.vertices[static_cast<size_t>(t[0])][2]);
        const gp_Vec b(mesh.vertices[static_cast<size_t>(t[1])][0],
                       mesh.vertices[static_cast<size_t>(t[1])][1],
                       mesh.vertices[static_cast<size_t>(t[1])][2]);
        const gp_Vec c(mesh.vertices[static_cast<size_t>(t[2])][0],
                       mesh.vertices[static_cast<size_t>(t[2])][1],
                       mesh.vertices[static_cast<size_t>(t[2])][2]);
        six_v += a.Dot(b.Crossed(c));
    }
    if (six_v < 0)
        for (auto& t : mesh.triangles) std::swap(t[1], t[2]);
    return mesh;
}

double propeller_plane_x(const OffsetsFile& offsets, const PropellerSolid& propeller) {
    return (offsets.iT_tip + propeller.mesh_shift) * 1000;
}

double smallest_tip_gap(const PropellerSolid& propeller, const Nozzle& nozzle) {
    // The blades are turned copies and the nozzle is round: one blade's
    // faces that reach out near the tip are enough. Of the nozzle only the
    // inner faces can be nearest (the cylinder and the spline surfaces fore
    // and aft of it), not the outer cone and the trailing edge's plane.
    const TopoDS_Shape& blades =
        propeller.sector_surface.IsNull() ? propeller.shape : propeller.sector_surface;
    const double reach = 0.9 * nozzle.inner_diameter / 2;
    TopoDS_Compound tips, inner;
    BRep_Builder builder;
    builder.MakeCompound(tips);
    builder.MakeCompound(inner);
    for (TopExp_Explorer e(blades, TopAbs_FACE); e.More(); e.Next()) {
        Bnd_Box box;
        BRepBndLib::Add(e.Current(), box);
        double x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
        box.Get(x0, y0, z0, x1, y1, z1);
        const double far =
            std::hypot(std::max(std::abs(y0), std::abs(y1)), std::max(std::abs(z0), std::abs(z1)));
        if (far > reach) builder.Add(tips, e.Current());
    }
    for (TopExp_Explorer e(nozzle.shape, TopAbs_FACE); e.More(); e.Next()) {
        const GeomAbs_SurfaceType type = BRepAdaptor_Surface(TopoDS::Face(e.Current())).GetType();
        if (type != GeomAbs_Plane && type != GeomAbs_Cone) builder.Add(inner, e.Current());
    }
    try {
        BRepExtrema_DistShapeShape distance;
        distance.SetFlag(Extrema_ExtFlag_MIN);
        distance.SetMultiThread(true);
        distance.LoadS1(tips);
        distance.LoadS2(inner);
        distance.Perform();
        if (!distance.IsDone())
            throw InputError("OpenCASCADE could not measure the gap between blades and nozzle");
        return distance.Value();
    } catch (const Standard_Failure& failure) {
        throw InputError(std::string("OpenCASCADE failed while measuring the tip gap: ") +
                         failure.GetMessageString());
    }
}

}  // namespace korvanti_solid
