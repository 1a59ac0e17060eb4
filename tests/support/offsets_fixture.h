// A synthetic blade written as PEROF.SON, for the tests of the section
// report, the surfaces and the panel data file.
//
// Stations r = 0.2 .. 1.0 (D = 2) equally spaced; pitch, rake and skew shift
// linear in r; chord 0.4 + 0.3 r - 0.5 r^2. Every section has a flat face on
// the chord line and a parabolic back t(u) = 4 tmax u (1 - u), u = 0 at the
// trailing edge; tmax = 0.03 (1.2 - r). The points are equally spaced along
// the chord, centred on the skew shift. The hub is the tabulated 11-point
// profile of the Gawn series scaled by D (radius 0.2 at x = 0).
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "filelayer/record.h"
#include "model/blade_model.h"
#include "reports/section_report.h"
#include "support/quiet_console.h"
#include "support/test_support.h"
#include "surfaces/blade_surface.h"

namespace korvanti::testing {

struct FixtureBlade {
    int N = 5;
    int NP = 11;
    int Z = 4;
    float D = 2.0f;
    bool face_below = false;  // back on the chord line, face below it: no positive camber

    float r(int i) const {
        return 0.2f + static_cast<float>(i - 1) * 0.8f / static_cast<float>(N - 1);
    }
    float P(int i) const { return 1.6f + 0.4f * r(i); }
    float c(int i) const { return 0.4f + 0.3f * r(i) - 0.5f * r(i) * r(i); }
    float iT(int i) const { return 0.05f * r(i); }
    float xs(int i) const { return 0.02f * r(i); }
    float tmax(int i) const { return 0.03f * (1.2f - r(i)); }
    float u(int j) const { return static_cast<float>(j - 1) / static_cast<float>(NP - 1); }
    float xc(int i, int j) const { return xs(i) - c(i) / 2.0f + u(j) * c(i); }
    float thickness(int i, int j) const { return 4.0f * tmax(i) * u(j) * (1.0f - u(j)); }
    float yb(int i, int j) const { return face_below ? 0.0f : thickness(i, j); }
    float yf(int i, int j) const { return face_below ? -thickness(i, j) : 0.0f; }
};

inline const std::vector<std::pair<float, float>>& fixture_hub_table() {
    static const std::vector<std::pair<float, float>> table = {
        {-0.23f, 0.0f},      {-0.21f, 0.0327f}, {-0.175f, 0.0664f}, {-0.125f, 0.0859f},
        {-0.0625f, 0.0967f}, {0.0f, 0.1f},      {0.0625f, 0.0986f}, {0.125f, 0.09375f},
        {0.175f, 0.0814f},   {0.208f, 0.0487f}, {0.23f, 0.0f}};
    return table;
}

// The text of PEROF.SON for the blade, in the layout of the offsets writer.
inline std::string offsets_file_text(const FixtureBlade& b) {
    std::ostringstream out;
    write_record(out, "(I4)", {b.N});
    write_record(out, "(A25)", {std::string(" FIXTURE BLADE 4.550")});
    write_record(out, "(E14.8)", {b.D});
    write_record(out, "(I4)", {b.Z});
    for (int i = 1; i <= b.N; ++i)
        write_record(out, "(5(E12.6,1X))", {b.r(i), b.P(i), b.c(i), b.iT(i), b.xs(i)});
    for (int i = 1; i <= b.N; ++i) {
        write_record(out, "(I4)", {b.NP});
        for (int j = 1; j <= b.NP; ++j)
            write_record(out, "(3(E12.6,1X))",
                         {b.xc(i, j), b.yb(i, j) + b.r(i), b.yf(i, j) + b.r(i)});
    }
    const auto& hub = fixture_hub_table();
    write_record(out, "(I4)", {static_cast<int>(hub.size())});
    for (const auto& [x, rH] : hub) write_record(out, "(3(E12.6,1X))", {x * b.D, rH * b.D});
    return out.str();
}

// A model whose run parameters match the fixture blade.
inline BladeModel fixture_model(const FixtureBlade& b, int mode, int radii,
                                float handedness = 0.6f) {
    BladeModel model;
    model.series = Series::gawn;
    model.blade_count = b.Z;
    model.area_ratio = 0.55f;
    model.handedness = handedness;
    model.pitch_ratio = 1.0f;
    model.diameter = b.D;
    model.section_report_mode = static_cast<ReportMode>(mode);
    model.section_report_radii = radii;
    return model;
}

// What the section report and the surface step give for the fixture blade,
// under the names the tests read them by: the sections as the surface step
// returns them (mirrored for a left hand).
struct FixturePost {
    OffsetsFileData file;
    HubProfileSpline hub;
    ReportSections sections;
    BladeSurface surface;
    HubGrid grid;
    Mesh mesh;
};

// Runs the section report (its block to `result`, PEROF2.SON to the working
// directory) and the surface step on the PEROF.SON text of the blade.
inline void build_fixture_surfaces(const FixtureBlade& b, const BladeModel& model,
                                   FixturePost& post, std::ostream& result) {
    QuietConsole quiet;
    const auto report = make_section_report(model, offsets_file_text(b), quiet.console);
    write_section_report(*report, result);
    const auto surfaces = build_surfaces(model, report->sections, report->hub, quiet.console);
    post.file = report->file;
    post.hub = report->hub;
    post.sections = surfaces->sections;
    post.surface = surfaces->surface;
    post.grid = surfaces->grid;
    post.mesh = surfaces->mesh;
}

}  // namespace korvanti::testing
