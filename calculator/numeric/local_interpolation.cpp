// Local interpolation by three-point Lagrange parabolas and lines, the
// two-point straight line, and piecewise-parabolic (three-point Newton-Cotes
// on unequal steps) quadrature of tabulated curves.
#include "numeric/local_interpolation.h"

#include <cmath>
#include <sstream>
#include <string>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "filelayer/record.h"
#include "numeric/numeric_failure.h"

namespace korvanti {

namespace {

void require_increasing(const char* routine, int n, View1<const float> x) {
    for (int k = 2; k <= n; ++k)
        if (!(x(k) > x(k - 1))) throw NotIncreasing(routine, k);
}

void show_interpolant_out_of_range(Console& console, float first, float x, float last) {
    console.line(" **** INTERPOLANT ARALIGIN DISINDA ****");
    std::istringstream lines(
        format_record("(' X(1)=',F20.15,/,' X   =',F20.15,/,' X(N)=',F20.15)", {first, x, last}));
    for (std::string line; std::getline(lines, line);) console.line(line);
    console.line(" **** INTERPOLASYON BASARISIZ ****");
}

// The last interval holding x, both ends included, so that an x on an
// interior entry belongs to the interval on its right; 0 if there is none.
int interval_of(int n, View1<const float> x_table, float x) {
    int i = 0;
    for (int k = 1; k <= n - 1; ++k) {
        if (x_table(k) <= x && x <= x_table(k + 1)) i = k;
    }
    return i;
}

// The three entries used around interval i: the middle one (x0, y0) and the
// outer ones at offsets d1 (left) and d2 (right) from it.
struct ThreePoints {
    float x0, y0, d1, y1, d2, y2;
};

ThreePoints three_points_around(int i, int n, View1<const float> xt, View1<const float> yt) {
    int mid = i;
    if (i == 1) {
        mid = 2;
    } else if (i == n - 1) {
        mid = n - 1;
    }
    return ThreePoints{
        xt(mid), yt(mid), xt(mid - 1) - xt(mid), yt(mid - 1), xt(mid + 1) - xt(mid), yt(mid + 1)};
}

// Line through the outer two points (not the two entries that bracket x).
float line_through_outer_points(const ThreePoints& p, float x) {
    float slope = 0.0f;
    if (std::fabs(p.d2 - p.d1) >= 1e-6f) slope = (p.y2 - p.y1) / (p.d2 - p.d1);
    return (x - p.x0 - p.d1) * slope + p.y1;
}

// y = y0 + b·t + a·t², t = x - x0; b from the two outer points by Cramer's
// rule, a back from the left point. The thresholds are absolute.
float parabola_through_points(const ThreePoints& p, float x) {
    const float d1sq = p.d1 * p.d1;
    const float d2sq = p.d2 * p.d2;
    const float denominator = d2sq * p.d1 - d1sq * p.d2;
    float b = 0.0f;
    if (std::fabs(denominator) >= 1e-6f) {
        b = (d2sq * (p.y1 - p.y0) - d1sq * (p.y2 - p.y0)) / denominator;
    }
    float a = 0.0f;
    if (d1sq >= 1e-6f) a = ((p.y1 - p.y0) - b * p.d1) / d1sq;
    const float t = x - p.x0;
    return a * (t * t) + b * t + p.y0;
}

}  // namespace

void three_point_interpolate(int n, View1<const float> x_table, View1<const float> y_table, float x,
                             float& y, int mode, Console& console) {
    if (n < 3 || n > x_table.size() || n > y_table.size()) {
        throw InputError("three-point interpolation: " + std::to_string(n) +
                         " entries, a table of 3 to " + std::to_string(x_table.size()) +
                         " is needed");
    }
    require_increasing("three-point interpolation", n, x_table);
    const int i = interval_of(n, x_table, x);
    if (x < x_table(1) || x > x_table(n)) {
        show_interpolant_out_of_range(console, x_table(1), x, x_table(n));
        return;
    }
    if (std::fabs(y_table(i) - y_table(i + 1)) < 1e-5f) {
        y = y_table(i);
        return;
    }
    const ThreePoints p = three_points_around(i, n, x_table, y_table);
    y = (mode == 1) ? line_through_outer_points(p, x) : parabola_through_points(p, x);
}

void two_point_line(float x1, float y1, float x2, float y2, float x, float& y) {
    y = y1 + (x - x1) * (y2 - y1) / (x2 - x1);
}

void two_point_line_back(float x1, float y1, float x2, float y2, float x, float& y) {
    y = y2 - (x2 - x) * (y2 - y1) / (x2 - x1);
}

// First interval from the parabola through points 1..3, every later interval
// i..i+1 from the parabola through points i-1..i+1 (the exact integral of
// each parabola over its interval, written with the steps h1, h2, h1 + h2).
float integrate_three_point(int n, View1<const float> x_table, View1<const float> y_table) {
    if (n < 3 || n > x_table.size() || n > y_table.size()) {
        throw InputError("three-point quadrature: " + std::to_string(n) +
                         " points, a table of 3 to " + std::to_string(x_table.size()) +
                         " is needed");
    }
    require_increasing("three-point quadrature", n, x_table);
    const View1<const float>& x = x_table;
    const View1<const float>& y = y_table;
    float h1 = x(2) - x(1);
    float h2 = x(3) - x(2);
    float h = h1 + h2;
    float s =
        ((h2 / h + 2.0f) * y(1) + (h / h2 + 2.0f) * y(2) - y(3) * h1 * h1 / (h * h2)) * h1 / 6.0f;
    for (int i = 2; i <= n - 1; ++i) {
        h1 = x(i) - x(i - 1);
        h2 = x(i + 1) - x(i);
        h = h1 + h2;
        s = s +
            ((h / h1 + 2.0f) * y(i) + (h1 / h + 2.0f) * y(i + 1) - y(i - 1) * h2 * h2 / (h * h1)) *
                h2 / 6.0f;
    }
    return s;
}

void extrapolate_last_row(int n, int m, Array2<float, 30, 30>& xc, Array2<float, 30, 30>& yb,
                          Array2<float, 30, 30>& yf, View1<const float> radius, float factor) {
    if (n < 3 || n > 30 || n > radius.size() || m > 30) {
        throw InputError("tip row extrapolation: " + std::to_string(n) + " rows of " +
                         std::to_string(m) + " points, the tables hold 3 to 30 of 30");
    }
    for (int k = 1; k <= m; ++k) {
        for (Array2<float, 30, 30>* table : {&xc, &yb, &yf}) {
            Array2<float, 30, 30>& tb = *table;
            two_point_line_back(radius(n - 2), tb(n - 2, k), radius(n - 1), tb(n - 1, k), radius(n),
                                tb(n, k));
        }
        xc(n, k) = xc(n, k) * factor;
        yb(n, k) = yb(n, k) * factor;
        yf(n, k) = yf(n, k) * factor;
    }
}

}  // namespace korvanti
