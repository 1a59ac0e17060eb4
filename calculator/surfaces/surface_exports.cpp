// Tecplot: every blade is the base blade turned about the shaft axis, so
// the mesh of one blade and its hub sector is written Z times, each hub
// zone a grid of N1 columns by Nrow rows and each blade side Nc points by M
// radius rows, one blank line after every row.
//
// Rhino: a command macro, one word or number per line, each line starting
// with one blank. Coordinates are written F10.6 (F11.6 above 999.99) and
// counts as plain digits, both without blanks.
#include "surfaces/surface_exports.h"

#include <cmath>
#include <initializer_list>
#include <sstream>
#include <string_view>
#include <utility>

#include "filelayer/file_text.h"
#include "filelayer/number_text.h"
#include "filelayer/output_file.h"
#include "filelayer/record.h"

namespace korvanti {

namespace {

constexpr float full_turn = 6.2831855f;

constexpr std::string_view variables_line = " VARIABLES = \"X\",\"Y\",\"Z\"";
constexpr std::string_view point_record = "(3(F14.8,1X))";
// Zone colour words, 12 characters.
constexpr std::string_view hub_colour = "BLUE        ";
constexpr std::string_view blade_colour = "RED         ";

constexpr std::string_view hub_headers[2] = {
    "(1X,'ZONE T=\"PRESS. SIDE OF HUB\", I=',I3,', J=',I3,',C=',A12,/)",
    "(/,1X,'ZONE T=\"SUCTI. SIDE OF HUB\", I=',I3,', J=',I3,',C=',A12,/)"};
constexpr std::string_view blade_headers[2] = {
    "(/,1X,'ZONE T=\"PRESS. SIDE OF BLADE\", I=',I3,', J=',I3,',C=',A12,/)",
    "(/,1X,'ZONE T=\"SUCTI. SIDE OF BLADE\", I=',I3,', J=',I3,',C=',A12,/)"};

// Rotation of blade b about the X axis by alpha = -(b - 1)·2π/Z.
struct Turn {
    float cos_alpha;
    float sin_alpha;
};

Turn blade_turn(int b, int blade_count) {
    float alpha = -(static_cast<float>(b - 1) * full_turn / static_cast<float>(blade_count));
    return {std::cos(alpha), std::sin(alpha)};
}

void write_turned_node(FileText& out, const Mesh& mesh, int n, Turn turn) {
    float Y = mesh.Y(n);
    float Z = mesh.Z(n);
    float Yt = turn.cos_alpha * Y - turn.sin_alpha * Z;
    float Zt = turn.cos_alpha * Z + turn.sin_alpha * Y;
    out.record(point_record, {mesh.X(n), Yt, Zt});
}

void write_hub_zone(FileText& out, const Mesh& mesh, int zone, Turn turn) {
    out.line(variables_line);
    out.record(hub_headers[zone - 1], {mesh.N1, mesh.Nrow, std::string(hub_colour)});
    const HubIndexTable& index = mesh.hub_index(zone);
    for (int q = 1; q <= mesh.Nrow; ++q) {
        for (int m = 1; m <= mesh.N1; ++m) write_turned_node(out, mesh, index(q, m), turn);
        out.line("");
    }
}

void write_blade_zone(FileText& out, const Mesh& mesh, int side, Turn turn) {
    out.line(variables_line);
    out.record(blade_headers[side - 1], {mesh.row_points(1), mesh.M, std::string(blade_colour)});
    const BladeIndexTable& index = mesh.blade_index(side);
    for (int k = 1; k <= mesh.M; ++k) {
        for (int i = 1; i <= mesh.row_points(k); ++i)
            write_turned_node(out, mesh, index(k, i), turn);
        out.line("");
    }
}

// --- Rhino macro ---

void put(FileText& out, std::string_view text) { out.line(" " + std::string(text)); }

void put_lines(FileText& out, std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines) put(out, line);
}

std::string coordinate_text(float value) {
    int integer_digits = 3;
    return real_to_text(value, integer_digits, 6);
}

void put_point(FileText& out, float x, float y, float z) {
    out.check(x);
    out.check(y);
    out.check(z);
    put(out, coordinate_text(x) + "," + coordinate_text(y) + "," + coordinate_text(z));
}

void put_layer(FileText& out, std::string_view name) {
    put_lines(out, {"-Layer", "r", "_Enter", "255,180,200", "n", name, "o", name, "v", "y",
                    "_Enter", "-Layer", "o", name, "c", name, "_Enter"});
}

void put_default_layer(FileText& out) {
    put_lines(out, {"-Layer", "f", "*", "_Enter", "Invert", "-Layer", "o", "Default", "c",
                    "Default", "_Enter", "Invert"});
}

// The point-grid surface of one blade side: sizes, then M rows of Nc
// points. The suction side is asked for with degree 8 and an _Enter where
// the pressure side repeats Closed=no.
void put_blade_grid(FileText& out, const Mesh& mesh, int side) {
    std::string_view degree = (side == pressure_side) ? "Degree=15" : "Degree=8";
    std::string_view second_closed = (side == pressure_side) ? "Closed=no" : "_Enter";
    int Nc = mesh.row_points(1);
    put_lines(out, {"-SrfPtGrid", "Closed=no", degree, "Keeppoints=YES"});
    put(out, integer_to_text(mesh.M));
    put_lines(out, {second_closed, degree, "Keeppoints=YES"});
    put(out, integer_to_text(Nc));
    const BladeIndexTable& index = mesh.blade_index(side);
    for (int k = 1; k <= mesh.M; ++k) {
        for (int i = 1; i <= Nc; ++i) {
            int n = index(k, i);
            put_point(out, mesh.X(n), mesh.Y(n), mesh.Z(n));
        }
    }
    put(out, "_Invert");
    put_default_layer(out);
}

// The hub profile in the plane Y = 0, moved like the mesh, revolved about
// the X axis.
void put_hub(FileText& out, const Mesh& mesh, const HubProfileSpline& hub) {
    put_layer(out, "Hub");
    put_lines(out, {"_Curve", "d", "3"});
    for (int m = 1; m <= hub.NH; ++m) put_point(out, hub.xH(m) + mesh.axial_shift, 0.0f, hub.rH(m));
    put(out, "_Enter");
    put_lines(out, {"_Invert", "-Revolve"});
    put_point(out, 1.0f, 0.0f, 0.0f);
    put_point(out, -1.0f, 0.0f, 0.0f);
    put_lines(out, {"_Enter", "_Enter"});
    put_default_layer(out);
}

}  // namespace

std::string tecplot_3d_text(const Mesh& mesh, int blade_count) {
    // 46 characters a point, a blank line a row, and the zone headers.
    std::size_t points =
        2 * static_cast<std::size_t>(mesh.N1) * static_cast<std::size_t>(mesh.Nrow);
    for (int k = 1; k <= mesh.M; ++k) points += 2 * static_cast<std::size_t>(mesh.row_points(k));
    std::size_t rows = 2 * static_cast<std::size_t>(mesh.Nrow + mesh.M);
    FileText out(tecplot_3d_file_name,
                 static_cast<std::size_t>(blade_count) * (46 * points + 2 * rows + 4 * 160) + 64);
    for (int b = 1; b <= blade_count; ++b) {
        Turn turn = blade_turn(b, blade_count);
        for (int zone = 1; zone <= 2; ++zone) write_hub_zone(out, mesh, zone, turn);
    }
    for (int b = 1; b <= blade_count; ++b) {
        Turn turn = blade_turn(b, blade_count);
        write_blade_zone(out, mesh, pressure_side, turn);
        write_blade_zone(out, mesh, suction_side, turn);
    }
    return std::move(out).finish();
}

std::string rhino_macro_text(const Mesh& mesh, const HubProfileSpline& hub) {
    // About 36 characters a point of the two blade grids and the hub profile.
    std::size_t points = static_cast<std::size_t>(hub.NH) + 2;
    for (int k = 1; k <= mesh.M; ++k) points += 2 * static_cast<std::size_t>(mesh.row_points(1));
    FileText out(rhino_macro_file_name, 36 * points + 2048);
    put_lines(out, {"-Restore", "-SetView", "_World", "p", "-Layer", "f", "*", "_Enter"});
    put_layer(out, "PropFace");
    put_blade_grid(out, mesh, pressure_side);
    put_layer(out, "PropBack");
    put_blade_grid(out, mesh, suction_side);
    put_hub(out, mesh, hub);
    put_lines(out, {"_4View", "-SelLayer", "*", "-Invert", "_Zoom", "A", "E"});
    return std::move(out).finish();
}

void write_surface_exports(const Mesh& mesh, const HubProfileSpline& hub, int blade_count) {
    build_output_file(tecplot_3d_file_name, [&] { return tecplot_3d_text(mesh, blade_count); });
    build_output_file(rhino_macro_file_name, [&] { return rhino_macro_text(mesh, hub); });
}

}  // namespace korvanti
