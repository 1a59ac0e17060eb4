#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "filelayer/errors.h"
#include "numeric/local_interpolation.h"
#include "series/series_routines.h"

namespace korvanti {
namespace {

constexpr float pi = 3.1415927f;
// Published trailing-side and leading-side widths (% of 0.226·D), maximum
// thickness (% of D) and its position (% of the chord) by radius.
constexpr float radius_ratio[10] = {0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 0.95f, 1.0f};
constexpr float trailing[10] = {27.96f, 33.45f, 38.76f, 43.54f, 47.96f,
                                51.33f, 52.39f, 48.49f, 42.07f, 17.29f};
constexpr float leading[10] = {38.58f, 44.25f, 48.32f, 50.80f, 51.15f,
                               48.31f, 40.53f, 25.13f, 13.55f, 0.0f};
constexpr float tmax[10] = {4.06f, 3.59f, 3.12f, 2.65f, 2.18f, 1.71f, 1.24f, 0.77f, 0.54f, 0.30f};
constexpr float tmax_position[10] = {32.0f, 32.0f, 32.0f, 32.5f, 34.9f,
                                     37.9f, 40.2f, 45.4f, 48.9f, 50.0f};

struct AuRun {
    BladeModel model;
    SeriesStations st;
};

AuRun run_au(int z, float ear, float diameter) {
    AuRun run;
    run.model.blade_count = z;
    run.model.area_ratio = ear;
    run.model.diameter = diameter;
    run.model.rake_angle = 10.0f;
    au_series(run.model, run.st);
    return run;
}

float chord(const SeriesStations& st, int i) { return st.xc(i, 17) - st.xc(i, 1); }
float mid_chord(const SeriesStations& st, int i) { return (st.xc(i, 1) + st.xc(i, 17)) / 2.0f; }

// The table blade (scale factor 1): chords and its expanded area ratio,
// evaluated as the series does.
struct TableBlade {
    Array1<float, 10> c, r;
    float area_ratio = 0.0f;
};

TableBlade table_blade(int z, float diameter) {
    TableBlade blade;
    const float cref = 0.226f * diameter;
    for (int i = 1; i <= 10; ++i) {
        blade.c(i) = (trailing[i - 1] + leading[i - 1]) * cref / 100.0f * 1.0f;
        blade.r(i) = radius_ratio[i - 1] * diameter / 2.0f;
    }
    const float area =
        static_cast<float>(z) * integrate_three_point(10, blade.r.view(), blade.c.view());
    blade.area_ratio = area / (pi * ((diameter / 2.0f) * (diameter / 2.0f)));
    return blade;
}

TEST(AuSeries, RequestWithinToleranceOfTheTableBladeTakesOnePass) {
    const TableBlade blade = table_blade(4, 1.0f);
    EXPECT_NEAR(blade.area_ratio, 0.3886, 5e-4);  // c(0.2) = 66.54 % of 0.226 m at f = 1
    const AuRun run = run_au(4, blade.area_ratio + 0.0009f, 1.0f);
    ASSERT_EQ(run.st.station_count, 10);
    ASSERT_EQ(run.st.point_count, 17);
    // Outline of the first pass untouched: chords exactly those of f = 1.
    for (int i = 1; i <= 9; ++i)
        EXPECT_EQ(run.st.xc(i, 17), blade.c(i) * leading[i - 1] / 100.0f) << i;
    // Hand values at r/R 0.2: c = 0.6654·0.226 = 0.1503804 m, a = 0.3858·c.
    EXPECT_NEAR(run.st.xc(1, 17), 0.05801676f, 1e-7f);
    EXPECT_NEAR(run.st.xc(1, 1), -0.09236364f, 1e-7f);
    EXPECT_NEAR(run.st.yb(1, 17), 0.01421f, 1e-7f);    // 35 % of 4.06 % of D
    EXPECT_NEAR(run.st.yf(1, 17), 0.0098455f, 1e-7f);  // 24.25 %
    EXPECT_NEAR(run.st.yb(1, 1), 0.001827f, 1e-8f);    // 4.5 % at the trailing edge
    EXPECT_EQ(run.st.yf(1, 1), 0.0f);
    EXPECT_NEAR(run.st.yb(1, 9), 0.0406f, 1e-7f);  // 100 % at 32 % of the chord
    EXPECT_NEAR(run.st.xc(1, 9), 0.05801676f - 0.32f * 0.1503804f, 1e-7f);

    // Just outside the tolerance a second pass rescales the outline.
    const AuRun rescaled = run_au(4, blade.area_ratio + 0.002f, 1.0f);
    const float f = (blade.area_ratio + 0.002f) / blade.area_ratio;
    EXPECT_NEAR(rescaled.st.xc(1, 17), 0.05801676f * f, 2e-7f);
    EXPECT_GT(rescaled.st.xc(1, 17) - run.st.xc(1, 17), 1e-4f);
}

TEST(AuSeries, OutlineMatchesTheRequestedAreaRatio) {
    for (int z : {4, 5, 7}) {
        const float ear = 0.65f, diameter = 2.4f;
        const AuRun run = run_au(z, ear, diameter);
        const TableBlade blade = table_blade(z, diameter);
        const float f = chord(run.st, 1) / blade.c(1);
        Array1<float, 10> c;
        for (int i = 1; i <= 9; ++i) {
            c(i) = chord(run.st, i);
            EXPECT_NEAR(c(i), blade.c(i) * f, 2e-6f) << z << "," << i;
        }
        c(10) = blade.c(10) * f;  // the outline's tip width, before the tip section
        const float area =
            static_cast<float>(z) * integrate_three_point(10, blade.r.view(), c.view());
        EXPECT_NEAR(area / (pi * 1.2f * 1.2f), ear, 0.001f) << z;
    }
}

TEST(AuSeries, SectionsRunFromTrailingToLeadingEdgeAroundTheGeneratorLine) {
    const float diameter = 2.0f;
    const AuRun run = run_au(5, 0.65f, diameter);
    for (int i = 1; i <= 9; ++i) {
        const float c = chord(run.st, i);
        const float a = run.model.a_fraction(i) * c;
        EXPECT_NEAR(run.model.a_fraction(i), leading[i - 1] / 100.0f, 1e-7f) << i;
        EXPECT_NEAR(run.st.xc(i, 17), a, 1e-6f) << i;
        EXPECT_NEAR(run.st.xc(i, 1), a - c, 1e-6f) << i;
        EXPECT_NEAR(run.st.skew_shift(i), a - c / 2.0f, 1e-6f) << i;
        for (int k = 2; k <= 17; ++k) EXPECT_GT(run.st.xc(i, k), run.st.xc(i, k - 1));
        // The back reaches 100 % of the local tm at point 9; up to r/R 0.6 the
        // position table puts that point where the radial table puts the
        // maximum thickness (the rows for 0.7 to 0.95 carry the position of
        // the next radius: 40.2, 45.4, 48.9, 50).
        EXPECT_NEAR(run.st.yb(i, 9), run.model.tm(i), 1e-7f) << i;
        const float position = i <= 5 ? tmax_position[i - 1] : tmax_position[i];
        EXPECT_NEAR(run.st.xc(i, 9), a - position / 100.0f * c, 1e-6f) << i;
    }
    for (int i = 1; i <= 10; ++i) {
        EXPECT_NEAR(run.model.b_fraction(i), tmax_position[i - 1] / 100.0f, 1e-7f);
        EXPECT_NEAR(run.model.tm(i), tmax[i - 1] * diameter / 100.0f, 1e-7f);
        EXPECT_EQ(run.st.iT(i), 0.0f);
        EXPECT_FLOAT_EQ(run.st.r(i), radius_ratio[i - 1]);  // D/2 = 1
    }
    EXPECT_EQ(run.model.rake_angle, 0.0f);
}

TEST(AuSeries, TipIsSevenTenthsOfTheExtrapolatedSectionOnTheMidChordLine) {
    const AuRun run = run_au(4, 0.55f, 1.0f);
    const SeriesStations& st = run.st;
    // 0.7 times the line through r/R 0.9 and 0.95 at 1.0: 0.7·(2·row 9 - row 8).
    EXPECT_NEAR(st.yb(10, 9), 0.7f * (2.0f * 0.0054f - 0.0077f), 1e-7f);  // 0.00217
    for (int k = 1; k <= 17; ++k) {
        EXPECT_NEAR(st.yb(10, k), 0.7f * (2.0f * st.yb(9, k) - st.yb(8, k)), 1e-7f) << k;
        EXPECT_NEAR(st.yf(10, k), 0.7f * (2.0f * st.yf(9, k) - st.yf(8, k)), 1e-7f) << k;
    }
    EXPECT_NEAR(chord(st, 10), 0.7f * (2.0f * chord(st, 9) - chord(st, 8)), 1e-6f);
    // Thinner and shorter than the 0.95 section.
    float tip_thickness = 0.0f, row9_thickness = 0.0f;
    for (int k = 1; k <= 17; ++k) {
        tip_thickness = std::max(tip_thickness, st.yb(10, k) - st.yf(10, k));
        row9_thickness = std::max(row9_thickness, st.yb(9, k) - st.yf(9, k));
    }
    EXPECT_LT(tip_thickness, row9_thickness);
    EXPECT_LT(chord(st, 10), chord(st, 9));
    // Its mid-chord continues the straight line through the mid-chords of rows 8 and 9.
    EXPECT_NEAR(mid_chord(st, 10), 2.0f * mid_chord(st, 9) - mid_chord(st, 8), 1e-6f);
    // No leading-side width at the tip: generator line at the leading edge of the outline.
    EXPECT_EQ(run.model.a_fraction(10), 0.0f);
    EXPECT_FLOAT_EQ(st.skew_shift(10), -chord(st, 10) / 2.0f);
}

TEST(AuSeries, RejectsRequestsItCannotMeet) {
    // 32-bit spacing of these ratios exceeds the 0.001 tolerance of the area match.
    EXPECT_THROW(run_au(4, 20000.0f, 1.0f), InputError);
    EXPECT_THROW(run_au(4, 1e30f, 1.0f), InputError);
    EXPECT_THROW(run_au(0, 0.55f, 1.0f), InputError);
    EXPECT_THROW(run_au(4, 0.55f, 0.0f), InputError);
    EXPECT_NO_THROW(run_au(4, 1000.0f, 1.0f));
}

}  // namespace
}  // namespace korvanti
