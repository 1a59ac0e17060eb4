// Parabola through three points: its coefficients by Gauss-Jordan
// elimination with full pivoting (the gaussj scheme of Numerical Recipes),
// the value by the power form c0 + c1·x + c2·x**2.
#include "numeric/quadratic.h"

#include <cmath>
#include <utility>

#include "common/one_based.h"
#include "numeric/numeric_failure.h"

namespace korvanti {

namespace {

using Matrix3 = Array2<float, 3, 3>;
using Vector3 = Array1<float, 3>;

struct Pivot {
    int row = 0;
    int column = 0;
};

// Largest entry in an unused row and column, later entries of equal size
// winning. A column is chosen only while it is unused, so none is used twice.
Pivot choose_pivot(const Matrix3& a, const Array1<int, 3>& used) {
    Pivot p;
    float big = 0.0f;
    for (int j = 1; j <= 3; ++j) {
        if (used(j) == 1) continue;
        for (int k = 1; k <= 3; ++k) {
            if (used(k) == 0 && std::fabs(a(j, k)) >= big) {
                big = std::fabs(a(j, k));
                p = Pivot{j, k};
            }
        }
    }
    return p;
}

// A vanishing pivot means two equal abscissae; the value would be garbage.
void require_pivot(float pivot_value) {
    if (!(std::fabs(pivot_value) >= 1e-6f)) throw SingularMatrix();
}

void eliminate_column(Matrix3& a, Vector3& b, int col) {
    const float pivinv = 1.0f / a(col, col);
    a(col, col) = 1.0f;
    for (int k = 1; k <= 3; ++k) a(col, k) = a(col, k) * pivinv;
    b(col) = b(col) * pivinv;
    for (int l = 1; l <= 3; ++l) {
        if (l == col) continue;
        const float d = a(l, col);
        a(l, col) = 0.0f;
        for (int k = 1; k <= 3; ++k) a(l, k) = a(l, k) - a(col, k) * d;
        b(l) = b(l) - b(col) * d;
    }
}

void gauss_jordan(Matrix3& a, Vector3& b) {
    Array1<int, 3> used, pivot_row, pivot_column;
    for (int pass = 1; pass <= 3; ++pass) {
        const Pivot p = choose_pivot(a, used);
        if (p.column == 0) throw SingularMatrix();  // nothing comparable: not-a-number entries
        used(p.column) += 1;
        if (p.row != p.column) {
            for (int k = 1; k <= 3; ++k) std::swap(a(p.row, k), a(p.column, k));
            std::swap(b(p.row), b(p.column));
        }
        pivot_row(pass) = p.row;
        pivot_column(pass) = p.column;
        require_pivot(a(p.column, p.column));
        eliminate_column(a, b, p.column);
    }
    // Undo the column interchanges: completes the inverse in a, b is final.
    for (int pass = 3; pass >= 1; --pass) {
        if (pivot_row(pass) != pivot_column(pass)) {
            for (int k = 1; k <= 3; ++k) {
                std::swap(a(k, pivot_row(pass)), a(k, pivot_column(pass)));
            }
        }
    }
}

}  // namespace

void quadratic_through_three_points(float x1, float x2, float x3, float y1, float y2, float y3,
                                    float x, float& y) {
    Matrix3 a;
    Vector3 b;
    const float xs[3] = {x1, x2, x3};
    const float ys[3] = {y1, y2, y3};
    for (int k = 1; k <= 3; ++k) {
        a(k, 1) = 1.0f;
        a(k, 2) = xs[k - 1];
        a(k, 3) = xs[k - 1] * xs[k - 1];
        b(k) = ys[k - 1];
    }
    gauss_jordan(a, b);
    const float c0 = b(1);
    const float c1 = b(2);
    const float c2 = b(3);
    y = c0 + c1 * x + c2 * std::pow(x, 2.0f);
}

}  // namespace korvanti
