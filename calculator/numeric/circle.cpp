// Circle through three points from the general equation
// x² + y² + D·x + E·y + F = 0, solved by Gaussian elimination without
// pivoting (row scaling to a unit pivot, then back substitution).
#include "numeric/circle.h"

#include <cmath>
#include <string>

#include "filelayer/errors.h"
#include "numeric/numeric_failure.h"

namespace korvanti {

namespace {

// Slope of a chord; a vertical chord gets the marker 999.999.
float chord_slope(float xa, float ya, float xb, float yb) {
    if (xb == xa) return 999.999f;
    return (yb - ya) / (xb - xa);
}

}  // namespace

void circle_through_three_points(float x1, float y1, float x2, float y2, float x3, float y3,
                                 float& xc, float& yc, float& radius) {
    const float m1 = chord_slope(x1, y1, x2, y2);
    const float m2 = chord_slope(x2, y2, x3, y3);
    if (std::fabs(m1 - m2) < 1e-6f) throw CollinearPoints();

    // Unknowns in the order F, D, E.
    LinearSystemMatrix a;
    Array1<float, 3> b, x;
    const float px[3] = {x1, x2, x3};
    const float py[3] = {y1, y2, y3};
    for (int k = 1; k <= 3; ++k) {
        a(k, 1) = 1.0f;
        a(k, 2) = px[k - 1];
        a(k, 3) = py[k - 1];
        b(k) = -(px[k - 1] * px[k - 1] + py[k - 1] * py[k - 1]);
    }
    solve_linear_system(3, a, b.view(), x.view());
    const float f = x(1);
    const float d = x(2);
    const float e = x(3);
    xc = -d / 2.0f;
    yc = -e / 2.0f;
    radius = std::sqrt(d * d + e * e - 4.0f * f) / 2.0f;
}

void solve_linear_system(int n, LinearSystemMatrix& a, View1<const float> b, View1<float> x) {
    if (n < 1 || n > linear_system_max || n > b.size() || n > x.size()) {
        throw InputError("linear system: " + std::to_string(n) + " equations, at most " +
                         std::to_string(linear_system_max));
    }
    for (int i = 1; i <= n; ++i) {
        a(i, n + 1) = b(i);
        x(i) = 0.0f;
    }
    for (int i = 1; i <= n; ++i) {
        if (std::fabs(a(i, i)) < 1e-7f) throw ZeroPivot(i);
        const float pivot = a(i, i);
        for (int k = 1; k <= n + 1; ++k) a(i, k) = a(i, k) / pivot;
        for (int j = i + 1; j <= n; ++j) {
            const float f = a(j, i);
            for (int k = i; k <= n + 1; ++k) a(j, k) = a(j, k) - f * a(i, k);
        }
    }
    // x(i) = a(i, n+1) - (sum of the known terms, accumulated left to right).
    for (int i = n; i >= 1; --i) {
        float sum = 0.0f;
        for (int k = 1; k <= n; ++k) {
            if (k != i) sum = sum + a(i, k) * x(k);
        }
        x(i) = a(i, n + 1) - sum;
    }
}

}  // namespace korvanti
