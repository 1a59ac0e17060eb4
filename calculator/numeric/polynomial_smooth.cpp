// Weighted least-squares polynomial fit by orthogonal polynomials on the data
// points (Forsythe's three-term recurrence, coefficients taken from the
// updated residuals), evaluated by the Clenshaw recurrence.
#include "numeric/polynomial_smooth.h"

#include <string>

#include "filelayer/errors.h"

namespace korvanti {

namespace {

void check_smoothing_size(int n, int m, int x_size, int y_size) {
    if (n < 1 || n > smooth_max_points || n > x_size || n > y_size || m < 1 ||
        m > smooth_max_terms || m > n) {
        throw InputError("polynomial smoothing: " + std::to_string(n) + " points and " +
                         std::to_string(m) + " coefficients; at most " +
                         std::to_string(smooth_max_points) + " points and " +
                         std::to_string(smooth_max_terms) +
                         " coefficients, and no more coefficients than points");
    }
}

// The ends of the table count half.
float point_weight(int i, int n) { return (i == 1 || i == n) ? 0.5f : 1.0f; }

}  // namespace

void orthopoly_fit(View1<const float> x, View1<const float> y, int n, View1<float> alpha,
                   View1<float> beta, View1<float> coef, int m) {
    check_smoothing_size(n, m, x.size(), y.size());
    Array1<float, smooth_max_points> w, r, p, q;
    Array1<float, smooth_max_terms> s;
    // beta(m) is never set by the recurrence but meets u = 0 in the
    // evaluation; clearing all of beta keeps stale values out of it.
    for (int j = 1; j <= m; ++j) {
        alpha(j) = 0.0f;
        beta(j) = 0.0f;
        coef(j) = 0.0f;
    }

    for (int i = 1; i <= n; ++i) {
        w(i) = point_weight(i, n);
        s(1) += w(i);
        coef(1) += w(i) * y(i);
        alpha(1) += w(i) * x(i);
    }
    coef(1) = coef(1) / s(1);
    for (int i = 1; i <= n; ++i) r(i) = y(i) - coef(1);
    if (m == 1) return;

    alpha(1) = alpha(1) / s(1);
    for (int i = 1; i <= n; ++i) {
        q(i) = 1.0f;
        p(i) = x(i) - alpha(1);
    }
    for (int j = 2; j <= m; ++j) {
        for (int i = 1; i <= n; ++i) {
            float t = p(i) * w(i);
            coef(j) += t * r(i);
            t = t * p(i);
            alpha(j) += t * x(i);
            s(j) += t;
        }
        coef(j) = coef(j) / s(j);
        for (int i = 1; i <= n; ++i) r(i) = r(i) - p(i) * coef(j);
        if (j == m) return;

        alpha(j) = alpha(j) / s(j);
        beta(j) = s(j) / s(j - 1);
        for (int i = 1; i <= n; ++i) {
            const float next = (x(i) - alpha(j)) * p(i) - q(i) * beta(j);
            q(i) = p(i);
            p(i) = next;
        }
    }
}

float orthopoly_value(float x, View1<const float> alpha, View1<const float> beta,
                      View1<const float> coef, int m) {
    float v = coef(m);
    float u = 0.0f;
    for (int j = m - 1; j >= 1; --j) {
        const float next = (x - alpha(j)) * v + coef(j) - beta(j + 1) * u;
        u = v;
        v = next;
    }
    return v;
}

void polynomial_smooth(View1<const float> x, View1<float> y, int n, int m) {
    Array1<float, smooth_max_terms> alpha, beta, coef;
    orthopoly_fit(x, y, n, alpha.view(), beta.view(), coef.view(), m);
    for (int i = 1; i <= n; ++i)
        y(i) = orthopoly_value(x(i), alpha.view(), beta.view(), coef.view(), m);
}

}  // namespace korvanti
