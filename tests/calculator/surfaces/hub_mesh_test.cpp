// The hub grid and the panel mesh: counts, end triangles, shared nodes,
// index tables and the axial shift.
#include "surfaces/hub_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <sstream>

#include "support/offsets_fixture.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {

std::unique_ptr<FixturePost> fixture_post(int Z, int mode, int radii) {
    FixtureBlade blade;
    blade.Z = Z;
    auto post = std::make_unique<FixturePost>();
    std::ostringstream result;
    build_fixture_surfaces(blade, fixture_model(blade, mode, radii), *post, result);
    return post;
}

TEST(HubMesh, CountsForFourBladesAndElevenPointsAndRadii) {
    ScratchDir dir;
    auto post = fixture_post(4, 2, 11);
    const Mesh& mesh = post->mesh;
    EXPECT_EQ(mesh.N1, 10);
    EXPECT_EQ(mesh.Nrow, 39);
    EXPECT_EQ(mesh.NH1, 684);
    EXPECT_EQ(mesh.node_count, 714 + 200);
    EXPECT_EQ(mesh.panel_count, 684 + 200);
    // The blade's own nodes come right after the hub's.
    EXPECT_EQ(mesh.blade_index(pressure_side)(2, 1), 715);
    EXPECT_EQ(mesh.blade_panel(pressure_side)(1, 1), 685);
    EXPECT_EQ(mesh.first_panel(suction_side)(1), 685 + 100);

    MeshCounts counts = mesh_counts(4, 11, 11);
    EXPECT_EQ(counts.hub_nodes, 714);
    EXPECT_EQ(counts.hub_panels, 684);
    EXPECT_EQ(counts.blade_nodes, 200);
    EXPECT_EQ(counts.blade_panels, 200);
}

TEST(HubMesh, StripPointsFollowTheBladeCount) {
    ScratchDir dir;
    const int expected[] = {6, 15, 12, 10, 8, 6, 6};
    for (int Z = 1; Z <= 7; ++Z) {
        EXPECT_EQ(strip_point_count(Z), expected[Z - 1]) << Z;
        auto post = fixture_post(Z, 1, 0);
        const Mesh& mesh = post->mesh;
        EXPECT_EQ(mesh.N1, expected[Z - 1]);
        MeshCounts counts = mesh_counts(Z, 11, 5);
        EXPECT_EQ(mesh.NH1, counts.hub_panels) << Z;
        EXPECT_EQ(mesh.node_count, counts.hub_nodes + counts.blade_nodes) << Z;
        EXPECT_EQ(mesh.panel_count, counts.hub_panels + counts.blade_panels) << Z;
    }
}

TEST(HubMesh, EndRowsAreSingleNodesOnTheAxisClosedByTriangles) {
    ScratchDir dir;
    auto post = fixture_post(4, 2, 11);
    const Mesh& mesh = post->mesh;
    int triangles = 2 * mesh.N1 - 2;
    int E = 714;
    for (int p = 1; p <= triangles; ++p) {
        EXPECT_EQ(mesh.corner(p, 2), 1) << p;
        EXPECT_EQ(mesh.corner(p, 3), 1) << p;
        EXPECT_NE(mesh.corner(p, 1), 1);
        EXPECT_NE(mesh.corner(p, 4), 1);
    }
    for (int p = mesh.NH1 - triangles + 1; p <= mesh.NH1; ++p) {
        EXPECT_EQ(mesh.corner(p, 1), E) << p;
        EXPECT_EQ(mesh.corner(p, 4), E) << p;
    }
    // The far end node is rewritten by the re-spacing of its axial lines, to rounding.
    for (int n : {1, E}) {
        EXPECT_NEAR(mesh.Y(n), 0.0f, 1e-7f);
        EXPECT_NEAR(mesh.Z(n), 0.0f, 1e-7f);
    }
    EXPECT_EQ(mesh.Y(1), 0.0f);
    // The start of the hub (xH(1) < 0) is moved to X = 0.
    EXPECT_FLOAT_EQ(mesh.axial_shift, std::fabs(post->hub.xH(1)));
    EXPECT_NEAR(mesh.X(E), 0.0f, 1e-6f);
    EXPECT_NEAR(mesh.X(1), post->hub.xH(post->hub.NH) + mesh.axial_shift, 1e-6f);
    for (int m = 1; m <= mesh.N1; ++m) {
        for (int zone = 1; zone <= 2; ++zone) {
            EXPECT_EQ(mesh.hub_index(zone)(1, m), 1);
            EXPECT_EQ(mesh.hub_index(zone)(mesh.Nrow, m), E);
        }
    }
}

TEST(HubMesh, EveryPanelNamesValidNodesAndOnlyTheEndPanelsRepeatOne) {
    ScratchDir dir;
    for (int Z : {3, 4, 6}) {
        auto post = fixture_post(Z, 1, 0);
        const Mesh& mesh = post->mesh;
        int triangles = 2 * mesh.N1 - 2;
        for (int p = 1; p <= mesh.panel_count; ++p) {
            std::set<int> corners;
            for (int c = 1; c <= 4; ++c) {
                int n = mesh.corner(p, c);
                EXPECT_GE(n, 1);
                EXPECT_LE(n, mesh.node_count);
                corners.insert(n);
            }
            bool end_panel = p <= triangles || (p > mesh.NH1 - triangles && p <= mesh.NH1);
            EXPECT_EQ(corners.size(), end_panel ? 3u : 4u) << Z << " panel " << p;
        }
    }
}

TEST(HubMesh, BladeAndHubShareTheRootAndBothSidesShareTheEdges) {
    ScratchDir dir;
    auto post = fixture_post(4, 2, 11);
    const Mesh& mesh = post->mesh;
    const BladeSurface& surface = post->surface;
    int hub_nodes = 714;
    int Nc = surface.Nc;
    for (int i = 1; i <= Nc; ++i) {
        int p = mesh.blade_index(pressure_side)(1, i);
        int s = mesh.blade_index(suction_side)(1, i);
        EXPECT_LE(p, hub_nodes);
        EXPECT_LE(s, hub_nodes);
        if (i == 1 || i == Nc)
            EXPECT_EQ(p, s);
        else
            EXPECT_NE(p, s);
        EXPECT_EQ(p, mesh.hub_index(2)(mesh.Nf + i - 1, 1));
        EXPECT_EQ(s, mesh.hub_index(1)(mesh.Nf + i - 1, mesh.N1));
    }
    for (int k = 2; k <= mesh.M; ++k) {
        EXPECT_EQ(mesh.blade_index(suction_side)(k, 1), mesh.blade_index(pressure_side)(k, 1));
        EXPECT_EQ(mesh.blade_index(suction_side)(k, Nc), mesh.blade_index(pressure_side)(k, Nc));
        for (int i = 1; i <= Nc; ++i) {
            int n = mesh.blade_index(pressure_side)(k, i);
            EXPECT_GT(n, hub_nodes);
            EXPECT_FLOAT_EQ(mesh.X(n), surface.pressure.X(k, i) + mesh.axial_shift);
            EXPECT_EQ(mesh.Y(n), surface.pressure.Y(k, i));
            EXPECT_EQ(mesh.Z(n), surface.pressure.Z(k, i));
        }
        for (int i = 2; i <= Nc - 1; ++i) {
            int n = mesh.blade_index(suction_side)(k, i);
            EXPECT_EQ(mesh.Z(n), surface.suction.Z(k, i));
        }
    }
    // A blade panel joins two neighbouring points of two neighbouring rows.
    for (int side = 1; side <= 2; ++side) {
        const BladeIndexTable& A = mesh.blade_index(side);
        for (int k = 1; k <= mesh.M - 1; ++k) {
            EXPECT_EQ(mesh.row_panels(k), Nc - 1);
            for (int i = 1; i <= Nc - 1; ++i) {
                int p = mesh.blade_panel(side)(k, i);
                std::set<int> corners,
                    expected = {A(k, i), A(k, i + 1), A(k + 1, i + 1), A(k + 1, i)};
                for (int c = 1; c <= 4; ++c) corners.insert(mesh.corner(p, c));
                EXPECT_EQ(corners, expected);
            }
        }
    }
}

// The strips reach out to the middle of the gap on either side: together a
// quarter turn for four blades, up to the small difference of the hub radii
// at the two root points of the row (both strips are wrapped with the
// pressure side's radius).
TEST(HubMesh, StripsSpanHalfTheGapOnEitherSide) {
    ScratchDir dir;
    auto post = fixture_post(4, 2, 11);
    const Mesh& mesh = post->mesh;
    int q = mesh.Nf + 5;  // a strip row
    float left = std::atan2(mesh.Y(mesh.hub_index(1)(q, 1)), mesh.Z(mesh.hub_index(1)(q, 1)));
    float right =
        std::atan2(mesh.Y(mesh.hub_index(2)(q, mesh.N1)), mesh.Z(mesh.hub_index(2)(q, mesh.N1)));
    EXPECT_NEAR(right - left, 2.0f * 3.1415927f / 4.0f, 2e-3f);
}

}  // namespace
}  // namespace korvanti::testing
