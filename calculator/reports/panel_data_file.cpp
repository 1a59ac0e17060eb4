#include "reports/panel_data_file.h"

#include <cmath>
#include <sstream>
#include <utility>
#include <vector>

#include "filelayer/file_text.h"
#include "filelayer/output_file.h"
#include "filelayer/record.h"

namespace korvanti {

namespace {

void write_sections(const ReportSections& s, const BladeSurface& surface, FileText& out) {
    out.record("(3I5)", {s.M});
    for (int k = 1; k <= s.M; ++k) {
        out.record("(3I5)", {s.NP(k), surface.Ncount(k)});
        for (int j = 1; j <= s.NP(k); ++j) out.record("(2F10.5)", {s.xc(k, j), s.ys(k, j)});
        for (int j = 1; j <= s.NP(k); ++j) out.record("(2F10.5)", {s.xc(k, j), s.yp(k, j)});
    }
    for (int k = 1; k <= s.M; ++k) out.record("(F10.5)", {s.r(k)});
    for (int k = 1; k <= s.M; ++k) {
        float distance = std::fabs(s.xc(k, s.NP(k)) - s.xc(k, 1)) * s.tmx_le_chord(k);
        out.record("(F10.5)", {distance});
    }
}

void write_surface_grid(const ReportSections& s, const BladeSurface& surface, FileText& out) {
    const SurfaceSide* sides[2] = {&surface.pressure, &surface.suction};
    for (const SurfaceSide* side : sides) {
        const SectionTable* coordinates[3] = {&side->X, &side->Y, &side->Z};
        for (const SectionTable* table : coordinates) {
            for (int k = 1; k <= s.M; ++k) {
                for (int w = 1; w <= surface.Ncount(k); ++w)
                    out.record("(F10.5)", {(*table)(k, w)});
            }
        }
    }
}

void write_particulars(const BladeModel& model, const ReportSections& s,
                       const BladeSurface& surface, FileText& out) {
    out.record("(I10,3F10.5)", {model.blade_count, model.area_ratio});
    out.record("(2F10.5)", {model.diameter, model.pitch_ratio});
    for (int k = 1; k <= s.M; ++k) {
        for (int side = pressure_side; side <= suction_side; ++side) {
            const Point3& p = surface.max_thickness(k, side);
            out.record("(3F10.5)", {p.X, p.Y, p.Z});
        }
    }
}

// The mesh of hub and blade, then the empty second mesh (counts only).
void write_mesh(const Mesh& mesh, FileText& out) {
    out.record("(5I5)", {mesh.node_count, mesh.panel_count, 0, 0, mesh.NH1});
    for (int n = 1; n <= mesh.node_count; ++n)
        out.record("(3F10.5)", {mesh.X(n), mesh.Y(n), mesh.Z(n)});
    for (int p = 1; p <= mesh.panel_count; ++p)
        out.record("(5I5)",
                   {mesh.corner(p, 1), mesh.corner(p, 2), mesh.corner(p, 3), mesh.corner(p, 4)});
}

// One strip between each pair of neighbouring report radii: its chordwise
// panel count, its first panel on either side, then every panel pair from
// the leading edge back.
void write_strip_table(const Mesh& mesh, FileText& out) {
    int K = mesh.M - 1;
    out.record("(2I9)", {K});
    std::vector<RecordValue> L;
    for (int i = 1; i <= K; ++i) L.emplace_back(mesh.row_points(i) - 1);
    out.record("(25I3)", L);
    for (int i = 1; i <= K; ++i)
        out.record("(2I9)",
                   {mesh.first_panel(pressure_side)(i), mesh.first_panel(suction_side)(i)});
    for (int i = 1; i <= K; ++i) {
        for (int l = mesh.row_points(i) - 1; l >= 1; --l)
            out.record("(2I9)", {mesh.blade_panel(pressure_side)(i, l),
                                 mesh.blade_panel(suction_side)(i, l)});
    }
}

}  // namespace

std::string panel_data_text(const BladeModel& model, const ReportSections& sections,
                            const BladeSurface& surface, const Mesh& mesh) {
    // Mostly lines of 11 to 31 characters: the sections, the surface grid,
    // the nodes and the panels.
    std::size_t lines =
        static_cast<std::size_t>(mesh.node_count) + static_cast<std::size_t>(mesh.panel_count);
    for (int k = 1; k <= sections.M; ++k)
        lines += 2 * static_cast<std::size_t>(sections.NP(k)) +
                 6 * static_cast<std::size_t>(surface.Ncount(k));
    FileText out(panel_data_file_name, 24 * lines + 4096);
    write_sections(sections, surface, out);
    write_surface_grid(sections, surface, out);
    write_particulars(model, sections, surface, out);
    write_mesh(mesh, out);
    write_strip_table(mesh, out);
    return std::move(out).finish();
}

void write_panel_data_file(const BladeModel& model, const ReportSections& sections,
                           const BladeSurface& surface, const Mesh& mesh) {
    build_output_file(panel_data_file_name,
                      [&] { return panel_data_text(model, sections, surface, mesh); });
}

}  // namespace korvanti
