#include "surfaces/space_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "filelayer/errors.h"
#include "support/test_support.h"

namespace korvanti {
namespace {

using testing::solve_dense;

using Curve = Array1<float, curve_capacity>;

double third_difference(const std::vector<double>& t, const std::vector<double>& y, int k) {
    auto d1 = [&](int i) { return (y[i + 1] - y[i]) / (t[i + 1] - t[i]); };
    auto d2 = [&](int i) { return (d1(i + 1) - d1(i)) / (t[i + 2] - t[i]); };
    return (d2(k + 1) - d2(k)) / (t[k + 3] - t[k]);
}

// Independent reference in double: second derivatives M with the end
// condition s''' = 6·(third divided difference of the four end points).
double end_matched_spline(const std::vector<double>& t, const std::vector<double>& y, double at) {
    return testing::reference_spline(t, y, at, [&t, &y](const auto& h, auto& a, auto& r) {
        const std::size_t n = a.size();
        a[0][0] = -1 / h[0];
        a[0][1] = 1 / h[0];
        r[0] = 6 * third_difference(t, y, 0);
        a[n - 1][n - 2] = -1 / h[n - 2];
        a[n - 1][n - 1] = 1 / h[n - 2];
        r[n - 1] = 6 * third_difference(t, y, static_cast<int>(n) - 4);
    });
}

struct OneCoordinate {
    Curve t, y, b, c, d;
    int n = 0;
    int error = -1;
    OneCoordinate(const std::vector<float>& ts, double (*f)(double)) {
        for (float v : ts) {
            t(++n) = v;
            y(n) = static_cast<float>(f(v));
        }
        fit_curve_spline(n, t.view(), y.view(), 0, 0.0f, 0, 0.0f, b.view(), c.view(), d.view(),
                         error);
    }
    float at(float u) const {
        Curve tq, out;
        tq(1) = u;
        evaluate_curve_spline(n, t.view(), y.view(), 1, tq.view(), b.view(), c.view(), d.view(),
                              out.view());
        return out(1);
    }
};

double cubic(double t) { return 0.3 - 1.1 * t + 0.8 * t * t - 0.35 * t * t * t; }
double parabola(double t) { return 1.0 + 0.5 * t - 2.0 * t * t; }
double wave(double t) { return std::cos(2.0 * t) + 0.1 * t; }

TEST(CurveSpline, CubicReproducedWithItsTaylorCoefficients) {
    const OneCoordinate s({0.0f, 0.2f, 0.5f, 0.9f, 1.4f, 1.5f, 2.2f}, cubic);
    EXPECT_EQ(s.error, 0);
    for (double u = 0.0; u <= 2.2; u += 0.05) EXPECT_NEAR(s.at(float(u)), cubic(u), 3e-6) << u;
    for (int i = 1; i <= s.n; ++i) {
        const double t = s.t(i);
        EXPECT_NEAR(s.b(i), -1.1 + 1.6 * t - 1.05 * t * t, 3e-5) << i;
        EXPECT_NEAR(s.c(i), 0.8 - 1.05 * t, 3e-5) << i;
        EXPECT_NEAR(s.d(i), -0.35, 3e-5) << i;
    }
}

TEST(CurveSpline, ThreePointsGiveTheParabolaTwoTheLine) {
    const OneCoordinate three({0.0f, 0.4f, 1.0f}, parabola);
    for (float u : {0.1f, 0.7f, 1.0f}) EXPECT_NEAR(three.at(u), parabola(u), 2e-6);
    // A cubic through three points is not reproduced: the end rows carry no
    // four-point condition.
    const OneCoordinate cubic3({0.0f, 0.4f, 1.0f}, cubic);
    EXPECT_GT(std::fabs(cubic3.at(0.2f) - cubic(0.2)), 1e-3);

    const OneCoordinate two({1.0f, 3.0f}, parabola);
    EXPECT_NEAR(two.at(2.5f), parabola(1.0) + 1.5 * (parabola(3.0) - parabola(1.0)) / 2.0, 2e-6);
    EXPECT_EQ(two.c(1), 0.0f);
    EXPECT_EQ(two.d(2), 0.0f);
}

TEST(CurveSpline, AgreesWithDoublePrecisionEndMatchedSpline) {
    const std::vector<float> ts = {0.0f, 0.13f, 0.3f, 0.52f, 0.7f, 0.95f, 1.1f, 1.37f, 1.6f};
    const OneCoordinate s(ts, wave);
    std::vector<double> td, yd;
    for (int i = 1; i <= s.n; ++i) {
        td.push_back(s.t(i));
        yd.push_back(s.y(i));
    }
    for (double u = 0.0; u <= 1.6; u += 0.02) {
        EXPECT_NEAR(s.at(float(u)), end_matched_spline(td, yd, float(u)), 2e-6) << u;
    }
}

TEST(CurveSpline, ExtrapolatesWithTheEndPiecesAndFlagsShortCurves) {
    const OneCoordinate s({0.0f, 0.5f, 1.0f, 1.5f, 2.0f}, cubic);
    EXPECT_NEAR(s.at(-0.3f), cubic(-0.3), 1e-5);
    EXPECT_NEAR(s.at(2.4f), cubic(2.4), 1e-5);

    Curve t, y, b, c, d;
    b(1) = 77.0f;
    int error = -1;
    fit_curve_spline(1, t.view(), y.view(), 0, 0.0f, 0, 0.0f, b.view(), c.view(), d.view(), error);
    EXPECT_EQ(error, 1);
    EXPECT_EQ(b(1), 77.0f);
    EXPECT_THROW(fit_curve_spline(4, t.view(), y.view(), 1, 0.0f, 0, 0.0f, b.view(), c.view(),
                                  d.view(), error),
                 InputError);
}

TEST(LocateParameter, FindsThePieceFromAnyStartInEitherDirection) {
    const std::vector<float> rising = {0.0f, 0.1f, 0.15f, 0.4f, 0.45f, 0.9f, 1.0f, 1.7f, 2.0f};
    for (float sign : {1.0f, -1.0f}) {
        Curve t;
        const int n = static_cast<int>(rising.size());
        for (int k = 1; k <= n; ++k) t(k) = sign * rising[k - 1];
        for (float u = -0.3f; u <= 2.3f; u += 0.01f) {
            const float su = sign * u;
            int expected = 1;
            for (int k = 1; k <= n - 1; ++k) {
                if (sign * t(k) <= u) expected = k;
            }
            for (int start = 1; start <= n - 1; ++start) {
                int i = start;
                locate_parameter(n, t.view(), su, t(2) - t(1), i);
                ASSERT_EQ(i, expected) << "u=" << su << " start=" << start;
            }
        }
    }
}

TEST(SolveCyclicTridiagonal, OpenAndCyclicSystemsAgainstDenseSolve) {
    const int n = 6;
    const float diag[n] = {4.0f, 5.0f, 4.5f, 6.0f, 5.5f, 4.2f};
    const float off[n - 1] = {1.0f, -0.7f, 1.3f, 0.4f, -1.1f};
    const float rhs[n] = {1.0f, -2.0f, 0.5f, 3.0f, 0.25f, -1.5f};
    for (float corner : {0.0f, 0.9f}) {
        std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
        Curve dg, of, r;
        for (int i = 0; i < n; ++i) {
            a[i][i] = diag[i];
            dg(i + 1) = diag[i];
            r(i + 1) = rhs[i];
            if (i < n - 1) {
                a[i][i + 1] = a[i + 1][i] = off[i];
                of(i + 1) = off[i];
            }
        }
        a[0][n - 1] = a[n - 1][0] = corner;
        const std::vector<double> x = solve_dense(a, std::vector<double>(rhs, rhs + n));
        solve_cyclic_tridiagonal(n, dg.view(), of.view(), corner, r.view());
        for (int i = 0; i < n; ++i) EXPECT_NEAR(r(i + 1), x[i], 2e-7) << corner << " " << i;
    }
}

class SpaceCurve : public ::testing::Test {
protected:
    Curve x, y, z, t, xo, yo, zo, tq;
    SpaceCurveTable table;
    int n = 0;
    int error = -1;

    void add(float px, float py, float pz) {
        ++n;
        x(n) = px;
        y(n) = py;
        z(n) = pz;
    }
    void fit() { fit_space_curve(n, x.view(), y.view(), z.view(), t.view(), table, 0, error); }
    void evaluate(int m) {
        evaluate_space_curve(m, tq.view(), n, x.view(), y.view(), z.view(), t.view(), table,
                             xo.view(), yo.view(), zo.view());
    }
};

TEST_F(SpaceCurve, TwoPointsGiveTheSegmentByFraction) {
    add(1.0f, 2.0f, 2.0f);
    add(3.0f, 5.0f, 8.0f);
    fit();
    EXPECT_EQ(error, 0);
    EXPECT_FLOAT_EQ(t(2), 7.0f);  // sqrt(36 + 9 + 4)
    tq(1) = 0.0f;
    tq(2) = 7.0f * 0.25f;
    tq(3) = 7.0f;
    evaluate(3);
    EXPECT_FLOAT_EQ(xo(2), 1.5f);
    EXPECT_FLOAT_EQ(yo(2), 2.75f);
    EXPECT_FLOAT_EQ(zo(2), 3.5f);
    EXPECT_FLOAT_EQ(xo(3), 3.0f);
    EXPECT_FLOAT_EQ(zo(1), 2.0f);
}

TEST_F(SpaceCurve, SectionSideResampledEvenlyKeepsItsEnds) {
    // The back of a section: x along the chord, y the ordinate, z = 0.
    const float xs[] = {-0.4f, -0.35f, -0.25f, -0.1f, 0.05f, 0.2f, 0.3f, 0.38f, 0.41f};
    for (float px : xs) add(px, 1.0f + 0.09f * (1.0f - (px * px) / 0.17f), 0.0f);
    fit();
    EXPECT_EQ(error, 0);
    double length = 0.0;
    for (int j = 2; j <= n; ++j)
        length += std::hypot(double(x(j)) - x(j - 1), double(y(j)) - y(j - 1));
    EXPECT_NEAR(t(n), length, 1e-6);
    const int m = 11;
    for (int q = 1; q <= m; ++q) tq(q) = t(n) * (float(q - 1) * (1.0f / float(m - 1)));
    evaluate(m);
    EXPECT_NEAR(xo(1), x(1), 1e-6);
    EXPECT_NEAR(yo(1), y(1), 1e-6);
    EXPECT_NEAR(xo(m), x(n), 2e-6);
    EXPECT_NEAR(yo(m), y(n), 2e-6);
    for (int q = 1; q <= m; ++q) {
        EXPECT_EQ(zo(q), 0.0f);
        // Close to the parabola the points were taken from.
        EXPECT_NEAR(yo(q), 1.0f + 0.09f * (1.0f - (xo(q) * xo(q)) / 0.17f), 2e-4) << q;
    }
    for (int q = 2; q <= m; ++q) EXPECT_GT(xo(q), xo(q - 1));
}

TEST_F(SpaceCurve, ShortAndOversizedCurves) {
    add(1.0f, 1.0f, 1.0f);
    table(1, 1) = 55.0f;
    fit();
    EXPECT_EQ(error, 1);
    EXPECT_EQ(table(1, 1), 55.0f);
    Array1<float, 40> big;
    EXPECT_THROW(
        fit_space_curve(31, big.view(), big.view(), big.view(), big.view(), table, 0, error),
        InputError);
    EXPECT_THROW(fit_space_curve(3, x.view(), y.view(), z.view(), t.view(), table, 1, error),
                 InputError);
}

}  // namespace
}  // namespace korvanti
