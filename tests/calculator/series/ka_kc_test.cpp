#include <gtest/gtest.h>

#include <cmath>

#include "filelayer/errors.h"
#include "series/series_routines.h"

namespace korvanti {
namespace {

struct DuctedRun {
    BladeModel model;
    SeriesStations st;
};

DuctedRun run_ducted(void (*routine)(BladeModel&, SeriesStations&), int z, float ear,
                     float diameter) {
    DuctedRun run;
    run.model.blade_count = z;
    run.model.area_ratio = ear;
    run.model.diameter = diameter;
    run.model.rake_angle = 99.0f;  // must be set to 0 by the routine
    routine(run.model, run.st);
    return run;
}

float chord(const SeriesStations& st, int i) { return st.xc(i, 13) - st.xc(i, 1); }

// Value at x of the cubic through four points, in double.
double cubic_through(const double (&x)[4], const double (&y)[4], double at) {
    double sum = 0.0;
    for (int a = 0; a < 4; ++a) {
        double term = y[a];
        for (int b = 0; b < 4; ++b)
            if (b != a) term *= (at - x[b]) / (x[a] - x[b]);
        sum += term;
    }
    return sum;
}

TEST(KcSeries, ReferenceChordAndHandComputedRootSection) {
    // Z = 4, Ear = 0.70, D = 1 m: cmax = 2.265·0.70/4 = 0.396375 m, the chord at r/R 0.8.
    const DuctedRun run = run_ducted(kc_series, 4, 0.70f, 1.0f);
    ASSERT_EQ(run.st.station_count, 9);
    ASSERT_EQ(run.st.point_count, 13);
    EXPECT_NEAR(chord(run.st, 7), 0.396375f, 1e-6f);

    // r/R 0.2: c = 0.5875·cmax, a = 0.3231·cmax, b = 0.3491·c, tm = 0.04·D.
    const SeriesStations& st = run.st;
    EXPECT_FLOAT_EQ(st.r(1), 0.1f);
    EXPECT_NEAR(st.xc(1, 13), 0.12806876f, 1e-7f);  // leading edge at a
    EXPECT_NEAR(st.xc(1, 1), -0.10480155f, 1e-7f);  // trailing edge at a - c
    EXPECT_NEAR(st.xc(1, 6), 0.04677374f, 1e-7f);   // maximum thickness at a - b
    EXPECT_NEAR(st.xc(1, 2), -0.07448649f, 1e-7f);  // 80 % of c - b aft of it
    EXPECT_NEAR(st.xc(1, 9), 0.09555075f, 1e-7f);   // 60 % of b ahead of it
    EXPECT_NEAR(st.yb(1, 2), 0.017204f, 1e-7f);     // Kc's own 43.01 %
    EXPECT_NEAR(st.yb(1, 13), 0.00852f, 1e-7f);     // Kc's 21.30 % at the leading edge
    EXPECT_NEAR(st.yf(1, 13), 0.00852f, 1e-7f);
    EXPECT_EQ(st.yb(1, 6), run.model.tm(1));
    EXPECT_EQ(st.yf(1, 6), 0.0f);
    EXPECT_NEAR(run.model.tm(1), 0.04f, 1e-8f);
    EXPECT_NEAR(run.model.a_fraction(1), 32.31 / 58.75, 1e-6);
    EXPECT_NEAR(run.model.b_fraction(1), 0.3491f, 1e-6f);
    EXPECT_NEAR(st.skew_shift(1), 0.12806876f - 0.23287031f / 2.0f, 1e-7f);
    EXPECT_EQ(run.model.rake_angle, 0.0f);
}

TEST(KcSeries, OuterStationsHaveMidChordGeneratorLineAndFlatFace) {
    const DuctedRun run = run_ducted(kc_series, 5, 0.55f, 3.0f);
    for (int i = 5; i <= 9; ++i) {
        EXPECT_EQ(run.model.a_fraction(i), 0.5f) << i;
        EXPECT_NEAR(run.st.skew_shift(i), 0.0f, 1e-6f) << i;
        EXPECT_NEAR(run.st.xc(i, 13), chord(run.st, i) / 2.0f, 1e-6f) << i;
        for (int k = 1; k <= 13; ++k) EXPECT_EQ(run.st.yf(i, k), 0.0f) << i << "," << k;
    }
    for (int i = 1; i <= 9; ++i) {
        EXPECT_EQ(run.st.iT(i), 0.0f);
        EXPECT_FLOAT_EQ(run.st.r(i), (0.1f + 0.1f * static_cast<float>(i)) * 1.5f);
    }
}

TEST(KaSeries, RadialTablesAreSmoothedToCubicsAndThePartialParabola) {
    // Ka reference chord 1.969·0.70/4 = 0.344575 m; the smoothed chord at
    // r/R 0.6 is close to it but not equal.
    const DuctedRun run = run_ducted(ka_series, 4, 0.70f, 1.0f);
    const float cmax = 0.344575f;
    EXPECT_NEAR(chord(run.st, 5), cmax, 2e-3f);
    EXPECT_GT(std::fabs(chord(run.st, 5) - cmax), 1e-5f);

    // Chord and thickness over nine equally spaced radii: fourth differences
    // of a cubic vanish.
    auto fourth_difference = [](auto value, int i) {
        return value(i) - 4 * value(i + 1) + 6 * value(i + 2) - 4 * value(i + 3) + value(i + 4);
    };
    auto c = [&](int i) { return static_cast<double>(chord(run.st, i)); };
    auto t = [&](int i) { return static_cast<double>(run.model.tm(i)); };
    for (int i = 1; i <= 5; ++i) {
        EXPECT_NEAR(fourth_difference(c, i), 0.0, 2e-6) << i;
        EXPECT_NEAR(fourth_difference(t, i), 0.0, 2e-7) << i;
    }
    // The published tm at the tip is 0.50 % of D; the cubic does not pass through it.
    EXPECT_GT(std::fabs(run.model.tm(9) - 0.005f), 1e-4f);
    // b: a parabola through r/R 0.2..0.5 (third difference zero), the outer
    // values as published.
    auto b = [&](int i) { return static_cast<double>(run.model.b_fraction(i)); };
    EXPECT_NEAR(b(4) - 3 * b(3) + 3 * b(2) - b(1), 0.0, 1e-6);
    EXPECT_NEAR(run.model.b_fraction(5), 0.4998f, 1e-6f);
    for (int i = 6; i <= 9; ++i) EXPECT_NEAR(run.model.b_fraction(i), 0.5f, 1e-6f);
}

TEST(KaSeries, FairedSectionsAreCubicsClosedAtBothEdges) {
    const DuctedRun run = run_ducted(ka_series, 4, 0.70f, 2.0f);
    const SeriesStations& st = run.st;
    for (int i = 1; i <= 9; ++i) {
        EXPECT_EQ(st.yb(i, 1) - st.yf(i, 1), 0.0f) << i;
        EXPECT_EQ(st.yb(i, 13) - st.yf(i, 13), 0.0f) << i;
        // Thickness at points 2..12 and camber at all points lie on cubics in xc.
        const int knots[4] = {2, 5, 8, 12};
        double x[4], t[4], m[4];
        for (int a = 0; a < 4; ++a) {
            const int k = knots[a];
            x[a] = st.xc(i, k);
            t[a] = st.yb(i, k) - st.yf(i, k);
            m[a] = (st.yb(i, k) + st.yf(i, k)) / 2.0;
        }
        for (int k : {3, 6, 9, 11}) {
            EXPECT_NEAR(st.yb(i, k) - st.yf(i, k), cubic_through(x, t, st.xc(i, k)), 2e-6)
                << i << "," << k;
            EXPECT_NEAR((st.yb(i, k) + st.yf(i, k)) / 2.0, cubic_through(x, m, st.xc(i, k)), 2e-6)
                << i << "," << k;
        }
        EXPECT_NEAR((st.yb(i, 1) + st.yf(i, 1)) / 2.0, cubic_through(x, m, st.xc(i, 1)), 2e-6);
    }
    // Fairing moves the published maximum thickness a little, but not far.
    EXPECT_NEAR(st.yb(5, 6) - st.yf(5, 6), run.model.tm(5), 0.1f * run.model.tm(5));
}

TEST(DuctedSeries, RejectParticularsThatWouldDivideByZero) {
    EXPECT_THROW(run_ducted(ka_series, 0, 0.7f, 1.0f), InputError);
    EXPECT_THROW(run_ducted(kc_series, 4, 0.0f, 1.0f), InputError);
    EXPECT_THROW(run_ducted(kc_series, 4, 0.7f, 0.0f), InputError);
    EXPECT_THROW(run_ducted(ka_series, 4, 0.7f, -1.0f), InputError);
}

}  // namespace
}  // namespace korvanti
