// Mass block and 2D Tecplot file for blades whose mass and inertia are known
// by hand.
#include "reports/blade_mass.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace korvanti {
namespace {

using testing::ScratchDir;

// Stations at r = 0.2, 0.4, ... of constant rectangular section: chord 0.1 m,
// thickness 0.01 m, so A = 0.001 m² = 10 cm² everywhere.
void rectangular_blade(int stations, BladeModel& m) {
    m.handedness = 1.0f;
    m.station_count = stations;
    m.point_count = 3;
    for (int i = 1; i <= stations; ++i) {
        m.r(i) = 0.2f * static_cast<float>(i);
        const float x[] = {-0.05f, 0.0f, 0.05f};
        for (int j = 1; j <= 3; ++j) {
            m.xc(i, j) = x[j - 1];
            m.yf(i, j) = 0.0f;
            m.yb(i, j) = 0.01f;
        }
    }
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> mass_block(const BladeModel& m) {
    std::ostringstream result;
    write_blade_mass(m, result);
    return lines_of(result.str());
}

TEST(BladeMass, RectangularBladeAgainstHandValues) {
    ScratchDir dir;
    BladeModel m;
    rectangular_blade(5, m);
    // V = 0.001·0.8 m³; m = 8600·V = 6.88 kg; Zc = 0.6 m.
    // Iox = 8600·0.001·(1 - 0.2³)/3 = 2.8437 kg·m²;
    // strips: ms = 1.72 kg at rm = 0.3, 0.5, 0.7, 0.9: I_sum = 1.72·1.64 = 2.8208.
    const std::vector<std::string> expected = {
        "",
        "",
        "",
        "",
        "",
        " -- KANAT AGIRLIGI VE ATALET MOMENTININ HESABI --",
        " --------------------------------------",
        "  i   r(i)     Ax(i)      m(i)   Iox(i)",
        "      (cm)     (cm2)      (kg)  (kg*m2)",
        " --------------------------------------",
        "  1   20.00    10.000     ---      ---",
        "  2   40.00    10.000     1.72     0.15",
        "  3   60.00    10.000     1.72     0.43",
        "  4   80.00    10.000     1.72     0.84",
        "  5  100.00    10.000     1.72     1.39",
        " --------------------------------------",
        "",
        "",
        "",
        "        TEK KANADA AIT DEGERLER ",
        " -----------------------------------------",
        " m     =      6.9 kg (     6.9 kg basit toplam)",
        " Iox   =     2.84 kg*m2 (saft eksenine gore) (  2.82 kg*m2 basit toplam)",
        " V     =     800.   cm3  (pervane hacmi)",
        " Zc    =   0.60 m (saft eksenine gore)",
        " rho_m = 8600.0 kg/m3 (malzeme yogunlugu)",
    };
    EXPECT_EQ(mass_block(m), expected);
}

TEST(BladeMass, InertiaGrowsWithTheSquareOfTheRadius) {
    ScratchDir dir;
    BladeModel m;
    rectangular_blade(5, m);
    // Twice the radius at the same area: the mass doubles (twice the span),
    // the integral of A·r² over [0.4, 2] is 8 times that over [0.2, 1].
    for (int i = 1; i <= 5; ++i) m.r(i) = 2.0f * m.r(i);
    auto lines = mass_block(m);
    EXPECT_EQ(lines[21], " m     =     13.8 kg (    13.8 kg basit toplam)");
    EXPECT_EQ(lines[22],
              " Iox   =    22.75 kg*m2 (saft eksenine gore) ( 22.57 kg*m2 basit toplam)");
}

TEST(BladeMass, BackBelowFaceStillGivesPositiveArea) {
    ScratchDir dir;
    BladeModel m;
    rectangular_blade(5, m);
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 3; ++j) std::swap(m.yb(i, j), m.yf(i, j));
    auto lines = mass_block(m);
    EXPECT_EQ(lines[10], "  1   20.00    10.000     ---      ---");
    EXPECT_EQ(lines[21], " m     =      6.9 kg (     6.9 kg basit toplam)");
}

TEST(BladeMass, TwoStationsGiveOneStrip) {
    ScratchDir dir;
    BladeModel m;
    rectangular_blade(2, m);
    auto lines = mass_block(m);
    EXPECT_EQ(lines[10], "  1   20.00    10.000     ---      ---");
    EXPECT_EQ(lines[11], "  2   40.00    10.000     1.72     0.15");
    EXPECT_EQ(lines[12], " --------------------------------------");
    EXPECT_EQ(lines[18], " m     =      1.7 kg (     1.7 kg basit toplam)");
}

TEST(BladeMassTecplot, ZonesOfSidesAndEdges) {
    ScratchDir dir;
    BladeModel m;
    rectangular_blade(4, m);
    mass_block(m);
    auto lines = testing::read_lines(dir.path() / "Korvanti2D_Tecplot.PLT");
    ASSERT_EQ(lines.size(), 4u * 2u * 4u + 2u * 5u);
    EXPECT_EQ(lines[0], " ZONE T = \"SUCT. SIDE \" , I=  3, F=POINT, C=BLACK");
    EXPECT_EQ(lines[1], "-.50000001E-01 0.21000001E+00 ");
    EXPECT_EQ(lines[2], "0.00000000E+00 0.21000001E+00 ");
    EXPECT_EQ(lines[4], " ZONE T = \"PRES. SIDE \" , I=  3, F=POINT, C=BLACK");
    EXPECT_EQ(lines[5], "-.50000001E-01 0.20000000E+00 ");
    EXPECT_EQ(lines[32], " ZONE T = \"TRAILING EDGE\" , I=  4, F=POINT, C=BLACK");
    EXPECT_EQ(lines[33], "-.50000001E-01 0.20500001E+00 ");
    EXPECT_EQ(lines[37], " ZONE T = \"LEADING EDGE\" , I=  4, F=POINT, C=BLACK");
    EXPECT_EQ(lines[41].substr(0, 15), "0.50000001E-01 ");
}

TEST(BladeMassTecplot, LeftHandMirrorsOnlyTheAbscissae) {
    ScratchDir dir;
    BladeModel m;
    rectangular_blade(4, m);
    for (int i = 1; i <= 4; ++i) m.xc(i, 2) = 0.01f;  // no abscissa of 0
    mass_block(m);
    auto right = testing::read_lines(dir.path() / "Korvanti2D_Tecplot.PLT");
    m.handedness = 0.0f;
    auto block_left = mass_block(m);
    auto left = testing::read_lines(dir.path() / "Korvanti2D_Tecplot.PLT");
    ASSERT_EQ(right.size(), left.size());
    for (size_t k = 0; k < right.size(); ++k) {
        if (right[k].rfind(" ZONE", 0) == 0) {
            EXPECT_EQ(right[k], left[k]);
            continue;
        }
        EXPECT_EQ(right[k].substr(15), left[k].substr(15)) << k;
        EXPECT_EQ(std::stof(right[k].substr(0, 14)), -std::stof(left[k].substr(0, 14))) << k;
    }
    m.handedness = 1.0f;
    EXPECT_EQ(mass_block(m), block_left);  // the result block has no hand
}

}  // namespace
}  // namespace korvanti
