#include "numeric/local_interpolation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "numeric/numeric_failure.h"

namespace korvanti {
namespace {

using Table = Array1<float, 20>;

// Lagrange parabola through three points, in double.
double lagrange(double xa, double ya, double xb, double yb, double xc, double yc, double x) {
    return ya * (x - xb) * (x - xc) / ((xa - xb) * (xa - xc)) +
           yb * (x - xa) * (x - xc) / ((xb - xa) * (xb - xc)) +
           yc * (x - xa) * (x - xb) / ((xc - xa) * (xc - xb));
}

class ThreePointInterpolate : public ::testing::Test {
protected:
    std::ostringstream out;
    std::istringstream in;
    Console console{out, in};
    Table xt, yt;
    int n = 0;

    void table(std::initializer_list<float> xs, double (*f)(double)) {
        n = 0;
        for (float x : xs) {
            ++n;
            xt(n) = x;
            yt(n) = static_cast<float>(f(x));
        }
    }
    float at(float x, int mode, float start = -55.0f) {
        float y = start;
        three_point_interpolate(n, xt.view(), yt.view(), x, y, mode, console);
        return y;
    }
};

double cube(double x) { return x * x * x; }
double square_plus_one(double x) { return x * x + 1.0; }

TEST_F(ThreePointInterpolate, ParabolaUsesTheEntriesAroundTheInterval) {
    table({0.2f, 0.3f, 0.45f, 0.6f, 0.8f, 1.0f}, cube);
    auto y = [&](int k) { return static_cast<double>(yt(k)); };
    auto x = [&](int k) { return static_cast<double>(xt(k)); };
    // Intervals 1 and 2 both use entries 1..3; every later interval k uses
    // k-1..k+1, the last one (n-1) therefore n-2..n.
    EXPECT_NEAR(at(0.25f, 2), lagrange(x(1), y(1), x(2), y(2), x(3), y(3), 0.25f), 2e-7);
    EXPECT_NEAR(at(0.4f, 3), lagrange(x(1), y(1), x(2), y(2), x(3), y(3), 0.4f), 2e-7);
    EXPECT_NEAR(at(0.5f, 2), lagrange(x(2), y(2), x(3), y(3), x(4), y(4), 0.5f), 2e-7);
    EXPECT_NEAR(at(0.9f, 2), lagrange(x(4), y(4), x(5), y(5), x(6), y(6), 0.9f), 5e-7);
    EXPECT_NEAR(at(0.7f, 2), lagrange(x(3), y(3), x(4), y(4), x(5), y(5), 0.7f), 5e-7);
    // The ends give the end entries.
    EXPECT_NEAR(at(0.2f, 2), yt(1), 1e-7);
    EXPECT_NEAR(at(1.0f, 2), yt(6), 1e-6);
    EXPECT_EQ(out.str(), "");
}

TEST_F(ThreePointInterpolate, LineModeJoinsTheOuterPointsAndInteriorEntriesLookRight) {
    table({0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f}, square_plus_one);
    // At entry 3 (x = 2): the interval on the right, middle entry 3, the line
    // through entries 2 and 4: (2 + 10)/2 = 6, not y(3) = 5.
    EXPECT_FLOAT_EQ(at(2.0f, 1), 6.0f);
    // Between entries 3 and 4: the same line through entries 2 and 4.
    EXPECT_FLOAT_EQ(at(2.5f, 1), 2.0f + 1.5f * 8.0f / 2.0f);
    // First interval: line through entries 1 and 3.
    EXPECT_FLOAT_EQ(at(0.5f, 1), 1.0f + 0.5f * 2.0f);
    // In parabola mode an entry returns its own value.
    EXPECT_FLOAT_EQ(at(2.0f, 2), 5.0f);
}

TEST_F(ThreePointInterpolate, NearlyEqualNeighboursReturnTheLeftOne) {
    table({0.0f, 1.0f, 2.0f, 3.0f}, square_plus_one);
    yt(3) = 7.0f;
    yt(4) = 7.000005f;
    EXPECT_EQ(at(2.6f, 2), 7.0f);
    EXPECT_EQ(at(2.6f, 1), 7.0f);
    yt(4) = 7.0001f;
    EXPECT_NE(at(2.6f, 2), 7.0f);
}

double steep_line(double x) { return 1.0 + 10.0 * x; }

TEST_F(ThreePointInterpolate, AbsoluteThresholdsDropTermsForCloseEntries) {
    // Spacing 0.005: the denominator of b is -2h³ = -2.5e-7, so b = 0 and
    // the value is y0 + a·t² with a from the left point alone.
    table({0.0f, 0.005f, 0.010f, 0.015f}, steep_line);
    const double a = (yt(1) - yt(2)) / (0.005 * 0.005);
    const double t = 0.002 - 0.005;
    EXPECT_NEAR(at(0.002f, 2), yt(2) + a * t * t, 2e-4);
    EXPECT_GT(std::fabs(at(0.002f, 2) - steep_line(0.002)), 0.01);
    // Spacing 0.0005: a is dropped too and the middle entry comes back.
    table({0.0f, 0.0005f, 0.0010f, 0.0015f}, steep_line);
    EXPECT_EQ(at(0.0002f, 2), yt(2));
}

TEST_F(ThreePointInterpolate, OutsideTheTableReportsAndKeepsTheOutput) {
    table({0.5f, 1.0f, 2.0f, 4.0f}, square_plus_one);
    EXPECT_EQ(at(-0.25f, 2, 42.0f), 42.0f);
    EXPECT_EQ(out.str(),
              " **** INTERPOLANT ARALIGIN DISINDA ****\n"
              " X(1)=   0.500000000000000\n"
              " X   =  -0.250000000000000\n"
              " X(N)=   4.000000000000000\n"
              " **** INTERPOLASYON BASARISIZ ****\n");
    out.str("");
    EXPECT_EQ(at(std::nextafter(4.0f, 5.0f), 1, 42.0f), 42.0f);
    EXPECT_NE(out.str().find("INTERPOLASYON BASARISIZ"), std::string::npos);
}

TEST_F(ThreePointInterpolate, RefusesTablesBeyondTheirLength) {
    table({0.0f, 1.0f, 2.0f}, cube);
    float y = 0.0f;
    EXPECT_THROW(three_point_interpolate(21, xt.view(), yt.view(), 0.5f, y, 2, console),
                 InputError);
    EXPECT_THROW(three_point_interpolate(2, xt.view(), yt.view(), 0.5f, y, 2, console), InputError);
}

// A table whose abscissae repeat or fall is refused, however x lies, and
// so is the same table for the quadrature.
TEST_F(ThreePointInterpolate, RefusesAbscissaeThatDoNotIncreaseStrictly) {
    for (auto xs : {std::initializer_list<float>{0.0f, 1.0f, 1.0f, 2.0f},
                    std::initializer_list<float>{0.0f, 2.0f, 1.0f, 3.0f}}) {
        table(xs, cube);
        for (float x : {0.5f, 1.0f, 5.0f}) EXPECT_THROW(at(x, 2), NotIncreasing) << x;
        EXPECT_THROW(integrate_three_point(n, xt.view(), yt.view()), NotIncreasing);
    }
    EXPECT_EQ(out.str(), "");
}

TEST(TwoPointLine, TheTwoFormsAreExactAtTheirOwnAnchor) {
    const float x1 = 0.35f, y1 = 0.287f, x2 = 0.9f, y2 = 0.093f;
    float forward = 0.0f, back = 0.0f;
    two_point_line(x1, y1, x2, y2, x1, forward);
    two_point_line_back(x1, y1, x2, y2, x2, back);
    EXPECT_EQ(forward, y1);
    EXPECT_EQ(back, y2);
    // At the second point the forward form misses y2 by its last bit.
    two_point_line(x1, y1, x2, y2, x2, forward);
    EXPECT_NE(forward, y2);
    EXPECT_NEAR(forward, y2, 1e-7);
    // Extrapolation to the hub, both forms on the same line.
    two_point_line(0.3f, 1.8f, 0.5f, 2.2f, 0.167f, forward);
    two_point_line_back(0.3f, 1.8f, 0.5f, 2.2f, 0.167f, back);
    EXPECT_NEAR(forward, 1.534, 1e-6);
    EXPECT_NEAR(back, 1.534, 1e-6);
}

TEST(IntegrateThreePoint, ExactForQuadraticsOnUnevenSteps) {
    Table x, y;
    x(1) = 0.0f;
    x(2) = 1.0f;
    x(3) = 3.0f;
    for (int i = 1; i <= 3; ++i) y(i) = x(i) * x(i);
    EXPECT_NEAR(integrate_three_point(3, x.view(), y.view()), 9.0f, 2e-6);

    const float xs[] = {0.1f, 0.4f, 0.5f, 1.1f, 1.3f, 1.32f, 2.0f};
    for (int i = 1; i <= 7; ++i) {
        x(i) = xs[i - 1];
        y(i) = 2.0f - x(i) + 3.0f * x(i) * x(i);
    }
    auto primitive = [](double t) { return 2 * t - t * t / 2 + t * t * t; };
    EXPECT_NEAR(integrate_three_point(7, x.view(), y.view()), primitive(2.0) - primitive(0.1),
                5e-6);
}

TEST(IntegrateThreePoint, EqualStepsUseTheFiveEightMinusOneWeights) {
    Table x, y;
    const float ys[] = {0.3f, -1.2f, 2.5f, 0.7f, 4.1f};
    const double s = 0.25;
    for (int i = 1; i <= 5; ++i) {
        x(i) = 1.0f + static_cast<float>(s) * static_cast<float>(i - 1);
        y(i) = ys[i - 1];
    }
    double expected = s / 12 * (5 * ys[0] + 8 * ys[1] - ys[2]);
    for (int i = 2; i <= 4; ++i) {
        expected += s / 12 * (-ys[i - 2] + 8 * ys[i - 1] + 5 * ys[i]);
    }
    EXPECT_NEAR(integrate_three_point(5, x.view(), y.view()), expected, 2e-6);
    // A cubic is not integrated exactly: the rule is parabolic.
    for (int i = 1; i <= 5; ++i) y(i) = x(i) * x(i) * x(i);
    EXPECT_GT(std::fabs(integrate_three_point(5, x.view(), y.view()) - (16.0 - 1.0) / 4.0), 1e-3);
}

TEST(ExtrapolateLastRow, RebuildsTheTipRowAndScalesIt) {
    Array2<float, 30, 30> xc, yb, yf;
    Array1<float, 30> radius;
    const float r[] = {0.2f, 0.5f, 0.8f, 0.9f, 1.0f};
    for (int i = 1; i <= 5; ++i) {
        radius(i) = r[i - 1];
        for (int k = 1; k <= 4; ++k) {
            xc(i, k) = 0.1f * k + r[i - 1];
            yb(i, k) = 0.03f * k * r[i - 1] * r[i - 1];
            yf(i, k) = -0.01f * k / r[i - 1];
        }
    }
    Array2<float, 30, 30> xc0 = xc, yb0 = yb, yf0 = yf;
    xc(5, 2) = 1e30f;  // whatever the tip row held is replaced
    extrapolate_last_row(5, 4, xc, yb, yf, radius.view(), 0.7f);
    auto line_at_tip = [&](const Array2<float, 30, 30>& t, int k) {
        const double slope = (double(t(4, k)) - t(3, k)) / (0.9 - 0.8);
        return 0.7 * (t(4, k) + slope * (1.0 - 0.9));
    };
    for (int k = 1; k <= 4; ++k) {
        EXPECT_NEAR(xc(5, k), line_at_tip(xc0, k), 2e-6) << k;
        EXPECT_NEAR(yb(5, k), line_at_tip(yb0, k), 2e-6) << k;
        EXPECT_NEAR(yf(5, k), line_at_tip(yf0, k), 2e-6) << k;
        for (int i = 1; i <= 4; ++i) {
            EXPECT_EQ(xc(i, k), xc0(i, k));
            EXPECT_EQ(yb(i, k), yb0(i, k));
            EXPECT_EQ(yf(i, k), yf0(i, k));
        }
    }
    EXPECT_EQ(xc(5, 5), 0.0f);  // points beyond m untouched
}

}  // namespace
}  // namespace korvanti
