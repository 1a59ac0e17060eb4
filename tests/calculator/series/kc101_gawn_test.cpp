#include "series/kc101_gawn.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "filelayer/console.h"
#include "filelayer/errors.h"

namespace korvanti {
namespace {

// Published 16·c/D rows for Ear 0.5, 0.65, 0.8 and 0.95.
constexpr float row_050[11] = {2.89f, 3.35f, 4.55f, 5.555f, 6.33f, 6.74f,
                               6.32f, 5.25f, 4.05f, 2.2f,   0.44f};
constexpr float row_065[11] = {3.77f, 4.38f, 5.93f, 7.25f, 8.26f, 8.79f,
                               8.25f, 6.86f, 5.23f, 2.93f, 0.586f};
constexpr float row_080[11] = {4.56f,  5.38f, 7.3f,  8.92f, 10.18f, 10.8f,
                               10.16f, 8.42f, 6.85f, 4.56f, 0.912f};
constexpr float row_095[11] = {5.53f,  6.56f,  8.9f,  10.87f, 12.38f, 13.16f,
                               12.37f, 10.28f, 8.04f, 4.97f,  0.994f};

struct Kc101Run {
    BladeModel model;
    SeriesStations st;
    std::string console;
};

Kc101Run run_kc101(float area_ratio, float diameter) {
    Kc101Run run;
    run.model.blade_count = 4;  // not read: the series is three-bladed
    run.model.area_ratio = area_ratio;
    run.model.diameter = diameter;
    std::ostringstream out;
    std::istringstream in;
    {
        Console console(out, in);
        kc101_gawn_series(run.model, run.st, console);
    }
    run.console = out.str();
    return run;
}

float chord(const SeriesStations& st, int i) { return st.xc(i, 9) - st.xc(i, 1); }

// Lagrange parabola through (x1, y1), (x2, y2), (x3, y3), in double.
double parabola(double x1, double y1, double x2, double y2, double x3, double y3, double x) {
    return y1 * (x - x2) * (x - x3) / ((x1 - x2) * (x1 - x3)) +
           y2 * (x - x1) * (x - x3) / ((x2 - x1) * (x2 - x3)) +
           y3 * (x - x1) * (x - x2) / ((x3 - x1) * (x3 - x2));
}

TEST(Kc101Gawn, TabulatedAreaRatioGivesTheChordRowTimesDOver16) {
    // With D = 16 the chord is the table entry itself.
    const Kc101Run run = run_kc101(0.8f, 16.0f);
    ASSERT_EQ(run.st.station_count, 11);
    ASSERT_EQ(run.st.point_count, 9);
    for (int i = 1; i <= 11; ++i) EXPECT_FLOAT_EQ(chord(run.st, i), row_080[i - 1]) << i;

    const Kc101Run metric = run_kc101(0.8f, 2.0f);
    for (int i = 1; i <= 11; ++i)
        EXPECT_FLOAT_EQ(chord(metric.st, i), row_080[i - 1] / 16.0f * 2.0f) << i;
    EXPECT_TRUE(metric.console.empty());
}

TEST(Kc101Gawn, BetweenRowsTheChordFollowsTheParabolaOfTheFirstThreeRows) {
    const Kc101Run run = run_kc101(0.725f, 16.0f);
    int differs_from_upper_parabola = 0;
    for (int i = 1; i <= 11; ++i) {
        const double lower =
            parabola(0.5, row_050[i - 1], 0.65, row_065[i - 1], 0.8, row_080[i - 1], 0.725);
        const double upper =
            parabola(0.65, row_065[i - 1], 0.8, row_080[i - 1], 0.95, row_095[i - 1], 0.725);
        EXPECT_NEAR(chord(run.st, i), lower, 2e-5 * lower) << i;
        if (std::abs(upper - lower) > 1e-3 * lower) ++differs_from_upper_parabola;
    }
    EXPECT_GT(differs_from_upper_parabola, 3);  // the choice of rows is visible
}

TEST(Kc101Gawn, SectionsAreFlatFacedSymmetricAboutMidChordWithoutSkewOrRake) {
    const Kc101Run run = run_kc101(0.65f, 2.0f);
    const float radius_ratio[11] = {0.2f,   0.25f,   0.375f, 0.5f,   0.625f, 0.75f,
                                    0.875f, 0.9375f, 0.965f, 0.985f, 1.0f};
    for (int i = 1; i <= 11; ++i) {
        EXPECT_FLOAT_EQ(run.st.r(i), radius_ratio[i - 1]) << i;  // D/2 = 1
        EXPECT_EQ(run.st.skew_shift(i), 0.0f);
        EXPECT_EQ(run.st.iT(i), 0.0f);
        EXPECT_EQ(run.model.a_fraction(i), 0.5f);
        EXPECT_EQ(run.model.b_fraction(i), 0.5f);
        EXPECT_EQ(run.model.tm(i), run.st.yb(i, 5));
        EXPECT_FLOAT_EQ(run.st.xc(i, 1), -chord(run.st, i) / 2.0f);
        EXPECT_FLOAT_EQ(run.st.xc(i, 5), 0.0f);
        for (int j = 2; j <= 8; ++j) EXPECT_EQ(run.st.yf(i, j), 0.0f) << i << "," << j;
    }
    EXPECT_EQ(run.model.rake_angle, 0.0f);
}

TEST(Kc101Gawn, BackOrdinatesKeepThePublishedAsymmetriesAndCloseTheRootEdges) {
    const Kc101Run run = run_kc101(0.5f, 2.0f);
    EXPECT_FLOAT_EQ(run.st.yb(1, 2), 0.02113f * 2.0f);
    EXPECT_FLOAT_EQ(run.st.yb(1, 8), 0.0215f * 2.0f);
    EXPECT_FLOAT_EQ(run.st.yb(8, 2), 0.00213f * 2.0f);
    EXPECT_FLOAT_EQ(run.st.yb(8, 8), 0.0022f * 2.0f);
    // Two innermost sections closed at both edges, the others open.
    EXPECT_FLOAT_EQ(run.st.yf(1, 1), 0.00694f * 2.0f);
    EXPECT_EQ(run.st.yf(1, 9), run.st.yb(1, 9));
    EXPECT_FLOAT_EQ(run.st.yf(2, 1), 0.00375f * 2.0f);
    EXPECT_EQ(run.st.yf(2, 9), run.st.yb(2, 9));
    for (int i = 3; i <= 11; ++i) {
        EXPECT_EQ(run.st.yf(i, 1), 0.0f);
        EXPECT_EQ(run.st.yf(i, 9), 0.0f);
    }
}

TEST(Kc101Gawn, TipAtTheSmallestAreaRatio) {
    const Kc101Run run = run_kc101(0.5f, 3.0f);
    EXPECT_FLOAT_EQ(chord(run.st, 11), 0.44f / 16.0f * 3.0f);
    EXPECT_FLOAT_EQ(run.model.tm(11), 0.00063f * 3.0f);
    EXPECT_FLOAT_EQ(run.model.tm(1), 0.0365f * 3.0f);
}

TEST(Kc101Gawn, BothEndsOfTheAreaRatioRangeRunInsideTheTable) {
    const Kc101Run low = run_kc101(0.5f, 1.0f);
    const Kc101Run high = run_kc101(1.1f, 1.0f);
    EXPECT_TRUE(low.console.empty());
    EXPECT_TRUE(high.console.empty());
    for (int i = 1; i <= 11; ++i) {
        EXPECT_NEAR(chord(low.st, i), row_050[i - 1] / 16.0f, 1e-6f) << i;
    }
    EXPECT_NEAR(chord(high.st, 6), 15.53f / 16.0f, 1e-6f);
}

TEST(Kc101Gawn, RejectsWhatTheTablesCannotGive) {
    EXPECT_THROW(run_kc101(0.49f, 1.0f), InputError);
    EXPECT_THROW(run_kc101(1.11f, 1.0f), InputError);
    EXPECT_THROW(run_kc101(0.8f, 0.0f), InputError);
}

}  // namespace
}  // namespace korvanti
