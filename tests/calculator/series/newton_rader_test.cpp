#include <gtest/gtest.h>

#include <cmath>

#include "filelayer/errors.h"
#include "series/series_routines.h"

namespace korvanti {
namespace {

// On a 10-inch propeller (D = 0.254 m) one model inch is 0.0254 m.
constexpr float model_diameter = 0.254f;
constexpr float inch = 0.0254f;

// Published model chords (in) at r/R 0.3, 0.5, 0.7, 0.9, 0.95 for E 0.48, 0.71, 0.95.
constexpr float chords[3][5] = {{2.508f, 3.183f, 3.696f, 3.183f, 2.527f},
                                {3.819f, 4.845f, 5.624f, 4.845f, 3.848f},
                                {5.254f, 6.660f, 7.733f, 6.660f, 5.282f}};
// Thickness at S = 0 by tabulated radius, and a few face ordinates.
constexpr float thickness_mid[5] = {0.335f, 0.217f, 0.126f, 0.068f, 0.05f};
constexpr float face_mid_r05[3] = {0.089f, 0.136f, 0.187f};   // r/R 0.5, S = 0
constexpr float face_lead_r03[3] = {0.145f, 0.155f, 0.166f};  // r/R 0.3, S = 0.45
constexpr float thickness_lead_r03 = 0.021f;

struct NrRun {
    BladeModel model;
    SeriesStations st;
};

NrRun run_nr(float ear, float diameter = model_diameter) {
    NrRun run;
    run.model.blade_count = 4;  // not read: the series driver makes it 3
    run.model.area_ratio = ear;
    run.model.diameter = diameter;
    newton_rader_series(run.model, run.st);
    return run;
}

float chord(const SeriesStations& st, int i) { return st.xc(i, 21) - st.xc(i, 1); }

TEST(NewtonRaderSeries, TabulatedAreaRatiosReproduceTheirTables) {
    const float ears[3] = {0.48f, 0.71f, 0.95f};
    for (int e = 0; e < 3; ++e) {
        const NrRun run = run_nr(ears[e]);
        ASSERT_EQ(run.st.station_count, 7);
        ASSERT_EQ(run.st.point_count, 21);
        const SeriesStations& st = run.st;
        for (int i = 2; i <= 6; ++i) {
            EXPECT_NEAR(chord(st, i), chords[e][i - 2] * inch, 2e-7f) << e << "," << i;
            EXPECT_NEAR(st.xc(i, 21), 0.45f / 0.95f * chords[e][i - 2] * inch, 2e-7f);
            EXPECT_NEAR(st.yb(i, 11) - st.yf(i, 11), thickness_mid[i - 2] * inch, 1e-8f);
        }
        EXPECT_NEAR(st.yf(3, 11), face_mid_r05[e] * inch, 1e-8f) << e;
        EXPECT_NEAR(st.yf(2, 21), face_lead_r03[e] * inch, 1e-8f) << e;
        EXPECT_NEAR(st.yb(2, 21), (face_lead_r03[e] + thickness_lead_r03) * inch, 1e-8f) << e;
    }
}

TEST(NewtonRaderSeries, TheMiddleRatioComesExactlyOutOfTheUpperBranch) {
    // At E = 0.71 the line from 0.71 to 0.95 starts on the table itself.
    const NrRun run = run_nr(0.71f);
    const float stations[21] = {-0.5f,  -0.45f, -0.4f,  -0.35f, -0.3f, -0.25f, -0.2f,
                                -0.15f, -0.1f,  -0.05f, 0.0f,   0.05f, 0.1f,   0.15f,
                                0.2f,   0.25f,  0.3f,   0.35f,  0.4f,  0.425f, 0.45f};
    for (int i = 2; i <= 6; ++i) {
        const float c = chords[1][i - 2];
        for (int k = 1; k <= 21; ++k)
            EXPECT_EQ(run.st.xc(i, k), stations[k - 1] * c / 0.95f * inch) << i << "," << k;
    }
    EXPECT_EQ(run.st.yf(3, 11), face_mid_r05[1] * inch);
    EXPECT_EQ(run.st.yb(3, 11), (thickness_mid[1] + face_mid_r05[1]) * inch);
    EXPECT_EQ(run.st.yf(2, 21), face_lead_r03[1] * inch);
}

TEST(NewtonRaderSeries, HubRowByExtrapolationToPointOneSixSeven) {
    const NrRun run = run_nr(0.48f);
    // C(1) = 10·line through (0.3, 0.2508), (0.5, 0.3183) at 0.167 = 2.059125 in.
    EXPECT_NEAR(chord(run.st, 1), 0.05230178f, 2e-7f);
    EXPECT_NEAR(run.st.r(1), 0.167f * 0.127f, 1e-7f);
    // Face at S = 0: line through (1.5, 0.069), (2.5, 0.089) at 0.835 in = 0.0557 in.
    EXPECT_NEAR(run.st.yf(1, 11), 0.0557f * inch, 1e-8f);
    // Thickness there: 0.217 + 1.665·0.118 = 0.41347 in, the same for every area ratio.
    EXPECT_NEAR(run.model.tm(1), 0.41347f * inch, 2e-8f);
    EXPECT_NEAR(run_nr(0.95f).model.tm(1), 0.41347f * inch, 2e-8f);
}

TEST(NewtonRaderSeries, BetweenTablesLinearInTheAreaRatio) {
    // E = 0.6: chord at r/R 0.5 = 3.183 + (0.12/0.23)·(4.845 - 3.183) = 4.050130 in.
    const NrRun run = run_nr(0.6f);
    EXPECT_NEAR(run.st.xc(3, 21), 0.04872946f, 2e-7f);
    // Continuous across the branch point: the float just below 0.71 takes the
    // lower line and lands on the same chords.
    const NrRun below = run_nr(std::nextafter(0.71f, 0.0f));
    const NrRun at = run_nr(0.71f);
    for (int i = 1; i <= 7; ++i) EXPECT_NEAR(chord(below.st, i), chord(at.st, i), 1e-7f) << i;
}

TEST(NewtonRaderSeries, TipRowIsEightTenthsOfTheExtrapolationAndFacesStartAtZero) {
    for (float ear : {0.48f, 0.6f, 0.71f, 0.95f}) {
        const NrRun run = run_nr(ear, 3.0f);
        const SeriesStations& st = run.st;
        for (int k = 1; k <= 21; ++k) {
            EXPECT_NEAR(st.xc(7, k), 0.8f * (2.0f * st.xc(6, k) - st.xc(5, k)), 2e-6f) << k;
            EXPECT_NEAR(st.yb(7, k), 0.8f * (2.0f * st.yb(6, k) - st.yb(5, k)), 2e-7f) << k;
        }
        for (int i = 1; i <= 7; ++i) {
            EXPECT_EQ(st.yf(i, 1), 0.0f) << ear << "," << i;
            EXPECT_EQ(st.skew_shift(i), 0.0f);
            EXPECT_EQ(st.iT(i), 0.0f);
            EXPECT_NEAR(run.model.a_fraction(i), 0.45f / 0.95f, 1e-6f);
            EXPECT_EQ(run.model.b_fraction(i), run.model.a_fraction(i));
        }
        EXPECT_FLOAT_EQ(st.r(7), 1.5f);
        EXPECT_EQ(run.model.rake_angle, 0.0f);
    }
}

TEST(NewtonRaderSeries, MaximumThicknessIsTheSectionThicknessOnTheGeneratorLine) {
    const NrRun run = run_nr(0.71f);
    for (int i = 2; i <= 6; ++i) {
        EXPECT_NEAR(run.model.tm(i), thickness_mid[i - 2] * inch, 1e-8f) << i;
        // Not the back ordinate at S = -0.15, which carries the face ordinate.
        EXPECT_GT(run.st.yb(i, 8) - run.model.tm(i), 1e-4f) << i;
    }
    for (int i = 1; i <= 7; ++i)
        for (int k = 1; k <= 21; ++k)
            EXPECT_LE(run.st.yb(i, k) - run.st.yf(i, k), run.model.tm(i) + 1e-8f) << i << "," << k;
}

TEST(NewtonRaderSeries, RejectsRatiosOutsideItsTablesAndZeroDiameter) {
    EXPECT_THROW(run_nr(0.47f), InputError);
    EXPECT_THROW(run_nr(0.96f), InputError);
    EXPECT_THROW(run_nr(0.71f, 0.0f), InputError);
}

}  // namespace
}  // namespace korvanti
