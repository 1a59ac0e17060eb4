// Parametric cubic spline of a curve in space: chord-length parameter, one
// cubic spline per coordinate with the four-point end condition.
#pragma once

#include "common/one_based.h"

namespace korvanti {

inline constexpr int curve_capacity = 30;

// Coefficients of the three coordinate splines side by side: rows 1..3 hold
// b, c, d of x(t), rows 4..6 those of y(t), rows 7..9 those of z(t); column
// i is the piece t(i)..t(i+1).
using SpaceCurveTable = Array2<float, 9, curve_capacity>;

// t(1..n) = accumulated chord length; fits x(t), y(t), z(t) into table.
// error = 0, or 1 for fewer than two points. closed must be 0 (open curve).
void fit_space_curve(int n, View1<const float> x, View1<const float> y, View1<const float> z,
                     View1<float> t, SpaceCurveTable& table, int closed, int& error);

// xo(q), yo(q), zo(q) = the curve at parameter tq(q), q = 1..m.
void evaluate_space_curve(int m, View1<const float> tq, int n, View1<const float> x,
                          View1<const float> y, View1<const float> z, View1<const float> t,
                          const SpaceCurveTable& table, View1<float> xo, View1<float> yo,
                          View1<float> zo);

// One coordinate: on t(i)..t(i+1), y(i) + δ(b(i) + δ(c(i) + δ d(i))).
// Only end code 0 (third derivative of the four-point cubic) at either end;
// the end values are then ignored. error = 1 when n < 2.
void fit_curve_spline(int n, View1<const float> t, View1<const float> y, int begin_code,
                      float begin_value, int end_code, float end_value, View1<float> b,
                      View1<float> c, View1<float> d, int& error);

// out(q) = the spline at tq(q), q = 1..m; beyond the ends the end pieces extend.
void evaluate_curve_spline(int n, View1<const float> t, View1<const float> y, int m,
                           View1<const float> tq, View1<const float> b, View1<const float> c,
                           View1<const float> d, View1<float> out);

// i = the piece of t(1..n) holding u; i brings the previous result in.
// direction is t(2) - t(1) (its sign orders the comparisons).
void locate_parameter(int n, View1<const float> t, float u, float direction, int& i);

// Solves the symmetric tridiagonal system with diagonal(1..n) and
// off_diagonal(1..n-1), plus corner coupling unknowns 1 and n (0 for an open
// curve), right side rhs(1..n) overwritten by the solution; diagonal is
// overwritten too. No pivoting.
void solve_cyclic_tridiagonal(int n, View1<float> diagonal, View1<const float> off_diagonal,
                              float corner, View1<float> rhs);

}  // namespace korvanti
