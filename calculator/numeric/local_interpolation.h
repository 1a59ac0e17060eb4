// Local table look-up by three-point parabolas or lines, straight lines
// through two points, three-point quadrature and straight-line extrapolation
// of the tip row of the section tables.
#pragma once

#include "common/one_based.h"
#include "filelayer/console.h"

namespace korvanti {

// y = value at x of the parabola (mode != 1) or line (mode 1) through three
// neighbouring entries of x_table(1..n), y_table(1..n); n >= 3, x_table
// strictly increasing (else NotIncreasing). Outside the table shows the
// out-of-range lines on the console and leaves y.
void three_point_interpolate(int n, View1<const float> x_table, View1<const float> y_table, float x,
                             float& y, int mode, Console& console);

// y = y1 + (x - x1)*(y2 - y1)/(x2 - x1): the line measured from the first point.
void two_point_line(float x1, float y1, float x2, float y2, float x, float& y);

// y = y2 - (x2 - x)*(y2 - y1)/(x2 - x1): the same line measured from the
// second point (differs from two_point_line in the last bits).
void two_point_line_back(float x1, float y1, float x2, float y2, float x, float& y);

// Integral of y over [x_table(1), x_table(n)] by piecewise parabolas; n >= 3,
// x_table strictly increasing (else NotIncreasing).
float integrate_three_point(int n, View1<const float> x_table, View1<const float> y_table);

// Rebuilds row n (points 1..m) of xc, yb and yf by the line through rows n-2
// and n-1 over radius, then scales the new row by factor.
void extrapolate_last_row(int n, int m, Array2<float, 30, 30>& xc, Array2<float, 30, 30>& yb,
                          Array2<float, 30, 30>& yf, View1<const float> radius, float factor);

}  // namespace korvanti
