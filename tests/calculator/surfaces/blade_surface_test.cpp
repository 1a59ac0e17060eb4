// The blade surface: arc-length resampling, the pitch-helix placement, the
// root row on the hub, the max-thickness points and the left-hand mirror.
#include "surfaces/blade_surface.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <memory>
#include <sstream>
#include <thread>

#include "numeric/cubic_spline.h"
#include "support/offsets_fixture.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {

// Out-of-range look-ups are not what these tests look at.
QuietConsole quiet;

constexpr float pi = 3.1415927f;

std::unique_ptr<FixturePost> fixture_post(const FixtureBlade& blade, int mode, int radii,
                                          float handedness = 0.6f) {
    auto post = std::make_unique<FixturePost>();
    std::ostringstream result;
    build_fixture_surfaces(blade, fixture_model(blade, mode, radii, handedness), *post, result);
    return post;
}

TEST(ResampleSectionSide, EqualArcLengthOnAStraightSide) {
    Array1<float, 30> x, y, u, xo, yo;
    float xs[] = {0.0f, 1.0f, 3.0f, 6.0f};
    for (int j = 1; j <= 4; ++j) {
        x(j) = xs[j - 1];
        y(j) = 2.0f;
    }
    for (int i = 1; i <= 7; ++i) u(i) = static_cast<float>(i - 1) / 6.0f;
    resample_section_side(7, 4, x.view(), y.view(), u.view(), xo.view(), yo.view());
    for (int i = 1; i <= 7; ++i) {
        EXPECT_NEAR(xo(i), static_cast<float>(i - 1), 2e-6f);
        EXPECT_NEAR(yo(i), 2.0f, 1e-6f);
    }
}

TEST(ResampleSectionSide, CurvedSideKeepsItsEndPoints) {
    ScratchDir dir;
    FixtureBlade blade;
    auto post = fixture_post(blade, 2, 7);
    const ReportSections& s = post->sections;
    Array1<float, 30> xo, yo;
    resample_section_side(7, s.NP(3), s.xc.row(3), s.ys.row(3), post->surface.u.view(), xo.view(),
                          yo.view());
    EXPECT_NEAR(xo(1), s.xc(3, 1), 1e-6f);
    EXPECT_NEAR(yo(1), s.ys(3, 1), 1e-6f);
    EXPECT_NEAR(xo(7), s.xc(3, 11), 1e-6f);
    EXPECT_NEAR(yo(7), s.ys(3, 11), 1e-6f);
    // The back rises to mid-chord and falls again, symmetrically.
    EXPECT_NEAR(yo(4), s.ys(3, 6), 1e-5f);
    EXPECT_NEAR(xo(4), s.xc(3, 6), 1e-5f);
}

TEST(BladeSurface, EveryRowHasNcPoints) {
    ScratchDir dir;
    auto one = fixture_post(FixtureBlade{}, 1, 0);
    EXPECT_EQ(one->surface.Nc, 11);  // NP of the first file station
    for (int k = 1; k <= one->sections.M; ++k) EXPECT_EQ(one->surface.Ncount(k), 11);

    auto two = fixture_post(FixtureBlade{}, 2, 7);
    EXPECT_EQ(two->surface.Nc, 7);  // the number of report radii
    for (int k = 1; k <= 7; ++k) EXPECT_EQ(two->surface.Ncount(k), 7);
    EXPECT_EQ(two->surface.u(1), 0.0f);
    EXPECT_NEAR(two->surface.u(7), 1.0f, 1e-7f);
}

// The fixture's face lies on the chord line and is resampled at equal
// steps of the chord: point i at x = xc(k,1) + u(i) c(k) lands at
// X = -x sin φ + iT, θ = x cos φ / r, on the cylinder of radius r.
TEST(BladeSurface, ChordLinePointsFollowThePitchHelix) {
    ScratchDir dir;
    auto post = fixture_post(FixtureBlade{}, 2, 9);
    const ReportSections& s = post->sections;
    const BladeSurface& surface = post->surface;
    for (int k = 2; k <= s.M; ++k) {
        float phi = std::atan2(s.P(k), pi * 2.0f * s.r(k));
        for (int i = 1; i <= surface.Nc; ++i) {
            float x = s.xc(k, 1) + surface.u(i) * s.c(k);
            float X = surface.pressure.X(k, i), Y = surface.pressure.Y(k, i),
                  Z = surface.pressure.Z(k, i);
            EXPECT_NEAR(X, -x * std::sin(phi) + s.iT(k), 2e-6f) << k << " " << i;
            EXPECT_NEAR(std::atan2(Y, Z), x * std::cos(phi) / s.r(k), 2e-6f) << k << " " << i;
            EXPECT_NEAR(std::sqrt(Y * Y + Z * Z), s.r(k), 1e-6f);
        }
    }
}

TEST(BladeSurface, SurfacePointsLieOnTheirCylinderAndTheRootOnTheHub) {
    ScratchDir dir;
    for (int mode : {1, 2}) {
        auto post = fixture_post(FixtureBlade{}, mode, 9);
        const ReportSections& s = post->sections;
        const BladeSurface& surface = post->surface;
        for (const SurfaceSide* side : {&surface.pressure, &surface.suction}) {
            for (int k = 1; k <= s.M; ++k) {
                for (int i = 1; i <= surface.Nc; ++i) {
                    float Y = side->Y(k, i), Z = side->Z(k, i);
                    float radius = std::sqrt(Y * Y + Z * Z);
                    float expected = s.r(k);
                    if (k == 1) {
                        int found = 0;
                        cubic_spline_value(post->hub.NH, side->X(k, i) - s.iT(1), expected,
                                           post->hub.xH.view(), post->hub.spline, found,
                                           quiet.console);
                        ASSERT_EQ(found, 1);
                    }
                    EXPECT_NEAR(radius, expected, 2e-6f) << mode << " " << k << " " << i;
                }
            }
        }
    }
}

// The search steps by 1 % of chord from the trailing edge; the fixture's
// thickness peaks at mid-chord. The face point lies on the chord line, so it
// takes the helix placement of the surface.
TEST(MaxThicknessPoints, OnTheHelixAtTheThickestPlace) {
    ScratchDir dir;
    auto post = fixture_post(FixtureBlade{}, 1, 0);
    const ReportSections& s = post->sections;
    for (int k = 1; k <= s.M; ++k) {
        float phi = std::atan2(s.P(k), pi * 2.0f * s.r(k));
        const Point3& face = post->surface.max_thickness(k, pressure_side);
        const Point3& back = post->surface.max_thickness(k, suction_side);
        float xm = (s.iT(k) - face.X) / std::sin(phi);
        float mid = (s.xc(k, 1) + s.xc(k, 11)) / 2.0f;
        EXPECT_LE(std::fabs(xm - mid), s.c(k) / 100.0f + 1e-6f) << k;
        EXPECT_EQ(face.Y, 0.0f);
        EXPECT_NEAR(face.Z, s.r(k) * std::cos(xm * std::cos(phi) / s.r(k)), 1e-6f);
        EXPECT_EQ(back.Y, 0.0f);
        // The back point stands off the face along the section normal, aft.
        EXPECT_LT(back.X, face.X);
        EXPECT_LE(back.Z, s.r(k) + 1e-6f);
    }
}

// A chord of zero, a negative chord, or one too small to move the abscissae
// by 1 % steps once made the search step forever. It now ends at once and
// keeps the trailing edge. The search runs on a thread of its own so that a
// search that never ends fails the test instead of holding up the run.
TEST(MaxThicknessPoints, AChordTheStepsCannotCrossEndsTheSearch) {
    ScratchDir dir;
    for (float chord : {0.0f, -0.5f, 1e-12f}) {
        std::shared_ptr<FixturePost> post = fixture_post(FixtureBlade{}, 1, 0);
        const int k = 2;
        post->sections.c(k) = chord;
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> finished = done->get_future();
        std::thread([post, done] {
            QuietConsole quiet;
            find_max_thickness_points(post->sections, post->surface, quiet.console);
            done->set_value();
        }).detach();
        ASSERT_EQ(finished.wait_for(std::chrono::seconds(20)), std::future_status::ready)
            << "the search does not end for a chord of " << chord;
        const ReportSections& s = post->sections;
        float phi = std::atan2(s.P(k), pi * 2.0f * s.r(k));
        float xm = (s.iT(k) - post->surface.max_thickness(k, pressure_side).X) / std::sin(phi);
        EXPECT_NEAR(xm, s.xc(k, 1), 1e-5f) << chord;
    }
}

TEST(LeftHand, HandednessBelowHalfMirrorsEverythingInYEqualsZero) {
    ScratchDir dir;
    auto right = fixture_post(FixtureBlade{}, 2, 11, 0.6f);
    auto left = fixture_post(FixtureBlade{}, 2, 11, 0.4f);
    const Mesh& a = right->mesh;
    const Mesh& b = left->mesh;
    ASSERT_EQ(a.node_count, b.node_count);
    ASSERT_EQ(a.panel_count, b.panel_count);
    for (int n = 1; n <= a.node_count; ++n) {
        EXPECT_EQ(a.X(n), b.X(n));
        EXPECT_EQ(a.Y(n), -b.Y(n));
        EXPECT_EQ(a.Z(n), b.Z(n));
    }
    for (int p = 1; p <= a.panel_count; ++p) {
        for (int c = 1; c <= 4; ++c) EXPECT_EQ(a.corner(p, c), b.corner(p, c));
    }
    for (int k = 1; k <= 11; ++k) {
        for (int j = 1; j <= right->sections.NP(k); ++j) {
            EXPECT_EQ(right->sections.xc(k, j), -left->sections.xc(k, j));
            EXPECT_EQ(right->sections.ys(k, j), left->sections.ys(k, j));
        }
        for (int i = 1; i <= 11; ++i) {
            EXPECT_EQ(right->surface.pressure.Y(k, i), -left->surface.pressure.Y(k, i));
            EXPECT_EQ(right->surface.suction.Y(k, i), -left->surface.suction.Y(k, i));
            EXPECT_EQ(right->surface.suction.X(k, i), left->surface.suction.X(k, i));
        }
        EXPECT_EQ(right->surface.max_thickness(k, 2).X, left->surface.max_thickness(k, 2).X);
    }
}

}  // namespace
}  // namespace korvanti::testing
