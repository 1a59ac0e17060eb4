#include "surfaces/surface_exports.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <set>

#include "support/surface_export_files.h"
#include "support/test_support.h"

namespace korvanti {
namespace {

using testing::Point;

struct Shape {
    int N1;
    int Nrow;
    int Nc;
    int M;
};

int add_node(Mesh& mesh, float X, float Y, float Z) {
    int n = ++mesh.node_count;
    mesh.X(n) = X;
    mesh.Y(n) = Y;
    mesh.Z(n) = Z;
    return n;
}

int add_node_on(Mesh& mesh, float X, float radius, float theta) {
    return add_node(mesh, X, radius * std::sin(theta), radius * std::cos(theta));
}

// A mesh laid out like the hub and blade mesh: the end rows of the hub are
// one node on the axis; zone 1 runs from the suction-side gap middle to the
// blade, zone 2 from the blade to the pressure-side gap middle; the blade's
// first row is hub nodes in rows 2..Nc+1, its edge nodes shared by both sides.
std::unique_ptr<Mesh> make_mesh(Shape shape, float scale) {
    auto mesh = std::make_unique<Mesh>();
    mesh->N1 = shape.N1;
    mesh->Nrow = shape.Nrow;
    mesh->M = shape.M;
    const float hub_radius = 0.2f * scale;
    const float step = 0.3f / static_cast<float>(shape.N1);
    auto row_x = [&](int q) { return scale * (0.05f * static_cast<float>(q) - 0.4f); };

    int first = add_node(*mesh, row_x(1), 0.0f, 0.0f);
    for (int zone = 1; zone <= 2; ++zone)
        for (int m = 1; m <= shape.N1; ++m) mesh->hub_index(zone)(1, m) = first;
    for (int q = 2; q < shape.Nrow; ++q) {
        for (int m = 1; m <= shape.N1; ++m) {
            float theta = -step * static_cast<float>(shape.N1 - m) - 0.01f;
            mesh->hub_index(1)(q, m) = add_node_on(*mesh, row_x(q), hub_radius, theta);
        }
        for (int m = 1; m <= shape.N1; ++m) {
            float theta = step * static_cast<float>(m - 1) + 0.01f;
            mesh->hub_index(2)(q, m) = add_node_on(*mesh, row_x(q), hub_radius, theta);
        }
    }
    int last = add_node(*mesh, row_x(shape.Nrow), 0.0f, 0.0f);
    for (int zone = 1; zone <= 2; ++zone)
        for (int m = 1; m <= shape.N1; ++m) mesh->hub_index(zone)(shape.Nrow, m) = last;

    for (int k = 1; k <= shape.M; ++k) mesh->row_points(k) = shape.Nc;
    for (int i = 1; i <= shape.Nc; ++i) {
        int q = i + 1;
        bool edge = (i == 1 || i == shape.Nc);
        mesh->blade_index(pressure_side)(1, i) =
            edge ? mesh->hub_index(1)(q, shape.N1) : mesh->hub_index(2)(q, 1);
        mesh->blade_index(suction_side)(1, i) = mesh->hub_index(1)(q, shape.N1);
    }
    for (int k = 2; k <= shape.M; ++k) {
        float radius = hub_radius + 0.1f * scale * static_cast<float>(k);
        for (int i = 1; i <= shape.Nc; ++i) {
            float theta = 0.05f * static_cast<float>(i) - 0.2f;
            float X = scale * (0.02f * static_cast<float>(i) - 0.1f * static_cast<float>(k));
            int p = add_node_on(*mesh, X, radius, theta);
            mesh->blade_index(pressure_side)(k, i) = p;
            bool edge = (i == 1 || i == shape.Nc);
            mesh->blade_index(suction_side)(k, i) =
                edge ? p : add_node_on(*mesh, X + 0.01f * scale, radius, theta + 0.02f);
        }
    }
    mesh->axial_shift = 0.4f * scale;
    return mesh;
}

HubProfileSpline make_hub(int NH, float scale) {
    HubProfileSpline hub;
    hub.NH = NH;
    for (int m = 1; m <= NH; ++m) {
        hub.xH(m) = scale * (0.1f * static_cast<float>(m) - 0.4f);
        hub.spline(1, m) = scale * (0.2f - 0.01f * static_cast<float>(m));
    }
    return hub;
}

Point node_point(const Mesh& mesh, int n) { return {mesh.X(n), mesh.Y(n), mesh.Z(n)}; }

void expect_point_near(const Point& written, const Point& expected, double tolerance) {
    for (int f = 0; f < 3; ++f)
        EXPECT_NEAR(written[f], expected[f], tolerance) << "coordinate " << f;
}

testing::TecplotFile parsed_tecplot(const Mesh& mesh, int blade_count) {
    testing::TecplotFile file = testing::parse_tecplot_3d(tecplot_3d_text(mesh, blade_count));
    EXPECT_TRUE(file.errors.empty()) << file.errors.front();
    return file;
}

// The nodes of a hub zone or blade side in the order they are written.
std::vector<int> zone_nodes(const Mesh& mesh, int zone_in_blade) {
    std::vector<int> nodes;
    if (zone_in_blade <= 2) {
        for (int q = 1; q <= mesh.Nrow; ++q)
            for (int m = 1; m <= mesh.N1; ++m) nodes.push_back(mesh.hub_index(zone_in_blade)(q, m));
    } else {
        for (int k = 1; k <= mesh.M; ++k)
            for (int i = 1; i <= mesh.row_points(k); ++i)
                nodes.push_back(mesh.blade_index(zone_in_blade - 2)(k, i));
    }
    return nodes;
}

// ----- Tecplot -----

TEST(Tecplot3D, SingleBladeWritesFourZonesOfTheUnturnedMesh) {
    auto mesh = make_mesh({6, 8, 5, 4}, 1.0f);
    testing::TecplotFile file = parsed_tecplot(*mesh, 1);
    ASSERT_EQ(file.zones.size(), 4u);
    const char* titles[4] = {"PRESS. SIDE OF HUB", "SUCTI. SIDE OF HUB", "PRESS. SIDE OF BLADE",
                             "SUCTI. SIDE OF BLADE"};
    for (int z = 0; z < 4; ++z) {
        const testing::TecplotZone& zone = file.zones[z];
        EXPECT_EQ(zone.title, titles[z]);
        EXPECT_EQ(zone.I, z < 2 ? 6 : 5);
        EXPECT_EQ(zone.J, z < 2 ? 8 : 4);
        std::vector<int> nodes = zone_nodes(*mesh, z + 1);
        ASSERT_EQ(zone.points.size(), nodes.size());
        for (size_t p = 0; p < nodes.size(); ++p)
            expect_point_near(zone.points[p], node_point(*mesh, nodes[p]), 5.1e-9);
    }
}

TEST(Tecplot3D, ZoneOrderHeadersCountsAndBlankLines) {
    // Four blades, Nc = M = 11: N1 = 10 and Nrow = 39.
    auto mesh = make_mesh({10, 39, 11, 11}, 1.0f);
    std::string text = tecplot_3d_text(*mesh, 4);
    std::vector<std::string> lines = testing::split_lines(text);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], R"( VARIABLES = "X","Y","Z")");
    EXPECT_EQ(lines[1], R"( ZONE T="PRESS. SIDE OF HUB", I= 10, J= 39,C=BLUE        )");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3].size(), 45u);
    EXPECT_NE(text.find("\n\n"
                        R"( ZONE T="SUCTI. SIDE OF HUB", I= 10, J= 39,C=BLUE        )"
                        "\n\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n\n"
                        R"( ZONE T="PRESS. SIDE OF BLADE", I= 11, J= 11,C=RED         )"
                        "\n\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n\n"
                        R"( ZONE T="SUCTI. SIDE OF BLADE", I= 11, J= 11,C=RED         )"
                        "\n\n"),
              std::string::npos);
    // The last row is ended by its blank line too.
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");

    testing::TecplotFile file = testing::parse_tecplot_3d(text);
    ASSERT_TRUE(file.errors.empty()) << file.errors.front();
    ASSERT_EQ(file.zones.size(), 16u);
    for (int z = 0; z < 16; ++z) {
        const testing::TecplotZone& zone = file.zones[z];
        bool hub = z < 8;
        std::string expected_title = std::string(z % 2 == 0 ? "PRESS." : "SUCTI.") +
                                     (hub ? " SIDE OF HUB" : " SIDE OF BLADE");
        EXPECT_EQ(zone.title, expected_title) << "zone " << z + 1;
        EXPECT_EQ(zone.colour, hub ? "BLUE        " : "RED         ");
        EXPECT_EQ(zone.blank_before_header, !(hub && z % 2 == 0)) << "zone " << z + 1;
        EXPECT_EQ(zone.I, hub ? 10 : 11);
        EXPECT_EQ(zone.J, hub ? 39 : 11);
        EXPECT_EQ(zone.row_sizes, std::vector<int>(zone.J, zone.I)) << "zone " << z + 1;
        EXPECT_EQ(zone.points.size(), static_cast<size_t>(zone.I * zone.J));
    }
}

TEST(Tecplot3D, EndRowsOfAHubZoneRepeatTheAxisNode) {
    auto mesh = make_mesh({6, 8, 5, 3}, 1.0f);
    testing::TecplotFile file = parsed_tecplot(*mesh, 2);
    ASSERT_EQ(file.zones.size(), 8u);
    for (int z = 0; z < 4; ++z) {
        const std::vector<Point>& points = file.zones[z].points;
        ASSERT_EQ(points.size(), 6u * 8u);
        for (int m = 1; m < 6; ++m) {
            EXPECT_EQ(points[m], points[0]);
            EXPECT_EQ(points[points.size() - 1 - m], points.back());
        }
        EXPECT_EQ(points[0][1], 0.0);
        EXPECT_EQ(points[0][2], 0.0);
    }
}

// Blade b: same X, same distance from the axis, polar angle atan2(Z, Y)
// smaller by (b - 1)·2π/Z than blade 1.
void expect_turned_copies(int blade_count) {
    SCOPED_TRACE("Z = " + std::to_string(blade_count));
    auto mesh = make_mesh({blade_count == 3 ? 12 : 10, 9, 6, 5}, 1.5f);
    testing::TecplotFile file = parsed_tecplot(*mesh, blade_count);
    EXPECT_LT(testing::turning_deviation(file, blade_count), 5e-6);
}

TEST(Tecplot3D, EveryBladeIsTheFirstTurnedAboutTheShaftAxis) {
    expect_turned_copies(3);
    expect_turned_copies(4);
}

// ----- Rhino macro -----

std::vector<std::string> layer_lines(const std::string& name) {
    return {"-Layer", "r",      "_Enter", "255,180,200", "n",  name, "o",  name,    "v",
            "y",      "_Enter", "-Layer", "o",           name, "c",  name, "_Enter"};
}

std::vector<std::string> expected_skeleton() {
    std::vector<std::string> s = {"-Restore", "-SetView", "_World", "p",
                                  "-Layer",   "f",        "*",      "_Enter"};
    auto append = [&s](const std::vector<std::string>& more) {
        s.insert(s.end(), more.begin(), more.end());
    };
    const std::vector<std::string> back_to_default = {
        "_Invert", "-Layer",  "f", "*",       "_Enter", "Invert", "-Layer",
        "o",       "Default", "c", "Default", "_Enter", "Invert"};
    append(layer_lines("PropFace"));
    append({"-SrfPtGrid", "Closed=no", "Degree=15", "Keeppoints=YES", "<count>", "Closed=no",
            "Degree=15", "Keeppoints=YES", "<count>", "<points>"});
    append(back_to_default);
    append(layer_lines("PropBack"));
    append({"-SrfPtGrid", "Closed=no", "Degree=8", "Keeppoints=YES", "<count>", "_Enter",
            "Degree=8", "Keeppoints=YES", "<count>", "<points>"});
    append(back_to_default);
    append(layer_lines("Hub"));
    append({"_Curve", "d", "3", "<points>", "_Enter", "_Invert", "-Revolve", "<points>", "_Enter",
            "_Enter"});
    append({back_to_default.begin() + 1, back_to_default.end()});
    append({"_4View", "-SelLayer", "*", "-Invert", "_Zoom", "A", "E"});
    return s;
}

testing::MacroSkeleton parsed_macro(const Mesh& mesh, const HubProfileSpline& hub) {
    std::vector<std::string> errors;
    std::vector<std::string> lines = testing::macro_lines(rhino_macro_text(mesh, hub), errors);
    EXPECT_TRUE(errors.empty()) << errors.front();
    return testing::macro_skeleton(lines);
}

TEST(RhinoMacro, FixedLinesAreTheSameForEveryPropeller) {
    auto small = make_mesh({6, 8, 5, 4}, 1.0f);
    auto large = make_mesh({10, 39, 11, 11}, 3.0f);
    testing::MacroSkeleton a = parsed_macro(*small, make_hub(5, 1.0f));
    testing::MacroSkeleton b = parsed_macro(*large, make_hub(23, 3.0f));
    EXPECT_EQ(a.lines, expected_skeleton());
    EXPECT_EQ(b.lines, expected_skeleton());

    EXPECT_EQ(a.counts, (std::vector<int>{4, 5, 4, 5}));
    EXPECT_EQ(b.counts, (std::vector<int>{11, 11, 11, 11}));
    ASSERT_EQ(a.point_runs.size(), 4u);
    ASSERT_EQ(b.point_runs.size(), 4u);
    EXPECT_EQ(a.point_runs[0].size(), 20u);
    EXPECT_EQ(a.point_runs[1].size(), 20u);
    EXPECT_EQ(a.point_runs[2].size(), 5u);
    EXPECT_EQ(b.point_runs[0].size(), 121u);
    EXPECT_EQ(b.point_runs[1].size(), 121u);
    EXPECT_EQ(b.point_runs[2].size(), 23u);
    for (const testing::MacroSkeleton* s : {&a, &b})
        EXPECT_EQ(s->point_runs[3], (std::vector<std::string>{"1.000000,0.000000,0.000000",
                                                              "-1.000000,0.000000,0.000000"}));
}

TEST(RhinoMacro, GridsFollowTheBladeIndexRowByRowWithSharedEdgeColumns) {
    auto mesh = make_mesh({6, 8, 5, 4}, 1.0f);
    testing::MacroSkeleton s = parsed_macro(*mesh, make_hub(5, 1.0f));
    ASSERT_EQ(s.point_runs.size(), 4u);
    const int Nc = 5;
    for (int side = 1; side <= 2; ++side) {
        const std::vector<std::string>& grid = s.point_runs[side - 1];
        ASSERT_EQ(grid.size(), 20u);
        for (int k = 1; k <= 4; ++k) {
            for (int i = 1; i <= Nc; ++i) {
                Point written;
                ASSERT_TRUE(testing::read_macro_point(grid[(k - 1) * Nc + (i - 1)], written));
                expect_point_near(written, node_point(*mesh, mesh->blade_index(side)(k, i)),
                                  5.1e-7);
            }
        }
    }
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(s.point_runs[0][k * Nc], s.point_runs[1][k * Nc]);
        EXPECT_EQ(s.point_runs[0][k * Nc + Nc - 1], s.point_runs[1][k * Nc + Nc - 1]);
        EXPECT_NE(s.point_runs[0][k * Nc + 1], s.point_runs[1][k * Nc + 1]);
    }
}

TEST(RhinoMacro, HubCurveIsMovedByTheAxialShiftInThePlaneYZero) {
    auto mesh = make_mesh({6, 8, 5, 4}, 1.0f);
    mesh->axial_shift = 0.25f;
    HubProfileSpline hub = make_hub(4, 1.0f);
    hub.xH(1) = -0.25f;
    hub.spline(1, 1) = 0.0f;
    testing::MacroSkeleton s = parsed_macro(*mesh, hub);
    ASSERT_EQ(s.point_runs.size(), 4u);
    ASSERT_EQ(s.point_runs[2].size(), 4u);
    EXPECT_EQ(s.point_runs[2][0], "0.000000,0.000000,0.000000");
    for (int m = 1; m <= 4; ++m) {
        Point written;
        ASSERT_TRUE(testing::read_macro_point(s.point_runs[2][m - 1], written));
        expect_point_near(written, {hub.xH(m) + 0.25f, 0.0, hub.rH(m)}, 5.1e-7);
    }
}

TEST(RhinoMacro, CoordinatesAreF10_6WidenedAboveNineHundredNinetyNine) {
    auto mesh = make_mesh({6, 8, 5, 4}, 1.0f);
    int n = mesh->blade_index(pressure_side)(2, 2);
    mesh->X(n) = 1234.5f;
    mesh->Y(n) = -0.125f;
    mesh->Z(n) = 99.5f;
    int far = mesh->blade_index(pressure_side)(2, 3);
    mesh->X(far) = -100.0f;
    mesh->Y(far) = -99.5f;
    mesh->Z(far) = 1.0f;
    std::string text = rhino_macro_text(*mesh, make_hub(3, 1.0f));
    EXPECT_NE(text.find("\n 1234.500000,-0.125000,99.500000\n"), std::string::npos);
    // Below -99.99 a coordinate does not fit F10.6.
    EXPECT_NE(text.find("\n **********,-99.500000,1.000000\n"), std::string::npos);
    EXPECT_NE(text.find("\n 1.000000,0.000000,0.000000\n"), std::string::npos);
}

// ----- Both files on disk -----

TEST(SurfaceExports, WritesBothFilesAndNothingElse) {
    testing::ScratchDir dir;
    auto mesh = make_mesh({6, 8, 5, 4}, 1.0f);
    HubProfileSpline hub = make_hub(5, 1.0f);
    write_surface_exports(*mesh, hub, 3);

    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names,
              (std::set<std::string>{"Korvanti3D_Tecplot.PLT", "Korvanti3D_Rhino3_4_Macro.TXT"}));
    EXPECT_EQ(testing::read_file(dir.path() / "Korvanti3D_Tecplot.PLT"), tecplot_3d_text(*mesh, 3));
    EXPECT_EQ(testing::read_file(dir.path() / "Korvanti3D_Rhino3_4_Macro.TXT"),
              rhino_macro_text(*mesh, hub));
}

}  // namespace
}  // namespace korvanti
