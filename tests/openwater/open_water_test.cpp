// The open-water polynomials of data/open-water against the check values
// published with them, the Reynolds correction's behaviour, the Reynolds
// number and Keller's criterion against hand computations.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "openwater/open_water_data.h"
#include "openwater/performance.h"

namespace korvanti::openwater {
namespace {

const OpenWaterData& data() {
    static const OpenWaterData d = read_open_water_data(KORVANTI_SOURCE_DIR "/data/open-water");
    return d;
}

std::string fixed(double v, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

Propeller b(int z, double ae, double pd) { return {OpenWaterSeries::b, z, ae, pd}; }

// The term counts, and the four coefficients where single transcriptions
// differ from the majority: the file must keep the majority's value.
TEST(OpenWaterData, TermsAndTheMajorityValues) {
    EXPECT_EQ(data().b.kt.size(), 39u);
    EXPECT_EQ(data().b.kq.size(), 47u);
    EXPECT_EQ(data().b.dkt.size(), 9u);
    EXPECT_EQ(data().b.dkq.size(), 13u);
    auto coefficient = [](const Polynomial& p, int s, int t, int u, int v) {
        for (const Term& term : p)
            if (term.j == s && term.p == t && term.a == u && term.z == v) return term.c;
        return 0.0;
    };
    EXPECT_EQ(coefficient(data().b.kt, 3, 6, 1, 2), 5.65229e-05);
    EXPECT_EQ(coefficient(data().b.kq, 3, 3, 0, 1), 0.00110903);
    EXPECT_EQ(coefficient(data().b.kq, 0, 6, 2, 2), -0.0004659);
    EXPECT_EQ(coefficient(data().b.kq, 1, 3, 1, 0), 0.00318086);
    ASSERT_EQ(data().ducted.size(), 2u);
    EXPECT_EQ(data().ducted.at("Ka4-70").blades, 4);
    EXPECT_DOUBLE_EQ(data().ducted.at("Ka5-75").area_ratio, 0.75);
}

// B4-55, P/D = 1.0 at Rn = 2·10⁶, to the digits published.
TEST(OpenWaterCheckValues, WageningenB4_55) {
    const OpenWaterModel model(data(), b(4, 0.55, 1.0));
    const struct {
        double j;
        const char *kt, *kq10, *eta;
    } rows[] = {{0.0, "0.42425", "0.61290", "0.0000"}, {0.2, "0.37156", "0.54775", "0.2159"},
                {0.4, "0.30380", "0.46552", "0.4155"}, {0.6, "0.22410", "0.36569", "0.5852"},
                {0.8, "0.13555", "0.24773", "0.6967"}, {1.0, "0.04129", "0.11110", "0.5914"}};
    for (const auto& row : rows) {
        const Coefficients c = model.at(row.j);
        EXPECT_EQ(fixed(c.kt, 5), row.kt) << "J = " << row.j;
        EXPECT_EQ(fixed(10 * c.kq, 5), row.kq10) << "J = " << row.j;
        EXPECT_EQ(fixed(c.efficiency(row.j), 4), row.eta) << "J = " << row.j;
    }
    EXPECT_EQ(fixed(model.zero_thrust_advance(), 4), "1.0855");
    const CurvePoint top = highest_efficiency(model);
    EXPECT_EQ(fixed(top.c.efficiency(top.j), 4), "0.7065");
    EXPECT_EQ(fixed(top.j, 3), "0.861");
}

TEST(OpenWaterCheckValues, Ka4_70InNozzle19A) {
    const OpenWaterModel model(data(), {OpenWaterSeries::ka, 4, 0.70, 1.0});
    const Coefficients c = model.at(0.0);
    EXPECT_EQ(fixed(c.kt, 4), "0.5257");
    EXPECT_EQ(fixed(c.ktn, 4), "0.2688");
    EXPECT_EQ(fixed(10 * c.kq, 4), "0.4424");
}

TEST(OpenWaterCurves, FromZeroToZeroThrustAtTheStep) {
    const OpenWaterModel model(data(), b(4, 0.55, 1.0));
    const auto points = open_water_curves(model, 0.01);
    ASSERT_EQ(points.size(), 110u);  // 0.00 .. 1.08, then 1.0855
    EXPECT_DOUBLE_EQ(points[108].j, 1.08);
    EXPECT_GT(points[108].c.kt, 0);
    EXPECT_NEAR(points.back().j, 1.0855171, 1e-6);
    EXPECT_EQ(points.back().c.kt, 0);
    EXPECT_EQ(points.back().c.efficiency(points.back().j), 0);
}

// ΔKT and ΔKQ nearly vanish at Rn = 2·10⁶ (L = 6) over the regression's
// range; as Rn grows KT rises and KQ falls (at J = 0 ΔKT is a constant, so
// from the first step on; up to Rn = 10⁸, where the slenderest blades of
// seven at the highest P/D already turn the other way near zero thrust).
TEST(ReynoldsCorrection, NearZeroAtTheReferenceAndGrowingWithRn) {
    double largest_dkt = 0, largest_dkq = 0;
    for (int z = 3; z <= 7; ++z)
        for (double ae : {0.40, 0.55, 0.75, 1.0})
            for (double pd : {0.6, 0.8, 1.0, 1.2, 1.4}) {
                const OpenWaterModel model(data(), b(z, ae, pd));
                const double j0 = model.zero_thrust_advance();
                for (double j = 0.05; j < j0 * 0.95; j += 0.05) {
                    const Coefficients at_reference = model.at(j, 2e6);
                    const Coefficients just_above = model.at(j, 2.000001e6);
                    largest_dkt = std::max(largest_dkt, std::fabs(just_above.kt - at_reference.kt));
                    largest_dkq = std::max(largest_dkq, std::fabs(just_above.kq - at_reference.kq));
                    double kt = just_above.kt, kq = just_above.kq;
                    for (double rn : {1e7, 3e7, 1e8}) {
                        const Coefficients c = model.at(j, rn);
                        EXPECT_GT(c.kt, kt) << "Z " << z << " Ae " << ae << " P/D " << pd << " J "
                                            << j << " Rn " << rn;
                        EXPECT_LT(c.kq, kq) << "Z " << z << " Ae " << ae << " P/D " << pd << " J "
                                            << j << " Rn " << rn;
                        kt = c.kt;
                        kq = c.kq;
                    }
                }
            }
    EXPECT_LT(largest_dkt, 2e-3);
    EXPECT_LT(largest_dkq, 3e-4);
}

// The chord at 0.75R from the parabola through the 0.6, 0.7 and 0.8R rows of
// WAGBPROP.DAT, by hand; then Rn and Keller's area ratio by hand.
TEST(ReynoldsNumberAndKeller, AgainstHandComputations) {
    const ChordTable chords = read_chord_table(KORVANTI_SOURCE_DIR "/data/WAGBPROP.DAT");
    EXPECT_NEAR(chords.k_other, -0.125 * 2.187 + 0.75 * 2.144 + 0.375 * 1.970, 1e-12);
    EXPECT_NEAR(chords.k_other, 2.073, 5e-4);  // the published B-series value
    EXPECT_NEAR(chords.k_three_blades, -0.125 * 2.186 + 0.75 * 2.168 + 0.375 * 2.127, 1e-12);

    const Propeller p = b(4, 0.55, 1.0);
    const double chord = chord_at_075(chords, p, 2.0);
    EXPECT_NEAR(chord, 2.073375 * 2.0 * 0.55 / 4, 1e-12);
    const double rn = reynolds_number(chord, 6.0, 2.5, 2.0, sea_water);
    const double by_hand =
        0.570178125 * std::sqrt(36 + std::pow(0.75 * M_PI * 2.5 * 2.0, 2)) / 1.188e-6;
    EXPECT_NEAR(rn / by_hand, 1, 1e-12);
    EXPECT_NEAR(rn, 6.345e6, 1e3);

    // Z = 4, T = 250 kN, D = 3.5 m, shaft 3 m below the sea, single screw.
    const double p0 = 101325 + 1025.9 * 9.81 * 3;
    EXPECT_NEAR(keller_area_ratio(4, 250e3, 3.5, 3.0, Screws::single, sea_water),
                2.5 * 250e3 / ((p0 - 1700) * 12.25) + 0.2, 1e-12);
    EXPECT_NEAR(keller_area_ratio(4, 250e3, 3.5, 3.0, Screws::twin, sea_water) -
                    keller_area_ratio(4, 250e3, 3.5, 3.0, Screws::fast_twin, sea_water),
                0.1, 1e-12);
}

TEST(OpenWaterRange, ValuesOutsideAreNamed) {
    EXPECT_EQ(range_problem(b(4, 0.55, 1.0)).what, "");
    EXPECT_EQ(range_problem(b(8, 0.55, 1.0)).what,
              "blade count Z = 8 is outside the B-series range 2 to 7");
    EXPECT_EQ(range_problem(b(4, 1.1, 1.0)).what,
              "area ratio Ae/A0 = 1.1 is outside the B-series range 0.30 to 1.05");
    EXPECT_EQ(range_problem(b(4, 0.55, 0.45)).what,
              "pitch ratio P/D = 0.45 is outside the B-series range 0.5 to 1.4");
    EXPECT_EQ(range_problem({OpenWaterSeries::ka, 4, 0.7, 0.55}).what,
              "pitch ratio P/D = 0.55 is outside the Ka-series range 0.6 to 1.4");
}

TEST(OpenWaterData, BadFilesNameTheLine) {
    const std::string header = "quantity\tC\ts\tt\tu\tv\n";
    const std::string reynolds =
        "quantity\tC\ts\tt\tu\tv\tw\ndKT\t1\t0\t0\t0\t0\t0\ndKQ\t1\t0\t0\t0\t0\t0\n";
    auto message = [&](const std::string& kt_kq) {
        try {
            parse_b_series(kt_kq, reynolds, "kt.tsv", "rn.tsv");
        } catch (const DataError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message("# c\n" + header + "KT\t0.1\t0\t0\t0\n"),
              "kt.tsv line 3: expected 6 tab-separated fields");
    EXPECT_EQ(message(header + "KT\t0.1x\t0\t0\t0\t0\n"), "kt.tsv line 2: '0.1x' is not a number");
    EXPECT_EQ(message(header + "KT\t0.1\t0\t9\t0\t0\n"),
              "kt.tsv line 2: '9' is not an exponent from 0 to 6");
    EXPECT_EQ(message(header + "KT\t0.1\t0\t0\t0\t0\n"), "kt.tsv: no KQ terms");
    EXPECT_THROW(parse_chord_table("9\n0.2 1.6\n", "W.DAT"), DataError);
}

}  // namespace
}  // namespace korvanti::openwater
