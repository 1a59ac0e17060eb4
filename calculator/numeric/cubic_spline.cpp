// Not-a-knot cubic spline interpolation after de Boor ("A Practical Guide to
// Splines", CUBSPL): the knot slopes solve a tridiagonal system by
// elimination without pivoting, then each piece gets its Taylor coefficients.
#include "numeric/cubic_spline.h"

#include <cmath>
#include <string>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "numeric/numeric_failure.h"

namespace korvanti {

namespace {

void check_spline_size(int n, View1<const float> tau, SplineView<const float> c) {
    if (n > tau.size() || n > c.capacity()) {
        throw InputError("cubic spline: " + std::to_string(n) + " points exceed the table of " +
                         std::to_string(c.capacity() < tau.size() ? c.capacity() : tau.size()));
    }
}

// Step widths into c(3, *) and divided differences into c(4, *).
void spline_differences(View1<const float> tau, SplineView<float> c, int n) {
    for (int m = 2; m <= n; ++m) {
        c(3, m) = tau(m) - tau(m - 1);
        c(4, m) = (c(1, m) - c(1, m - 1)) / c(3, m);
    }
}

// First row c(4,1)·s(1) + c(3,1)·s(2) = c(2,1): not-a-knot at tau(2), or the
// chord slope for two points.
void spline_first_equation(SplineView<float> c, int n) {
    if (n == 2) {
        c(4, 1) = 1.0f;
        c(3, 1) = 1.0f;
        c(2, 1) = 2.0f * c(4, 2);
        return;
    }
    c(4, 1) = c(3, 3);
    c(3, 1) = c(3, 2) + c(3, 3);
    c(2, 1) =
        ((c(3, 2) + 2.0f * c(3, 1)) * c(4, 2) * c(3, 3) + c(3, 2) * c(3, 2) * c(4, 3)) / c(3, 1);
}

// Forward elimination over the interior knots.
void spline_forward_pass(SplineView<float> c, int n) {
    for (int m = 2; m <= n - 1; ++m) {
        const float g = -c(3, m + 1) / c(4, m - 1);
        c(2, m) = g * c(2, m - 1) + 3.0f * (c(3, m) * c(4, m + 1) + c(3, m + 1) * c(4, m));
        c(4, m) = g * c(3, m - 1) + 2.0f * (c(3, m) + c(3, m + 1));
    }
}

// Last row: not-a-knot at tau(n-1) (a parabola end for three points),
// eliminated against the row before it.
void spline_last_equation(SplineView<float> c, int n) {
    if (n == 2) {
        c(2, n) = c(4, n);
        return;
    }
    float g;
    if (n == 3) {
        c(2, n) = 2.0f * c(4, n);
        c(4, n) = 1.0f;
        g = -1.0f / c(4, n - 1);
    } else {
        g = c(3, n - 1) + c(3, n);
        c(2, n) = ((c(3, n) + 2.0f * g) * c(4, n) * c(3, n - 1) +
                   c(3, n) * c(3, n) * (c(1, n - 1) - c(1, n - 2)) / c(3, n - 1)) /
                  g;
        g = -g / c(4, n - 1);
        c(4, n) = c(3, n - 1);
    }
    c(4, n) = g * c(3, n - 1) + c(4, n);
    c(2, n) = (g * c(2, n - 1) + c(2, n)) / c(4, n);
}

void spline_back_substitution(SplineView<float> c, int n) {
    for (int j = n - 1; j >= 1; --j) c(2, j) = (c(2, j) - c(3, j) * c(2, j + 1)) / c(4, j);
}

// Second and third derivatives of each piece from its end values and slopes.
void spline_piece_coefficients(SplineView<float> c, int n) {
    for (int i = 2; i <= n; ++i) {
        const float h = c(3, i);
        const float d1 = (c(1, i) - c(1, i - 1)) / h;
        const float d3 = c(2, i - 1) + c(2, i) - 2.0f * d1;
        c(3, i - 1) = 2.0f * (d1 - c(2, i - 1) - d3) / h;
        c(4, i - 1) = (d3 / h) * (6.0f / h);
    }
}

}  // namespace

void cubic_spline_fit(View1<const float> tau, SplineView<float> c, int n, int begin_code,
                      int end_code) {
    if (begin_code != 0 || end_code != 0) {
        throw InputError("cubic spline: end condition codes " + std::to_string(begin_code) +
                         " and " + std::to_string(end_code) +
                         " are not available (only 0, not-a-knot)");
    }
    check_spline_size(n, tau, c);
    for (int m = 2; m <= n; ++m)
        if (!(tau(m) > tau(m - 1))) throw NotIncreasing("cubic spline", m);
    if (n < 2) return;
    spline_differences(tau, c, n);
    spline_first_equation(c, n);
    spline_forward_pass(c, n);
    spline_last_equation(c, n);
    spline_back_substitution(c, n);
    spline_piece_coefficients(c, n);
}

void find_interval(View1<const float> tau, float x, int n, int& i, int& found, Console& console) {
    if (x < tau(1) || x > tau(n)) {
        found = 0;
        console.line(" ** NOKTA ARALIGIN DISINDA **");
        return;
    }
    if (std::fabs(x - tau(1)) <= 1e-6f) {
        i = 1;
        found = 1;
    } else if (std::fabs(x - tau(n)) <= 1e-6f) {
        i = n - 1;
        found = 1;
    } else {
        for (int k = 1; k <= n - 1; ++k) {
            if (tau(k) <= x && x < tau(k + 1)) {
                i = k;
                found = 1;
                return;
            }
        }
    }
}

// Nested Taylor form on the piece: c1 + h(c2 + h(c3 + h·c4/3)/2).
void cubic_spline_value(int n, float x, float& y, View1<const float> tau, SplineView<const float> c,
                        int& found, Console& console) {
    int i = 1;
    find_interval(tau, x, n, i, found, console);
    if (found == 0) return;
    const float h = x - tau(i);
    y = c(1, i) + h * (c(2, i) + h * (c(3, i) + h * c(4, i) / 3.0f) / 2.0f);
}

}  // namespace korvanti
