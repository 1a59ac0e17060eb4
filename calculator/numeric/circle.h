// Circle through three points from the general circle equation, and the
// plain elimination that solves it.
#pragma once

#include "common/one_based.h"

namespace korvanti {

inline constexpr int linear_system_max = 100;

// Augmented matrix: up to 100 equations, column n + 1 the right-hand side.
using LinearSystemMatrix = Array2<float, linear_system_max, linear_system_max + 1>;

// Centre (xc, yc) and radius of the circle through the three points. Points
// on one line throw CollinearPoints, a zero pivot in the solve ZeroPivot.
void circle_through_three_points(float x1, float y1, float x2, float y2, float x3, float y3,
                                 float& xc, float& yc, float& radius);

// Solves a(1..n, 1..n)·x = b by elimination without row exchanges (a is
// overwritten). A pivot below 1e-7 in magnitude throws ZeroPivot.
void solve_linear_system(int n, LinearSystemMatrix& a, View1<const float> b, View1<float> x);

}  // namespace korvanti
