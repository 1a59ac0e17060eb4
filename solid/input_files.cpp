#include "input_files.h"

#include <cmath>

#include "list_reader.h"

namespace korvanti_solid {
namespace {

constexpr int max_radii = 30;
constexpr int max_points = 30;
constexpr int max_nodes = 3000;
constexpr int max_panels = 3000;
constexpr int max_hub_points = 100;

int count_in_range(ListReader& in, std::string_view what, int low, int high) {
    const int n = in.integer(what);
    if (n < low || n > high)
        in.fail(std::string(what) + " is " + std::to_string(n) + ", expected " +
                std::to_string(low) + " to " + std::to_string(high));
    return n;
}

int whole_number(ListReader& in, double value, std::string_view what, int low, int high) {
    if (!(value >= low && value <= high) || value != std::floor(value))
        in.fail(std::string(what) + " is not a whole number from " + std::to_string(low) + " to " +
                std::to_string(high));
    return static_cast<int>(value);
}

double positive(ListReader& in, double value, std::string_view what) {
    if (!(value > 0) || !std::isfinite(value)) in.fail(std::string(what) + " is not positive");
    return value;
}

PanelDataFile read_panel_data(ListReader& in) {
    PanelDataFile d;
    d.M = count_in_range(in, "the number of radii", 2, max_radii);
    for (int k = 0; k < d.M; ++k) {
        const std::vector<double> counts = in.reals(2, "the point counts of a section");
        const int np = whole_number(in, counts[0], "a section's point count", 2, max_points);
        const int nch = whole_number(in, counts[1], "a surface row's point count", 4, max_points);
        if (k > 0 && nch != d.Nc) in.fail("the surface rows have different point counts");
        d.Nc = nch;
        for (int j = 0; j < 2 * np; ++j) in.reals(2, "a section point");
    }
    for (int k = 0; k < d.M; ++k)
        d.r.push_back(positive(in, in.reals(1, "a radius")[0], "a radius"));
    for (int k = 0; k < d.M; ++k) in.reals(1, "a max-thickness distance");
    d.face.assign(d.M, std::vector<Point3>(d.Nc));
    d.back.assign(d.M, std::vector<Point3>(d.Nc));
    for (auto* side : {&d.face, &d.back})
        for (double Point3::*c : {&Point3::x, &Point3::y, &Point3::z})
            for (int k = 0; k < d.M; ++k)
                for (int w = 0; w < d.Nc; ++w)
                    (*side)[k][w].*c = in.reals(1, "the blade surface grid")[0];
    const std::vector<double> z_ear = in.reals(2, "the blade count and area ratio");
    d.Z = whole_number(in, z_ear[0], "the blade count", 1, 20);
    const std::vector<double> d_pd = in.reals(2, "the diameter and pitch ratio");
    d.D = positive(in, d_pd[0], "the diameter");
    d.P_D = d_pd[1];
    for (int k = 0; k < 2 * d.M; ++k) in.reals(3, "a max-thickness point");
    const std::vector<double> counts = in.reals(5, "the panel mesh counts");
    const int nv = whole_number(in, counts[0], "the node count", 3, max_nodes);
    const int nq = whole_number(in, counts[1], "the panel count", 1, max_panels);
    const int nv2 = whole_number(in, counts[2], "the second mesh's node count", 0, 2000);
    const int nq2 = whole_number(in, counts[3], "the second mesh's panel count", 0, 2000);
    d.hub_panels = whole_number(in, counts[4], "the hub panel count", 0, nq);
    for (int i = 0; i < nv; ++i) {
        const std::vector<double> p = in.reals(3, "a mesh node");
        d.nodes.push_back({p[0], p[1], p[2]});
    }
    for (int i = 0; i < nq; ++i) {
        const std::vector<double> p = in.reals(4, "a panel");
        std::array<int, 4> panel{};
        for (int c = 0; c < 4; ++c)
            panel[c] = whole_number(in, p[c], "a panel's node number", 1, nv) - 1;
        d.panels.push_back(panel);
    }
    for (int i = 0; i < nv2; ++i) in.reals(3, "a node of the second mesh");
    for (int i = 0; i < nq2; ++i) in.reals(4, "a panel of the second mesh");
    return d;
}

OffsetsFile read_offsets(ListReader& in) {
    OffsetsFile o;
    const int n = count_in_range(in, "the station count", 2, max_radii);
    o.title = in.whole_line("the title");
    o.D = positive(in, in.reals(1, "the diameter")[0], "the diameter");
    o.Z = count_in_range(in, "the blade count", 1, 20);
    for (int i = 0; i < n; ++i) {
        const std::vector<double> s = in.reals(5, "a station's r, P, c, iT, xs");
        if (i == 0) {
            o.r1 = positive(in, s[0], "the first radius");
            o.P1 = s[1];
            o.iT1 = s[3];
            o.xs1 = s[4];
        }
        o.iT_tip = s[3];
    }
    for (int i = 0; i < n; ++i) {
        const int np = count_in_range(in, "a section's point count", 2, max_points);
        for (int j = 0; j < np; ++j) {
            const double xc = in.reals(3, "a section point")[0];
            if (i == 0 && j == 0) o.xc_te = xc;
            if (i == 0 && j == np - 1) o.xc_le = xc;
        }
    }
    const int nh = count_in_range(in, "the hub profile's point count", 3, max_hub_points);
    for (int k = 0; k < nh; ++k) {
        const std::vector<double> p = in.reals(2, "a hub profile point");
        if (p[1] < 0) in.fail("a hub radius is negative");
        if (k > 0 && !(p[0] > o.hub_x.back())) in.fail("the hub profile does not run forward");
        o.hub_x.push_back(p[0]);
        o.hub_rH.push_back(p[1]);
    }
    return o;
}

}  // namespace

PanelDataFile read_panel_data_file(const std::filesystem::path& file) {
    ListReader in(file);
    return read_panel_data(in);
}

OffsetsFile read_offsets_file(const std::filesystem::path& file) {
    ListReader in(file);
    return read_offsets(in);
}

PanelDataFile parse_panel_data(const std::string& name, std::string text) {
    ListReader in(name, std::move(text));
    return read_panel_data(in);
}

OffsetsFile parse_offsets(const std::string& name, std::string text) {
    ListReader in(name, std::move(text));
    return read_offsets(in);
}

}  // namespace korvanti_solid
