// Weighted least-squares polynomial smoothing of a short table by
// orthogonal polynomials (three-term recurrence, Clenshaw evaluation).
#pragma once

#include "common/one_based.h"

namespace korvanti {

inline constexpr int smooth_max_points = 40;
inline constexpr int smooth_max_terms = 20;

// Replaces y(1..n) by the least-squares polynomial with m coefficients
// (degree m - 1) at x(1..n); end points weigh 0.5, the others 1.
void polynomial_smooth(View1<const float> x, View1<float> y, int n, int m);

// Fits the orthogonal-polynomial recurrence: alpha(1..m), beta(1..m) and
// coef(1..m) (coef(j) multiplies p(j-1)). n <= 40, m <= 20.
void orthopoly_fit(View1<const float> x, View1<const float> y, int n, View1<float> alpha,
                   View1<float> beta, View1<float> coef, int m);

// The fitted polynomial at x, by the Clenshaw recurrence.
float orthopoly_value(float x, View1<const float> alpha, View1<const float> beta,
                      View1<const float> coef, int m);

}  // namespace korvanti
