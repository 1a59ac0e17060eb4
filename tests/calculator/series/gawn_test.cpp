#include <gtest/gtest.h>

#include <cmath>

#include "filelayer/errors.h"
#include "numeric/local_interpolation.h"
#include "series/series_routines.h"

namespace korvanti {
namespace {

struct GawnRun {
    BladeModel model;
    SeriesStations st;
};

GawnRun run_gawn(float ear, float diameter) {
    GawnRun run;
    run.model.blade_count = 4;  // not read: the area formula counts three blades
    run.model.area_ratio = ear;
    run.model.diameter = diameter;
    gawn_series(run.model, run.st);
    return run;
}

float chord(const SeriesStations& st, int i) { return st.xc(i, 15) - st.xc(i, 1); }

// Expanded area ratio of the outline handed back: 3·∫c dr/(π R²).
double area_ratio_of(const SeriesStations& st, float diameter, double chord_scale = 1.0) {
    Array1<float, 12> r, c;
    for (int i = 1; i <= 12; ++i) {
        r(i) = st.r(i);
        c(i) = static_cast<float>(chord(st, i) * chord_scale);
    }
    const double radius = diameter / 2.0;
    return 3.0 * integrate_three_point(12, r.view(), c.view()) / (M_PI * radius * radius);
}

TEST(GawnSeries, FoundAreaRatioIsTheFirstStepAboveTheRequest) {
    for (float ear : {0.2f, 0.35f, 0.65f, 0.9f, 1.1f}) {
        const GawnRun run = run_gawn(ear, 2.0f);
        const double found = area_ratio_of(run.st, 2.0f);
        EXPECT_GT(found, ear - 2e-6) << ear;
        EXPECT_LT(found - ear, 6.6e-5) << ear;  // one step of p moves E by about 0.0000633
        // Chords are proportional to p: the outline one step narrower is too small.
        const double p = chord(run.st, 5) / (2.0f / 2.0f);
        EXPECT_LE(area_ratio_of(run.st, 2.0f, (p - 0.0001) / p), ear + 2e-6) << ear;
    }
}

TEST(GawnSeries, EllipticalOutlineWidestAtPointFiveFive) {
    const GawnRun run = run_gawn(0.65f, 2.0f);
    ASSERT_EQ(run.st.station_count, 12);
    ASSERT_EQ(run.st.point_count, 15);
    // Widest chord p·D/2 at r/R 0.55, ellipse of half-length 0.45 in r/R.
    const float widest = chord(run.st, 5);
    const float radius_ratio[12] = {0.2f, 0.3f, 0.4f, 0.5f,  0.55f,  0.6f,
                                    0.7f, 0.8f, 0.9f, 0.95f, 0.985f, 1.0f};
    for (int i = 1; i <= 11; ++i) {
        const double u = (radius_ratio[i - 1] - 0.55) / 0.45;
        EXPECT_NEAR(chord(run.st, i), widest * std::sqrt(1.0 - u * u), 2e-6) << i;
        EXPECT_LE(chord(run.st, i), widest);
        EXPECT_FLOAT_EQ(run.st.r(i), radius_ratio[i - 1]);  // D/2 = 1
    }
    EXPECT_NEAR(chord(run.st, 12), chord(run.st, 11) / 4.0f, 1e-6f);
    // p between 0.3 and 1.8; for 0.65 the known ellipse is near p = 1.03.
    EXPECT_GT(widest, 1.0f);
    EXPECT_LT(widest, 1.06f);
}

TEST(GawnSeries, FlatFacedCircularArcSectionsOfEdgeThickness) {
    const float diameter = 2.0f;
    const GawnRun run = run_gawn(0.8f, diameter);
    const float s = diameter / 0.508f * 0.0254f;  // 0.1 m per model inch
    const SeriesStations& st = run.st;
    for (int i = 1; i <= 12; ++i) {
        EXPECT_FLOAT_EQ(st.xc(i, 1), -st.xc(i, 15)) << i;
        EXPECT_NEAR(st.xc(i, 8), 0.0f, 1e-7f);
        EXPECT_EQ(st.skew_shift(i), 0.0f);
        EXPECT_EQ(st.iT(i), 0.0f);
        EXPECT_EQ(run.model.a_fraction(i), 0.5f);
        EXPECT_EQ(run.model.b_fraction(i), 0.5f);
        EXPECT_EQ(run.model.tm(i), st.yb(i, 8));
        EXPECT_NEAR(st.yb(i, 1), 0.02f * s, 1e-6f) << i;
        EXPECT_NEAR(st.yb(i, 15), 0.02f * s, 1e-6f) << i;
        for (int k = 1; k <= 15; ++k) EXPECT_EQ(st.yf(i, k), 0.0f);
    }
    // Thickness falls linearly from 0.06·20 in at the axis: T = (0.06 - 0.059·r/R)·20 in.
    EXPECT_NEAR(run.model.tm(1), (0.06 - 0.059 * 0.2) * 20.0 * 0.1, 2e-6);
    EXPECT_NEAR(run.model.tm(9), (0.06 - 0.059 * 0.9) * 20.0 * 0.1, 2e-6);
    // Arc: the back at a quarter chord lies on the circle through the edges and mid-chord.
    for (int i = 1; i <= 11; ++i) {
        const double half = chord(st, i) / 2.0, sag = run.model.tm(i) - 0.02 * s;
        const double radius = (half * half + sag * sag) / (2.0 * sag);
        const double x = st.xc(i, 5);  // f = 0.2
        const double expected = 0.02 * s + std::sqrt(radius * radius - x * x) - (radius - sag);
        EXPECT_NEAR(st.yb(i, 5), expected, 2e-6) << i;
    }
    // The tip is a plate of the edge thickness.
    for (int k = 1; k <= 15; ++k) EXPECT_FLOAT_EQ(st.yb(12, k), 0.02f * s);
    EXPECT_EQ(run.model.rake_angle, 0.0f);
}

TEST(GawnSeries, RejectsAnAreaRatioNoWidthReaches) {
    EXPECT_THROW(run_gawn(1.2f, 2.0f), InputError);
    EXPECT_THROW(run_gawn(0.65f, 0.0f), InputError);
}

}  // namespace
}  // namespace korvanti
