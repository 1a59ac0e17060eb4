#include "numeric/polynomial_smooth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "filelayer/errors.h"

namespace korvanti {
namespace {

using Table = Array1<float, 40>;

// Weighted least squares in double by the normal equations (monomials around
// the mean abscissa), end points weighing 0.5: an independent route.
std::vector<double> weighted_fit(const std::vector<double>& x, const std::vector<double>& y, int m,
                                 bool half_ends = true) {
    const int n = static_cast<int>(x.size());
    double mean = 0.0;
    for (double v : x) mean += v / n;
    std::vector<std::vector<double>> a(m, std::vector<double>(m + 1, 0.0));
    for (int i = 0; i < n; ++i) {
        const double w = (half_ends && (i == 0 || i == n - 1)) ? 0.5 : 1.0;
        for (int r = 0; r < m; ++r) {
            for (int c = 0; c < m; ++c) a[r][c] += w * std::pow(x[i] - mean, r + c);
            a[r][m] += w * std::pow(x[i] - mean, r) * y[i];
        }
    }
    for (int k = 0; k < m; ++k) {
        for (int r = k + 1; r < m; ++r) {
            const double f = a[r][k] / a[k][k];
            for (int c = k; c <= m; ++c) a[r][c] -= f * a[k][c];
        }
    }
    std::vector<double> coef(m);
    for (int k = m - 1; k >= 0; --k) {
        double s = a[k][m];
        for (int c = k + 1; c < m; ++c) s -= a[k][c] * coef[c];
        coef[k] = s / a[k][k];
    }
    std::vector<double> fitted(n);
    for (int i = 0; i < n; ++i) {
        double v = 0.0;
        for (int k = m - 1; k >= 0; --k) v = v * (x[i] - mean) + coef[k];
        fitted[i] = v;
    }
    return fitted;
}

struct Data {
    Table x, y;
    int n = 0;
    std::vector<double> xd, yd;
    Data(std::initializer_list<double> xs, std::initializer_list<double> ys) {
        for (double v : xs) x(++n) = static_cast<float>(v);
        int i = 0;
        for (double v : ys) y(++i) = static_cast<float>(v);
        for (int k = 1; k <= n; ++k) {
            xd.push_back(x(k));
            yd.push_back(y(k));
        }
    }
};

TEST(PolynomialSmooth, PolynomialDataComeBackUnchanged) {
    // Radial cubic on the nine radii of a ducted-propeller table.
    Data d({0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0}, {});
    for (int i = 1; i <= d.n; ++i) {
        const float r = d.x(i);
        d.y(i) = 0.05f - 0.12f * r + 0.3f * r * r - 0.2f * r * r * r;
    }
    Table before = d.y;
    polynomial_smooth(d.x.view(), d.y.view(), d.n, 4);
    for (int i = 1; i <= d.n; ++i) EXPECT_NEAR(d.y(i), before(i), 2e-7) << i;
    // A parabola survives a quadratic fit as well.
    for (int i = 1; i <= d.n; ++i) d.y(i) = 1.0f + d.x(i) * d.x(i);
    before = d.y;
    polynomial_smooth(d.x.view(), d.y.view(), d.n, 3);
    for (int i = 1; i <= d.n; ++i) EXPECT_NEAR(d.y(i), before(i), 1e-6) << i;
}

TEST(PolynomialSmooth, OneCoefficientGivesTheMeanWithHalfWeightEnds) {
    Data d({0.0, 1.0, 2.0, 3.0}, {1.0, 2.0, 3.0, 10.0});
    polynomial_smooth(d.x.view(), d.y.view(), d.n, 1);
    for (int i = 1; i <= 4; ++i) EXPECT_FLOAT_EQ(d.y(i), 3.5f);  // (0.5 + 2 + 3 + 5)/3
}

TEST(PolynomialSmooth, AsManyCoefficientsAsPointsInterpolates) {
    Data d({0.0, 0.1, 0.25, 0.5, 0.8, 1.0}, {0.0, 0.03, -0.02, 0.07, 0.01, 0.0});
    const Table before = d.y;
    polynomial_smooth(d.x.view(), d.y.view(), d.n, 6);
    for (int i = 1; i <= d.n; ++i) EXPECT_NEAR(d.y(i), before(i), 2e-6) << i;
}

TEST(PolynomialSmooth, FourPointParabolaWithHalfWeightedEnds) {
    Data d({0.2, 0.3, 0.4, 0.5}, {0.61, 0.52, 0.51, 0.55});
    const std::vector<double> expected = weighted_fit(d.xd, d.yd, 3);
    polynomial_smooth(d.x.view(), d.y.view(), d.n, 3);
    for (int i = 1; i <= 4; ++i) EXPECT_NEAR(d.y(i), expected[i - 1], 1e-6) << i;
    // Equal weights would give another parabola.
    const std::vector<double> unweighted = weighted_fit(d.xd, d.yd, 3, false);
    EXPECT_GT(std::fabs(unweighted[0] - expected[0]), 1e-3);
}

TEST(PolynomialSmooth, SectionFairingMatchesDoubleLeastSquares) {
    // Thickness of a 13-point section, slightly uneven, faired by a cubic.
    Data d({0.0, 0.05, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 0.95, 1.0},
           {0.0, 0.021, 0.0395, 0.0602, 0.0711, 0.0748, 0.0731, 0.0662, 0.0551, 0.0409, 0.0238,
            0.0141, 0.0});
    const std::vector<double> expected = weighted_fit(d.xd, d.yd, 4);
    polynomial_smooth(d.x.view(), d.y.view(), d.n, 4);
    for (int i = 1; i <= d.n; ++i) EXPECT_NEAR(d.y(i), expected[i - 1], 3e-7) << i;
}

TEST(PolynomialSmooth, RecurrenceEvaluatesBetweenThePoints) {
    Data d({0.0, 0.5, 1.0, 1.5, 2.0}, {});
    for (int i = 1; i <= d.n; ++i) d.y(i) = 2.0f - d.x(i) + 0.5f * d.x(i) * d.x(i);
    Array1<float, 20> alpha, beta, coef;
    orthopoly_fit(d.x.view(), d.y.view(), d.n, alpha.view(), beta.view(), coef.view(), 3);
    EXPECT_NEAR(orthopoly_value(0.75f, alpha.view(), beta.view(), coef.view(), 3),
                2.0 - 0.75 + 0.5 * 0.5625, 1e-6);
    EXPECT_NEAR(orthopoly_value(3.0f, alpha.view(), beta.view(), coef.view(), 3), 3.5, 1e-5);
}

TEST(PolynomialSmooth, RefusesMoreThanTheTablesHold) {
    Array1<float, 50> x, y;
    for (int i = 1; i <= 50; ++i) x(i) = static_cast<float>(i);
    EXPECT_THROW(polynomial_smooth(x.view(), y.view(), 41, 4), InputError);
    EXPECT_THROW(polynomial_smooth(x.view(), y.view(), 30, 21), InputError);
    EXPECT_THROW(polynomial_smooth(x.view(), y.view(), 3, 4), InputError);
}

}  // namespace
}  // namespace korvanti
