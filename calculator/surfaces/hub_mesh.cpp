// Hub grid and panel mesh of one blade sector. The hub between two blades is
// developed flat (s = ρθ against x), split at the middle of the gap, and
// wrapped back onto the hub profile; its axial grid lines are then re-spaced
// evenly in arc length with chord-length parametric splines. The seams on
// the hub beyond the section ends take the cylindrical mean (mean angle,
// mean radius) of their neighbours.
#include "surfaces/hub_mesh.h"

#include <array>
#include <cmath>
#include <string>

#include "filelayer/errors.h"
#include "numeric/cubic_spline.h"
#include "surfaces/space_curve.h"

namespace korvanti {

namespace {

constexpr float pi = 3.1415927f;

// Hub radius at axial position x; outside the profile the radius stays as it was.
void hub_radius(const HubProfileSpline& hub, float x, float& R, Console& console) {
    int found = 0;
    cubic_spline_value(hub.NH, x, R, hub.xH.view(), hub.spline, found, console);
}

int add_node(Mesh& mesh, float X, float Y, float Z) {
    if (mesh.node_count >= mesh_node_capacity)
        throw InputError(" HATA: panel agi " + std::to_string(mesh_node_capacity) +
                         " dugumden fazlasini gerektiriyor");
    int n = ++mesh.node_count;
    mesh.X(n) = X;
    mesh.Y(n) = Y;
    mesh.Z(n) = Z;
    return n;
}

int add_panel(Mesh& mesh, int c1, int c2, int c3, int c4) {
    if (mesh.panel_count >= mesh_panel_capacity)
        throw InputError(" HATA: panel agi " + std::to_string(mesh_panel_capacity) +
                         " panelden fazlasini gerektiriyor");
    int p = ++mesh.panel_count;
    mesh.corner(p, 1) = c1;
    mesh.corner(p, 2) = c2;
    mesh.corner(p, 3) = c3;
    mesh.corner(p, 4) = c4;
    return p;
}

// The two strips at root point J, straight in the developed plane
// from the root point to the middle of the gap on either side.
void build_strips_at(const BladeSurface& surface, const HubProfileSpline& hub, int Z, int N1, int J,
                     float& Rs, float& Rp, HubGrid& grid, Console& console) {
    float Xp = surface.pressure.X(1, J), Yp = surface.pressure.Y(1, J);
    float Xs = surface.suction.X(1, J), Ys = surface.suction.Y(1, J);
    hub_radius(hub, Xs, Rs, console);
    hub_radius(hub, Xp, Rp, console);
    float blade_gap_s = pi * 2.0f * Rs / static_cast<float>(Z);
    float blade_gap_p = pi * 2.0f * Rp / static_cast<float>(Z);
    float middle_x = (Xp + Xs) / 2.0f;
    float middle_sp = (Yp + Ys + blade_gap_s) / 2.0f;
    float middle_ss = (Ys + Yp - blade_gap_p) / 2.0f;

    float start_s[3] = {0.0f, Yp, Ys};
    float start_x[3] = {0.0f, Xp, Xs};
    float end_s[3] = {0.0f, middle_sp, middle_ss};
    for (int side = 1; side <= 2; ++side) {
        HubStrip& strip = grid.strip(side);
        for (int i = 1; i <= N1; ++i) {
            // start + f (end - start) with f = (i - 1)/(N1 - 1); the far end is the gap middle
            // itself.
            float f = static_cast<float>(i - 1) / static_cast<float>(N1 - 1);
            float s = (i == N1) ? end_s[side] : start_s[side] + f * (end_s[side] - start_s[side]);
            float x = (i == N1) ? middle_x : start_x[side] + f * (middle_x - start_x[side]);
            float theta = s / Rp;
            strip.theta(J, i) = theta;
            strip.X(J, i) = x;
            strip.Y(J, i) = Rp * std::sin(theta);
            strip.Z(J, i) = Rp * std::cos(theta);
        }
    }
}

// Rows along the axis from the strip row J to the hub end
// `x_end`, at the angles of that strip row; the last row is the end point.
void build_extension(const HubProfileSpline& hub, const HubGrid& grid, int J, int N1, int rows,
                     float x0, float step, float x_end, float start_radius,
                     Array1<HubExtension, 2>& extension, Console& console) {
    for (int side = 1; side <= 2; ++side) {
        const HubStrip& strip = grid.strip(side);
        HubExtension& ext = extension(side);
        for (int i = 1; i <= N1; ++i) {
            ext.X(1, i) = strip.X(J, i);
            ext.Y(1, i) = strip.Y(J, i);
            ext.Z(1, i) = strip.Z(J, i);
            ext.X(rows, i) = x_end;
            ext.Y(rows, i) = 0.0f;
            ext.Z(rows, i) = 0.0f;
        }
    }
    float R = start_radius;
    for (int n = 2; n <= rows - 1; ++n) {
        float x = x0 + static_cast<float>(n - 1) * step;
        hub_radius(hub, x, R, console);
        for (int side = 1; side <= 2; ++side) {
            for (int i = 1; i <= N1; ++i) {
                float theta = grid.strip(side).theta(J, i);
                extension(side).X(n, i) = x;
                extension(side).Y(n, i) = R * std::sin(theta);
                extension(side).Z(n, i) = R * std::cos(theta);
            }
        }
    }
}

void set_grid_point(HubGrid& grid, int q, int column, float X, float Y, float Z) {
    grid.X(q, column) = X;
    grid.Y(q, column) = Y;
    grid.Z(q, column) = Z;
}

// An extension row: suction strip N1..2, then pressure strip 1..N1.
void extension_grid_row(HubGrid& grid, int q, const Array1<HubExtension, 2>& ext, int n, int N1) {
    int column = 0;
    for (int i = N1; i >= 2; --i)
        set_grid_point(grid, q, ++column, ext(2).X(n, i), ext(2).Y(n, i), ext(2).Z(n, i));
    for (int i = 1; i <= N1; ++i)
        set_grid_point(grid, q, ++column, ext(1).X(n, i), ext(1).Y(n, i), ext(1).Z(n, i));
    grid.NPR(q) = column;
}

// A strip row: suction strip N1..1, then pressure strip 1..N1; the blade
// root lies between columns N1 and N1 + 1.
void strip_grid_row(HubGrid& grid, int q, int J, int N1) {
    const HubStrip& suction = grid.strip(2);
    const HubStrip& pressure = grid.strip(1);
    int column = 0;
    for (int i = N1; i >= 1; --i)
        set_grid_point(grid, q, ++column, suction.X(J, i), suction.Y(J, i), suction.Z(J, i));
    for (int i = 1; i <= N1; ++i)
        set_grid_point(grid, q, ++column, pressure.X(J, i), pressure.Y(J, i), pressure.Z(J, i));
    grid.NPR(q) = column;
}

void end_grid_row(HubGrid& grid, int q, float x) {
    set_grid_point(grid, q, 1, x, 0.0f, 0.0f);
    grid.NPR(q) = 1;
}

// The grid rows from the far end of the hub to its start: the end point,
// the extension towards xH(NH) reversed, the strip rows J = 2..Nc-1, the
// extension towards xH(1), the other end point.
void assemble_grid_rows(const Mesh& mesh, const HubProfileSpline& hub, int Nc, HubGrid& grid) {
    int N1 = mesh.N1, Nf = mesh.Nf, Nrow = mesh.Nrow;
    end_grid_row(grid, 1, hub.xH(hub.NH));
    for (int q = 2; q <= Nf; ++q) extension_grid_row(grid, q, grid.toward_end, Nf + 1 - q, N1);
    for (int q = Nf + 1; q <= Nf + Nc - 2; ++q) strip_grid_row(grid, q, q - Nf + 1, N1);
    for (int q = Nf + Nc - 1; q <= Nrow - 1; ++q)
        extension_grid_row(grid, q, grid.toward_start, q - (Nf + Nc - 2), N1);
    end_grid_row(grid, Nrow, hub.xH(1));
}

// Hub nodes numbered row after row, column after column.
void number_hub_nodes(HubGrid& grid, Mesh& mesh) {
    for (int q = 1; q <= mesh.Nrow; ++q) {
        for (int column = 1; column <= grid.NPR(q); ++column)
            grid.NODE(q, column) =
                add_node(mesh, grid.X(q, column), grid.Y(q, column), grid.Z(q, column));
    }
}

// Hub panels row by row against the previous row.
void hub_panels(const HubGrid& grid, int Nc, Mesh& mesh) {
    int N1 = mesh.N1, Nf = mesh.Nf, Nrow = mesh.Nrow;
    auto node = [&](int q, int j) { return grid.NODE(q, j); };
    auto plain = [&](int q, int j) {
        add_panel(mesh, node(q, j + 1), node(q - 1, j + 1), node(q - 1, j), node(q, j));
    };
    for (int j = 1; j <= grid.NPR(2) - 1; ++j) add_panel(mesh, node(2, j + 1), 1, 1, node(2, j));
    for (int q = 3; q <= Nrow - 1; ++q) {
        for (int j = 1; j <= grid.NPR(q) - 1; ++j) {
            if (q <= Nf || q >= Nf + Nc || j < N1) {
                plain(q, j);
            } else if (q == Nf + 1) {
                if (j != 2 * N1 - 1)
                    add_panel(mesh, node(q, j + 2), node(q - 1, j + 1), node(q - 1, j),
                              node(q, j + 1));
            } else if (q <= Nf + Nc - 2) {
                if (j != 2 * N1 - 1)
                    add_panel(mesh, node(q, j + 2), node(q - 1, j + 2), node(q - 1, j + 1),
                              node(q, j + 1));
            } else {
                add_panel(mesh, node(q, j + 1), node(q - 1, j + 2), node(q - 1, j + 1), node(q, j));
            }
        }
    }
    int E = node(Nrow, 1);
    for (int j = 1; j <= grid.NPR(Nrow - 1) - 1; ++j)
        add_panel(mesh, E, node(Nrow - 1, j + 1), node(Nrow - 1, j), E);
    mesh.NH1 = mesh.panel_count;
}

// The hub nodes that form the blade's root row.
void root_node_lists(int Nc, Mesh& mesh, HubGrid& grid) {
    int N1 = mesh.N1, Nf = mesh.Nf;
    for (int J = 1; J <= Nc; ++J) {
        int q = Nf + J - 1;
        bool end_row = (J == 1 || J == Nc);
        grid.root_pressure(J) = grid.NODE(q, end_row ? N1 : N1 + 1);
        grid.root_suction(J) = grid.NODE(q, N1);
    }
}

// Re-spaces the nodes nodes(1..n) evenly in arc length along the parametric
// spline through them; entries first_written..n are written back.
void respace_line(Mesh& mesh, int n, const Array1<int, curve_capacity>& nodes, int first_written) {
    Array1<float, curve_capacity> x, y, z, t, tq, xo, yo, zo;
    for (int k = 1; k <= n; ++k) {
        x(k) = mesh.X(nodes(k));
        y(k) = mesh.Y(nodes(k));
        z(k) = mesh.Z(nodes(k));
    }
    SpaceCurveTable table;
    int error = 0;
    fit_space_curve(n, x.view(), y.view(), z.view(), t.view(), table, 0, error);
    float T = t(n);
    // ((k - 1) T)/(n - 1): product first, then the division.
    for (int k = 1; k <= n; ++k) tq(k) = static_cast<float>(k - 1) * T / static_cast<float>(n - 1);
    evaluate_space_curve(n, tq.view(), n, x.view(), y.view(), z.view(), t.view(), table, xo.view(),
                         yo.view(), zo.view());
    for (int k = first_written; k <= n; ++k) {
        mesh.X(nodes(k)) = xo(k);
        mesh.Y(nodes(k)) = yo(k);
        mesh.Z(nodes(k)) = zo(k);
    }
}

// The node of axial line `column` (1..2 N1 - 1, column N1 excluded) in grid
// row q: strip rows carry the root twice, so their pressure side is one
// column further on.
int line_node(const HubGrid& grid, const Mesh& mesh, int Nc, int q, int column) {
    if (grid.NPR(q) == 1) return grid.NODE(q, 1);
    bool strip_row = q >= mesh.Nf + 1 && q <= mesh.Nf + Nc - 2;
    return grid.NODE(q, (strip_row && column > mesh.N1) ? column + 1 : column);
}

void respace_axial_lines(const HubGrid& grid, int Nc, int first_row, int last_row,
                         int first_written, Mesh& mesh) {
    int n = last_row - first_row + 1;
    for (int column = 1; column <= 2 * mesh.N1 - 1; ++column) {
        if (column == mesh.N1) continue;
        Array1<int, curve_capacity> nodes;
        for (int k = 1; k <= n; ++k)
            nodes(k) = line_node(grid, mesh, Nc, first_row + k - 1, column);
        respace_line(mesh, n, nodes, first_written);
    }
}

// The seam node of column N1 in rows first..last: mean X, mean polar angle
// and mean radius of its two neighbours.
void seam(const HubGrid& grid, int first, int last, Mesh& mesh) {
    int N1 = mesh.N1;
    for (int q = first; q <= last; ++q) {
        int a = grid.NODE(q, N1 - 1), b = grid.NODE(q, N1 + 1), m = grid.NODE(q, N1);
        float angle_a = std::atan2(mesh.Z(a), mesh.Y(a));
        float angle_b = std::atan2(mesh.Z(b), mesh.Y(b));
        float radius_a = std::sqrt(mesh.Y(a) * mesh.Y(a) + mesh.Z(a) * mesh.Z(a));
        float radius_b = std::sqrt(mesh.Y(b) * mesh.Y(b) + mesh.Z(b) * mesh.Z(b));
        float angle = (angle_a + angle_b) / 2.0f;
        float radius = (radius_a + radius_b) / 2.0f;
        mesh.X(m) = (mesh.X(a) + mesh.X(b)) / 2.0f;
        mesh.Y(m) = radius * std::cos(angle);
        mesh.Z(m) = radius * std::sin(angle);
    }
}

// Zone tables of the hub and the root row of the blade tables.
void hub_index_tables(const HubGrid& grid, int Nc, Mesh& mesh) {
    int N1 = mesh.N1, Nf = mesh.Nf;
    for (int q = 1; q <= mesh.Nrow; ++q) {
        bool strip_row = q >= Nf + 1 && q <= Nf + Nc - 2;
        for (int m = 1; m <= N1; ++m) {
            if (grid.NPR(q) == 1) {
                mesh.hub_index(1)(q, m) = grid.NODE(q, 1);
                mesh.hub_index(2)(q, m) = grid.NODE(q, 1);
            } else {
                mesh.hub_index(1)(q, m) = grid.NODE(q, m);
                mesh.hub_index(2)(q, m) = grid.NODE(q, strip_row ? N1 + m : N1 + m - 1);
            }
        }
    }
    for (int J = 1; J <= Nc; ++J) {
        mesh.blade_index(pressure_side)(1, J) = mesh.hub_index(2)(Nf + J - 1, 1);
        mesh.blade_index(suction_side)(1, J) = mesh.hub_index(1)(Nf + J - 1, N1);
    }
}

// The suction-side lines of zone 1 towards the start of the hub, once more.
void respace_zone_one(int Nc, Mesh& mesh) {
    int first = mesh.Nf + Nc - 3;
    int n = mesh.Nrow - first + 1;
    for (int m = 2; m <= mesh.N1 - 1; ++m) {
        Array1<int, curve_capacity> nodes;
        for (int k = 1; k <= n; ++k) nodes(k) = mesh.hub_index(1)(first + k - 1, m);
        respace_line(mesh, n, nodes, 1);
    }
}

// Blade nodes of rows 2..M (the suction side shares the edge
// nodes of the pressure side) and the panels of both sides.
void blade_side_nodes(const SurfaceSide& side_table, int side, int M, int Nc, Mesh& mesh) {
    BladeIndexTable& index = mesh.blade_index(side);
    for (int k = 2; k <= M; ++k) {
        for (int i = 1; i <= Nc; ++i) {
            bool shared_edge = side == suction_side && (i == 1 || i == Nc);
            index(k, i) = shared_edge ? mesh.blade_index(pressure_side)(k, i)
                                      : add_node(mesh, side_table.X(k, i), side_table.Y(k, i),
                                                 side_table.Z(k, i));
        }
    }
}

void blade_side_panels(int side, int M, int Nc, Mesh& mesh) {
    const BladeIndexTable& A = mesh.blade_index(side);
    for (int k = 1; k <= M - 1; ++k) {
        for (int i = 1; i <= Nc - 1; ++i) {
            int p = add_panel(mesh, A(k, i), A(k, i + 1), A(k + 1, i + 1), A(k + 1, i));
            mesh.blade_panel(side)(k, i) = p;
            if (i == 1) mesh.first_panel(side)(k) = p;
        }
        mesh.row_panels(k) = Nc - 1;
    }
}

// The start of the hub moved to X = 0, and the panels turned so
// that their normals point out of the body.
void shift_and_orient(const HubProfileSpline& hub, Mesh& mesh) {
    mesh.axial_shift = std::fabs(hub.xH(1));
    for (int n = 1; n <= mesh.node_count; ++n) mesh.X(n) = mesh.X(n) + mesh.axial_shift;
    for (int p = 1; p <= mesh.panel_count; ++p) {
        int c1 = mesh.corner(p, 1), c2 = mesh.corner(p, 2), c3 = mesh.corner(p, 3),
            c4 = mesh.corner(p, 4);
        bool all_negative =
            mesh.Y(c1) < 0.0f && mesh.Y(c2) < 0.0f && mesh.Y(c3) < 0.0f && mesh.Y(c4) < 0.0f;
        std::array<int, 4> turned = {c1, c2, c3, c4};
        if (p <= mesh.NH1) {
            if (all_negative) turned = {c4, c3, c2, c1};
        } else {
            turned = all_negative ? std::array<int, 4>{c1, c4, c3, c2}
                                  : std::array<int, 4>{c2, c3, c4, c1};
        }
        for (int k = 1; k <= 4; ++k) mesh.corner(p, k) = turned[static_cast<size_t>(k - 1)];
    }
}

}  // namespace

int strip_point_count(int blade_count) {
    switch (blade_count) {
        case 2:
            return 15;
        case 3:
            return 12;
        case 4:
            return 10;
        case 5:
            return 8;
        default:
            return 6;
    }
}

MeshCounts mesh_counts(int blade_count, int Nc, int M) {
    MeshCounts counts;
    counts.N1 = strip_point_count(blade_count);
    counts.Nrow = Nc + 2 * extension_rows - 2;
    int N1 = counts.N1;
    counts.hub_nodes = 2 + 2 * (extension_rows - 1) * (2 * N1 - 1) + (Nc - 2) * 2 * N1;
    counts.hub_panels = (counts.Nrow - 1) * (2 * N1 - 2);
    counts.blade_nodes = (M - 1) * Nc + (M - 1) * (Nc - 2);
    counts.blade_panels = 2 * (M - 1) * (Nc - 1);
    return counts;
}

void build_hub_and_panels(const BladeSurface& surface, const ReportSections& sections,
                          const HubProfileSpline& hub, int blade_count, HubGrid& grid, Mesh& mesh,
                          Console& console) {
    int Nc = surface.Nc;
    int M = sections.M;
    mesh.node_count = 0;
    mesh.panel_count = 0;
    mesh.N1 = strip_point_count(blade_count);
    mesh.Nf = extension_rows;
    mesh.Na = extension_rows;
    mesh.Nrow = Nc + mesh.Nf + mesh.Na - 2;
    int N1 = mesh.N1, Nf = mesh.Nf, Na = mesh.Na, Nrow = mesh.Nrow;

    // Both sides' hub radii start at the innermost report radius.
    float Rs = sections.r(1);
    float Rp = Rs;
    for (int J = 1; J <= Nc; ++J)
        build_strips_at(surface, hub, blade_count, N1, J, Rs, Rp, grid, console);

    float x0 = grid.strip(1).X(1, 1);
    float x_end = hub.xH(hub.NH);
    build_extension(hub, grid, 1, N1, Nf, x0, std::fabs(x_end - x0) / static_cast<float>(Nf - 1),
                    x_end, sections.r(1), grid.toward_end, console);
    x0 = grid.strip(1).X(Nc, 1);
    float x_start = hub.xH(1);
    build_extension(hub, grid, Nc, N1, Na, x0, (x_start - x0) / static_cast<float>(Na - 1), x_start,
                    sections.r(1), grid.toward_start, console);

    assemble_grid_rows(mesh, hub, Nc, grid);
    number_hub_nodes(grid, mesh);
    hub_panels(grid, Nc, mesh);
    root_node_lists(Nc, mesh, grid);

    respace_axial_lines(grid, Nc, 1, Nf + 2, 2, mesh);
    seam(grid, 2, Nf - 1, mesh);
    respace_axial_lines(grid, Nc, Nf + Nc - 2, Nrow, 1, mesh);
    seam(grid, Nf + Nc, Nrow - 1, mesh);

    hub_index_tables(grid, Nc, mesh);
    mesh.M = M;
    for (int k = 1; k <= M; ++k) mesh.row_points(k) = surface.Ncount(k);
    respace_zone_one(Nc, mesh);

    blade_side_nodes(surface.pressure, pressure_side, M, Nc, mesh);
    blade_side_panels(pressure_side, M, Nc, mesh);
    blade_side_nodes(surface.suction, suction_side, M, Nc, mesh);
    blade_side_panels(suction_side, M, Nc, mesh);

    shift_and_orient(hub, mesh);
}

}  // namespace korvanti
