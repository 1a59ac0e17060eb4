#include "exports.h"

#include <BRepMesh_IncrementalMesh.hxx>
#include <BRep_Tool.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_PrinterOStream.hxx>
#include <Poly_Triangulation.hxx>
#include <STEPCAFControl_Controller.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "list_reader.h"
#include "staged_files.h"

namespace korvanti_solid {

void write_step(const NamedSolids& solids, const std::filesystem::path& file) {
    // OpenCASCADE's writer prints statistics through the default messenger.
    Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_PrinterOStream));
    STEPCAFControl_Controller::Init();
    // The units are set after Init and before the writer is made, or the
    // file's unit and its coordinates disagree.
    Interface_Static::SetCVal("write.step.schema", "AP214IS");
    Interface_Static::SetCVal("xstep.cascade.unit", "MM");
    Interface_Static::SetCVal("write.step.unit", "MM");
    // A document of named shapes, so that the names become the products'.
    const Handle(XCAFApp_Application) application = XCAFApp_Application::GetApplication();
    Handle(TDocStd_Document) document;
    application->NewDocument("MDTV-XCAF", document);
    const Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(document->Main());
    for (const auto& [name, solid] : solids)
        TDataStd_Name::Set(shapes->AddShape(solid, false), name.c_str());
    STEPCAFControl_Writer writer;
    writer.SetNameMode(true);
    const bool translated = writer.Transfer(document, STEPControl_AsIs);
    application->Close(document);
    if (!translated)
        throw InputError("Korvanti.step: OpenCASCADE could not translate the solid to STEP");
    if (writer.Write(file.c_str()) != IFSelect_RetDone)
        throw InputError("Korvanti.step: writing failed");
}

namespace {

using Vertex = std::array<double, 3>;
using Triangle = std::array<int, 3>;

struct TriangleMesh {
    std::vector<Vertex> vertices;
    std::vector<Triangle> triangles;
};

// Nodes that round to the same point of a grid this fine (mm) are one
// vertex: the faces share the nodes of their common edges, and a sector's
// seam meets the next sector's seam after turning to within rounding. The
// mesher's nodes are far further apart. A seam node rounded across a grid
// line from its twin leaves open edges, and the whole solid is meshed.
constexpr double weld = 1e-5;

class Welder {
public:
    explicit Welder(std::vector<Vertex>& vertices) : vertices_(vertices) {}
    int operator()(const gp_Pnt& p) {
        const std::array<long long, 3> key{std::llround(p.X() / weld), std::llround(p.Y() / weld),
                                           std::llround(p.Z() / weld)};
        const auto [it, added] = index_.try_emplace(key, static_cast<int>(vertices_.size()));
        if (added) vertices_.push_back({p.X(), p.Y(), p.Z()});
        return it->second;
    }

private:
    std::vector<Vertex>& vertices_;
    std::map<std::array<long long, 3>, int> index_;
};

// Adds the triangulations of the faces of `shape`, turned by `turn`, to the
// mesh; triangles folded onto a line by welding are dropped.
void add_triangles(const TopoDS_Shape& shape, const gp_Trsf& turn, Welder& weld_node,
                   TriangleMesh& mesh) {
    for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) {
        const TopoDS_Face& face = TopoDS::Face(e.Current());
        TopLoc_Location location;
        const Handle(Poly_Triangulation) t = BRep_Tool::Triangulation(face, location);
        if (t.IsNull()) throw InputError("Korvanti.stl: OpenCASCADE left a face without triangles");
        const gp_Trsf place = turn * location.Transformation();
        std::vector<int> ids(static_cast<size_t>(t->NbNodes()) + 1);
        for (int i = 1; i <= t->NbNodes(); ++i)
            ids[static_cast<size_t>(i)] = weld_node(t->Node(i).Transformed(place));
        const bool reversed = face.Orientation() == TopAbs_REVERSED;
        for (int i = 1; i <= t->NbTriangles(); ++i) {
            int a = 0, b = 0, c = 0;
            t->Triangle(i).Get(a, b, c);
            if (reversed) std::swap(b, c);
            const Triangle tri{ids[static_cast<size_t>(a)], ids[static_cast<size_t>(b)],
                               ids[static_cast<size_t>(c)]};
            if (tri[0] != tri[1] && tri[1] != tri[2] && tri[0] != tri[2])
                mesh.triangles.push_back(tri);
        }
    }
}

// The triangulation of `shape` by OpenCASCADE's mesher, turned into place
// `copies` times about the shaft axis (by 360°/copies each), as one mesh.
TriangleMesh triangulated(const TopoDS_Shape& shape, int copies, double deflection) {
    BRepMesh_IncrementalMesh mesher(shape, deflection, false, 0.5, true);
    if (!mesher.IsDone()) throw InputError("Korvanti.stl: OpenCASCADE could not mesh the solid");
    TriangleMesh mesh;
    Welder weld_node(mesh.vertices);
    for (int b = 0; b < copies; ++b) add_triangles(shape, blade_turn(b, copies), weld_node, mesh);
    return mesh;
}

// Every directed edge once and its opposite once: closed and consistently
// oriented. Returns the number of edges that are not.
long open_edges(const TriangleMesh& mesh) {
    std::vector<std::uint64_t> directed;  // from << 32 | to
    directed.reserve(3 * mesh.triangles.size());
    const auto edge = [](int from, int to) {
        return static_cast<std::uint64_t>(from) << 32 | static_cast<std::uint32_t>(to);
    };
    for (const Triangle& t : mesh.triangles)
        for (size_t i = 0; i < 3; ++i) directed.push_back(edge(t[i], t[(i + 1) % 3]));
    std::sort(directed.begin(), directed.end());
    const auto count = [&](std::uint64_t e) {
        const auto [first, last] = std::equal_range(directed.begin(), directed.end(), e);
        return last - first;
    };
    long bad = 0;
    for (size_t i = 0; i < directed.size(); ++i) {
        if (i > 0 && directed[i] == directed[i - 1]) continue;
        const auto from = static_cast<int>(directed[i] >> 32);
        const auto to = static_cast<int>(directed[i] & 0xffffffffu);
        if (count(directed[i]) != 1 || count(edge(to, from)) != 1) ++bad;
    }
    return bad;
}

double enclosed_volume(const TriangleMesh& mesh) {
    double six_v = 0;
    for (const Triangle& t : mesh.triangles) {
        const Vertex& a = mesh.vertices[static_cast<size_t>(t[0])];
        const Vertex& b = mesh.vertices[static_cast<size_t>(t[1])];
        const Vertex& c = mesh.vertices[static_cast<size_t>(t[2])];
        six_v += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                 a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    return six_v / 6;
}

void put_float(std::string& out, double value) {
    const float f = static_cast<float>(value);
    char bytes[4];
    std::memcpy(bytes, &f, 4);  // little-endian on every machine this builds for
    out.append(bytes, 4);
}

std::string binary_stl(const TriangleMesh& mesh, const std::string& title) {
    std::string out(80, ' ');
    out.replace(0, title.size(), title);
    const auto count = static_cast<std::uint32_t>(mesh.triangles.size());
    char bytes[4];
    std::memcpy(bytes, &count, 4);
    out.append(bytes, 4);
    out.reserve(out.size() + 50 * mesh.triangles.size());
    // The normal is that of the corners as the file stores them, in float:
    // on a thin triangle the corners' rounding turns the normal of the exact
    // corners by more than a reader allows (over a thousandth).
    const auto stored = [&](int index) {
        const Vertex& p = mesh.vertices[static_cast<size_t>(index)];
        return Vertex{static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
    };
    for (const Triangle& t : mesh.triangles) {
        const Vertex a = stored(t[0]), b = stored(t[1]), c = stored(t[2]);
        const Vertex u{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const Vertex v{c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        Vertex n{u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        const double length = std::hypot(n[0], n[1], n[2]);
        for (double& x : n) x = length > 0 ? x / length : 0;
        for (const Vertex* p : {static_cast<const Vertex*>(&n), &a, &b, &c})
            for (double x : *p) put_float(out, x);
        out.append(2, '\0');
    }
    return out;
}

}  // namespace

StlFigures write_stl(const PropellerSolid& solid, double deflection,
                     const std::filesystem::path& file) {
    // The solid is Z turned copies of one sector: the sector is meshed once
    // and its triangles turned into place, which takes a Z-th of the time.
    // Where its seams do not meet the next sector's, the whole solid is meshed.
    TriangleMesh mesh;
    long open = 1;
    if (!solid.sector_surface.IsNull()) {
        mesh = triangulated(solid.sector_surface, solid.Z, deflection);
        open = open_edges(mesh);
    }
    if (open != 0) {
        mesh = triangulated(solid.shape, 1, deflection);
        open = open_edges(mesh);
    }
    if (open != 0)
        throw InputError("Korvanti.stl: the triangulation of the solid has " +
                         std::to_string(open) + " edges not shared by exactly two triangles");
    write_bytes(file, binary_stl(mesh, "Korvanti propeller solid, millimetres"), "Korvanti.stl");
    return {static_cast<long>(mesh.triangles.size()), enclosed_volume(mesh)};
}

StlFigures write_stl(std::vector<std::array<double, 3>> vertices,
                     std::vector<std::array<int, 3>> triangles, const std::filesystem::path& file,
                     const std::string& name, const std::string& title) {
    const TriangleMesh mesh{std::move(vertices), std::move(triangles)};
    if (const long open = open_edges(mesh); open != 0)
        throw InputError(name + ": the triangulation of the solid has " + std::to_string(open) +
                         " edges not shared by exactly two triangles");
    write_bytes(file, binary_stl(mesh, title), name);
    return {static_cast<long>(mesh.triangles.size()), enclosed_volume(mesh)};
}

namespace {

void append_number(std::string& out, double value) {
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%.4f", value);
    out.append(buffer, static_cast<size_t>(n));
}

}  // namespace

std::string panel_mesh_vtk(const PanelDataFile& d) {
    const size_t nodes = d.nodes.size();
    const size_t panels = d.panels.size();
    const size_t Z = static_cast<size_t>(d.Z);
    std::string out = "# vtk DataFile Version 3.0\n";
    out += "Korvanti panel mesh: " + std::to_string(Z) +
           " blades and their hub sectors, millimetres\nASCII\nDATASET POLYDATA\n";
    out += "POINTS " + std::to_string(nodes * Z) + " double\n";
    // Blade b is the first one turned about the shaft axis by (b-1)·360°/Z.
    for (size_t b = 0; b < Z; ++b) {
        const double angle = static_cast<double>(b) * 2 * std::numbers::pi / d.Z;
        const double c = std::cos(angle), s = std::sin(angle);
        for (const Point3& p : d.nodes) {
            append_number(out, p.x * 1000);
            out += ' ';
            append_number(out, (p.y * c - p.z * s) * 1000);
            out += ' ';
            append_number(out, (p.y * s + p.z * c) * 1000);
            out += '\n';
        }
    }
    // A triangle is a panel with a repeated corner: it is written with three.
    std::vector<std::vector<int>> corners;
    size_t size = 0;
    for (const auto& panel : d.panels) {
        std::vector<int> c;
        for (size_t i = 0; i < 4; ++i)
            if (panel[i] != panel[(i + 3) % 4]) c.push_back(panel[i]);
        if (c.empty()) c.push_back(panel[0]);
        size += c.size() + 1;
        corners.push_back(std::move(c));
    }
    out += "POLYGONS " + std::to_string(panels * Z) + " " + std::to_string(size * Z) + "\n";
    for (size_t b = 0; b < Z; ++b)
        for (const auto& c : corners) {
            out += std::to_string(c.size());
            for (int n : c) out += ' ' + std::to_string(static_cast<size_t>(n) + b * nodes);
            out += '\n';
        }
    out += "CELL_DATA " + std::to_string(panels * Z) + "\n";
    out += "FIELD panels 2\npart 1 " + std::to_string(panels * Z) + " int\n";
    for (size_t b = 0; b < Z; ++b)
        for (size_t p = 0; p < panels; ++p)
            out += p < static_cast<size_t>(d.hub_panels) ? "0\n" : "1\n";
    out += "blade 1 " + std::to_string(panels * Z) + " int\n";
    for (size_t b = 0; b < Z; ++b)
        for (size_t p = 0; p < panels; ++p) out += std::to_string(b + 1) + "\n";
    return out;
}

}  // namespace korvanti_solid
