// Value of the parabola through three points, its coefficients found by
// Gauss-Jordan elimination with full pivoting.
#pragma once

namespace korvanti {

// y = c0 + c1·x + c2·x² through (x1, y1), (x2, y2), (x3, y3). Equal
// abscissae throw SingularMatrix and leave y as it was.
void quadratic_through_three_points(float x1, float x2, float x3, float y1, float y2, float y3,
                                    float x, float& y);

}  // namespace korvanti
