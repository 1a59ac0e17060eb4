// Parametric cubic spline of a space curve: chord-length parameter and, per
// coordinate, the cubic spline of Forsythe, Malcolm and Moler ("Computer
// Methods for Mathematical Computations", SPLINE/SEVAL) whose end third
// derivatives match the cubics through the four end points.
#include "surfaces/space_curve.h"

#include <cmath>
#include <string>

#include "filelayer/errors.h"

namespace korvanti {

namespace {

void check_curve_size(const char* what, int n, int capacity) {
    if (n > capacity) {
        throw InputError(std::string(what) + ": " + std::to_string(n) +
                         " points, the tables hold " + std::to_string(capacity));
    }
}

// Accumulated polygon length, the squares added in the order z, y, x.
void chord_length_parameter(int n, View1<const float> x, View1<const float> y, View1<const float> z,
                            View1<float> t) {
    t(1) = 0.0f;
    for (int j = 2; j <= n; ++j) {
        const float dz = z(j) - z(j - 1);
        const float dy = y(j) - y(j - 1);
        const float dx = x(j) - x(j - 1);
        t(j) = t(j - 1) + std::sqrt(dz * dz + dy * dy + dx * dx);
    }
}

// Tridiagonal rows of the second-derivative system (σ = s''/2 scaled as in
// the FMM spline), the steps h going into d. End rows: the third
// derivative equals that of the cubic through the four end points.
void curve_spline_system(int n, View1<const float> t, View1<const float> y, View1<float> b,
                         View1<float> c, View1<float> h) {
    for (int i = 1; i <= n - 1; ++i) h(i) = t(i + 1) - t(i);
    h(n) = 0.0f;
    for (int i = 2; i <= n - 1; ++i) {
        b(i) = 2.0f * (t(i + 1) - t(i - 1));
        c(i) = (y(i + 1) - y(i)) / h(i) - (y(i) - y(i - 1)) / (t(i) - t(i - 1));
    }
    b(1) = -h(1);
    b(n) = -h(n - 1);
    c(1) = 0.0f;
    c(n) = 0.0f;
    if (n > 3) {
        c(1) = (c(3) / (t(4) - t(2)) - c(2) / (t(3) - t(1))) * (h(1) * h(1)) / (t(4) - t(1));
        c(n) = (c(n - 2) / (t(n - 1) - t(n - 3)) - c(n - 1) / (t(n) - t(n - 2))) *
               (h(n - 1) * h(n - 1)) / (t(n) - t(n - 3));
    }
}

// From σ (in c) to the Taylor coefficients of each piece; h is in d.
void curve_spline_pieces(int n, View1<const float> y, View1<float> b, View1<float> c,
                         View1<float> d) {
    for (int i = 1; i <= n - 1; ++i) {
        const float h = d(i);
        b(i) = (y(i + 1) - y(i)) / h - (2.0f * c(i) + c(i + 1)) * h;
        d(i) = (c(i + 1) - c(i)) / h;
        c(i) = 3.0f * c(i);
    }
}

// The last piece continued to t(n): slope, c and d there.
void curve_spline_last_point(int n, View1<const float> t, View1<float> b, View1<float> c,
                             View1<float> d) {
    const float h = t(n) - t(n - 1);
    b(n) = 3.0f * (h * h) * d(n - 1) + 2.0f * h * c(n - 1) + b(n - 1);
    c(n) = 3.0f * h * d(n - 1) + c(n - 1);
    d(n) = d(n - 1);
}

}  // namespace

void fit_curve_spline(int n, View1<const float> t, View1<const float> y, int begin_code,
                      float /*begin_value*/, int end_code, float /*end_value*/, View1<float> b,
                      View1<float> c, View1<float> d, int& error) {
    if (begin_code != 0 || end_code != 0) {
        throw InputError("curve spline: end condition codes " + std::to_string(begin_code) +
                         " and " + std::to_string(end_code) + " are not available (only 0)");
    }
    error = 0;
    if (n < 2) {
        error = 1;
        return;
    }
    check_curve_size("curve spline", n, b.size());
    if (n == 2) {
        b(1) = (y(2) - y(1)) / (t(2) - t(1));
        c(1) = 0.0f;
        d(1) = 0.0f;
    } else {
        curve_spline_system(n, t, y, b, c, d);
        solve_cyclic_tridiagonal(n, b, d, 0.0f, c);
        curve_spline_pieces(n, y, b, c, d);
    }
    curve_spline_last_point(n, t, b, c, d);
}

void fit_space_curve(int n, View1<const float> x, View1<const float> y, View1<const float> z,
                     View1<float> t, SpaceCurveTable& table, int closed, int& error) {
    if (closed != 0) throw InputError("space curve: only open curves are fitted");
    check_curve_size("space curve", n, curve_capacity);
    chord_length_parameter(n, x, y, z, t);
    const View1<const float> coordinates[3] = {x, y, z};
    for (int axis = 0; axis < 3; ++axis) {
        const int row = 3 * axis + 1;
        fit_curve_spline(n, t, coordinates[axis], 0, 0.0f, 0, 0.0f, table.row(row),
                         table.row(row + 1), table.row(row + 2), error);
        if (error != 0) return;
    }
}

void evaluate_space_curve(int m, View1<const float> tq, int n, View1<const float> x,
                          View1<const float> y, View1<const float> z, View1<const float> t,
                          const SpaceCurveTable& table, View1<float> xo, View1<float> yo,
                          View1<float> zo) {
    const View1<const float> coordinates[3] = {x, y, z};
    const View1<float> outputs[3] = {xo, yo, zo};
    for (int axis = 0; axis < 3; ++axis) {
        const int row = 3 * axis + 1;
        evaluate_curve_spline(n, t, coordinates[axis], m, tq, table.row(row), table.row(row + 1),
                              table.row(row + 2), outputs[axis]);
    }
}

// Nested form y(i) + δ(b(i) + δ(c(i) + δ·d(i))) on the located piece.
void evaluate_curve_spline(int n, View1<const float> t, View1<const float> y, int m,
                           View1<const float> tq, View1<const float> b, View1<const float> c,
                           View1<const float> d, View1<float> out) {
    if (n < 2) return;  // no coefficients were fitted
    check_curve_size("curve spline evaluation", m, out.size());
    const float direction = t(2) - t(1);
    int i = 1;
    for (int q = 1; q <= m; ++q) {
        locate_parameter(n, t, tq(q), direction, i);
        const float delta = tq(q) - t(i);
        out(q) = y(i) + delta * (b(i) + delta * (c(i) + delta * d(i)));
    }
}

// Interpolation search, starting from the previous piece. All comparisons
// are made on s·t and s·u, so a decreasing parameter works as well.
void locate_parameter(int n, View1<const float> t, float u, float direction, int& i) {
    const float s = direction;
    const float su = s * u;
    if (s * t(n - 1) <= su) {
        i = n - 1;
        return;
    }
    if (s * t(2) > su) {
        i = 1;
        return;
    }
    if (i < 2) i = 2;
    if (i > n - 2) i = n - 2;
    if (s * t(i) <= su && su < s * t(i + 1)) return;

    int lo = 2;
    int hi = i;
    if (!(su < s * t(i))) {
        lo = i + 1;
        hi = n - 1;
    }
    while (hi - lo > 1) {
        const float guess = (u - t(lo)) * static_cast<float>(hi - lo) / (t(hi) - t(lo));
        int k = lo;
        if (guess >= 1.0f) {
            k = (guess >= static_cast<float>(hi - 1 - lo)) ? hi - 1 : lo + static_cast<int>(guess);
        }
        if (su >= s * t(k + 1)) {
            lo = k + 1;
        } else if (su < s * t(k)) {
            hi = k;
        } else {
            i = k;
            return;
        }
    }
    i = lo;
}

// Elimination without pivoting, row by row, carrying the fill-in that the
// corner coefficient makes in the last column (w) and in the last row (v).
// With corner = 0 the fill-in stays exactly zero and the sweep is the plain
// symmetric tridiagonal one: t = e(i-1)/a(i-1), a(i) -= t·e(i-1),
// r(i) -= t·r(i-1), then r(n) /= a(n) and r(i) = (r(i) - e(i)·r(i+1))/a(i).
void solve_cyclic_tridiagonal(int n, View1<float> diagonal, View1<const float> off_diagonal,
                              float corner, View1<float> rhs) {
    check_curve_size("tridiagonal system", n, curve_capacity);
    if (n < 1) return;
    if (n == 1) {
        rhs(1) = rhs(1) / diagonal(1);
        return;
    }
    View1<float> a = diagonal;
    View1<const float> e = off_diagonal;
    View1<float> r = rhs;
    Array1<float, curve_capacity> w;  // row i's coefficient of unknown n beyond e
    float v = corner;                 // row n's coefficient of the unknown being removed
    w(1) = corner;
    for (int i = 2; i <= n - 1; ++i) {
        const float t = e(i - 1) / a(i - 1);
        a(i) = a(i) - t * e(i - 1);
        r(i) = r(i) - t * r(i - 1);
        w(i) = -t * w(i - 1);
        const float tn = v / a(i - 1);
        a(n) = a(n) - tn * w(i - 1);
        r(n) = r(n) - tn * r(i - 1);
        v = -tn * e(i - 1);
    }
    const float last_column = e(n - 1) + w(n - 1);
    const float t = (e(n - 1) + v) / a(n - 1);
    a(n) = a(n) - t * last_column;
    r(n) = r(n) - t * r(n - 1);

    r(n) = r(n) / a(n);
    r(n - 1) = (r(n - 1) - last_column * r(n)) / a(n - 1);
    for (int i = n - 2; i >= 1; --i) r(i) = (r(i) - e(i) * r(i + 1) - w(i) * r(n)) / a(i);
}

}  // namespace korvanti
