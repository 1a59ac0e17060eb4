#include "solid_fixture.h"

#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <IFSelect_ReturnStatus.hxx>
#include <STEPControl_Reader.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Shape.hxx>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <numbers>
#include <sstream>
#include <stdexcept>

#include "support/test_support.h"

namespace korvanti::testing {
namespace fs = std::filesystem;

namespace {
std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
}  // namespace

void run_korvanti(const fs::path& dir, const Task& task) {
    prepare_run(dir, task.example);
    std::vector<std::string> lines = read_lines(dir / "Korvanti.TSK");
    if (!task.blades_and_area.empty()) lines.at(42) = task.blades_and_area;
    if (!task.hand.empty()) lines.at(46) = task.hand;
    if (!task.report.empty()) lines.at(66) = task.report;
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    write_file(dir / "Korvanti.TSK", text);
    const Command run = run_shell(dir, quote(KORVANTI_EXE) + " </dev/null");
    if (run.exit_status != 0 || !fs::exists(dir / "PERVDAT"))
        throw std::runtime_error("Korvanti failed: " + run.out + run.err);
}

Command run_shell(const fs::path& dir, const std::string& command) {
    const std::string out = (dir / ".out-for-test").string();
    const std::string err = (dir / ".err-for-test").string();
    const std::string line =
        "cd " + quote(dir.string()) + " && " + command + " >" + quote(out) + " 2>" + quote(err);
    const int status = std::system(line.c_str());
    Command result;
    result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = read_file(out);
    result.err = read_file(err);
    fs::remove(out);
    fs::remove(err);
    return result;
}

Command run_solid(const fs::path& dir, const std::string& arguments) {
    return run_shell(dir, quote(SOLID_EXE) + " " + arguments + " </dev/null");
}

double summary_figure(const std::string& out, const std::string& label) {
    const size_t at = out.find(label + ":");
    if (at == std::string::npos) throw std::runtime_error("no \"" + label + "\" in " + out);
    return std::stod(out.substr(at + label.size() + 1));
}

StlMesh read_binary_stl(const fs::path& file) {
    const std::string bytes = read_file(file);
    if (bytes.size() < 84) throw std::runtime_error("STL shorter than its header");
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data() + 80, 4);
    if (bytes.size() != 84 + 50 * static_cast<size_t>(count))
        throw std::runtime_error("STL size does not match its triangle count");
    StlMesh mesh;
    mesh.header_count = count;
    std::map<std::array<float, 3>, int> index;
    for (size_t t = 0; t < count; ++t) {
        std::array<int, 3> tri{};
        for (int c = 0; c < 3; ++c) {
            std::array<float, 3> v{};
            std::memcpy(v.data(), bytes.data() + 84 + 50 * t + 12 + 12 * c, 12);
            const auto [it, added] = index.try_emplace(v, static_cast<int>(mesh.vertices.size()));
            if (added) mesh.vertices.push_back(v);
            tri[c] = it->second;
        }
        mesh.triangles.push_back(tri);
    }
    return mesh;
}

long open_edges(const StlMesh& mesh) {
    std::map<std::pair<int, int>, int> directed;
    for (const auto& t : mesh.triangles)
        for (int i = 0; i < 3; ++i) ++directed[{t[i], t[(i + 1) % 3]}];
    long bad = 0;
    for (const auto& [edge, count] : directed) {
        const auto other = directed.find({edge.second, edge.first});
        if (count != 1 || other == directed.end() || other->second != 1) ++bad;
    }
    return bad;
}

double enclosed_volume(const StlMesh& mesh) {
    double sum = 0;
    for (const auto& t : mesh.triangles) {
        const auto& a = mesh.vertices[t[0]];
        const auto& b = mesh.vertices[t[1]];
        const auto& c = mesh.vertices[t[2]];
        sum += double(a[0]) * (double(b[1]) * c[2] - double(b[2]) * c[1]) -
               double(a[1]) * (double(b[0]) * c[2] - double(b[2]) * c[0]) +
               double(a[2]) * (double(b[0]) * c[1] - double(b[1]) * c[0]);
    }
    return sum / 6;
}

StepSolid read_step(const fs::path& file) {
    STEPControl_Reader reader;
    StepSolid result;
    if (reader.ReadFile(file.c_str()) != IFSelect_RetDone) return result;
    reader.TransferRoots();
    const TopoDS_Shape shape = reader.OneShape();
    TopTools_IndexedMapOfShape solids;
    TopExp::MapShapes(shape, TopAbs_SOLID, solids);
    result.solids = solids.Extent();
    result.valid = BRepCheck_Analyzer(shape).IsValid();
    GProp_GProps props;
    BRepGProp::VolumeProperties(shape, props, 1e-6);
    result.volume = props.Mass();
    return result;
}

double largest_distance_from_step(const fs::path& file,
                                  const std::vector<std::array<double, 3>>& points) {
    STEPControl_Reader reader;
    if (reader.ReadFile(file.c_str()) != IFSelect_RetDone) return 1e30;
    reader.TransferRoots();
    const TopoDS_Shape shape = reader.OneShape();
    TopTools_IndexedMapOfShape shells;
    TopExp::MapShapes(shape, TopAbs_SHELL, shells);
    double largest = 0;
    for (const auto& p : points) {
        BRepExtrema_DistShapeShape distance(BRepBuilderAPI_MakeVertex(gp_Pnt(p[0], p[1], p[2])),
                                            shells(1));
        largest = std::max(largest, distance.IsDone() ? distance.Value() : 1e30);
    }
    return largest;
}

namespace {
struct Lines {
    std::vector<std::vector<double>> rows;
    size_t at = 0;
    const std::vector<double>& next() { return rows.at(at++); }
};
Lines numbers(const fs::path& file, bool skip_second_line) {
    Lines lines;
    std::istringstream in(read_file(file));
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
        std::vector<double> row;
        std::istringstream words(line);
        std::string w;
        if (!(skip_second_line && ++n == 2))
            while (words >> w) row.push_back(std::stod(w));
        lines.rows.push_back(row);
    }
    return lines;
}
}  // namespace

PervdatSections read_pervdat(const fs::path& file) {
    Lines in = numbers(file, false);
    PervdatSections p;
    p.M = static_cast<int>(in.next()[0]);
    std::vector<int> nch;
    for (int k = 0; k < p.M; ++k) {
        const auto& counts = in.next();
        const int np = static_cast<int>(counts[0]);
        nch.push_back(static_cast<int>(counts[1]));
        std::vector<std::array<double, 2>> back, face;
        for (int j = 0; j < np; ++j) back.push_back({in.next()[0], in.rows[in.at - 1][1]});
        for (int j = 0; j < np; ++j) face.push_back({in.next()[0], in.rows[in.at - 1][1]});
        p.back.push_back(back);
        p.face.push_back(face);
    }
    p.Nc = nch[0];
    for (int k = 0; k < p.M; ++k) p.r.push_back(in.next()[0]);
    for (int k = 0; k < p.M; ++k) in.next();
    p.grid_face.assign(p.M, std::vector<std::array<double, 3>>(p.Nc));
    p.grid_back = p.grid_face;
    for (auto* side : {&p.grid_face, &p.grid_back})
        for (int u = 0; u < 3; ++u)
            for (int k = 0; k < p.M; ++k)
                for (int w = 0; w < nch[k]; ++w) (*side)[k][w][u] = in.next()[0];
    p.Z = static_cast<int>(in.next()[0]);
    p.D = in.next()[0];
    for (int k = 0; k < 2 * p.M; ++k) in.next();
    const auto& counts = in.next();
    p.nodes = static_cast<int>(counts[0]);
    p.panels = static_cast<int>(counts[1]);
    p.hub_panels = static_cast<int>(counts[4]);
    return p;
}

std::vector<std::array<double, 2>> read_hub_profile(const fs::path& file) {
    Lines in = numbers(file, true);
    const int n = static_cast<int>(in.next()[0]);
    in.at = 4 + static_cast<size_t>(n);  // count, title, D, Z, station table
    for (int i = 0; i < n; ++i) in.at += static_cast<size_t>(in.next()[0]);
    const int nh = static_cast<int>(in.next()[0]);
    std::vector<std::array<double, 2>> profile;
    for (int k = 0; k < nh; ++k) profile.push_back({in.next()[0], in.rows[in.at - 1][1]});
    return profile;
}

Spline::Spline(std::vector<double> x, std::vector<double> y) : x_(std::move(x)), y_(std::move(y)) {
    const size_t n = x_.size();
    std::vector<std::vector<double>> a(n, std::vector<double>(n, 0));
    std::vector<double> r(n, 0);
    a[0][0] = a[n - 1][n - 1] = 1;  // natural ends
    for (size_t i = 1; i + 1 < n; ++i) {
        const double h0 = x_[i] - x_[i - 1], h1 = x_[i + 1] - x_[i];
        a[i][i - 1] = h0 / 6;
        a[i][i] = (h0 + h1) / 3;
        a[i][i + 1] = h1 / 6;
        r[i] = (y_[i + 1] - y_[i]) / h1 - (y_[i] - y_[i - 1]) / h0;
    }
    m_ = solve_dense(a, r);
}

double Spline::operator()(double at) const {
    size_t i = 1;
    while (i + 1 < x_.size() && at > x_[i]) ++i;
    const double h = x_[i] - x_[i - 1];
    const double a = (x_[i] - at) / h, b = (at - x_[i - 1]) / h;
    return a * y_[i - 1] + b * y_[i] +
           ((a * a * a - a) * m_[i - 1] + (b * b * b - b) * m_[i]) * h * h / 6;
}

double hub_volume_within(const std::vector<std::array<double, 2>>& profile, double limit) {
    std::vector<double> t{0}, x, r;
    for (size_t k = 0; k < profile.size(); ++k) {
        x.push_back(profile[k][0]);
        r.push_back(profile[k][1]);
        if (k > 0) t.push_back(t.back() + std::hypot(x[k] - x[k - 1], r[k] - r[k - 1]));
    }
    const Spline sx(t, x), sr(t, r);
    double volume = 0;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        const double t0 = t.back() * i / n, t1 = t.back() * (i + 1) / n;
        const double rm = std::min(sr((t0 + t1) / 2), limit);
        volume += std::numbers::pi * rm * rm * (sx(t1) - sx(t0));
    }
    return volume;
}

}  // namespace korvanti::testing
