#include "numeric/quadratic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <cmath>
#include <sstream>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "numeric/numeric_failure.h"

namespace korvanti {
namespace {

float parabola_at(float x1, float x2, float x3, float y1, float y2, float y3, float x) {
    float y = -999.0f;
    quadratic_through_three_points(x1, x2, x3, y1, y2, y3, x, y);
    return y;
}

double lagrange(double xa, double xb, double xc, double ya, double yb, double yc, double x) {
    return ya * (x - xb) * (x - xc) / ((xa - xb) * (xa - xc)) +
           yb * (x - xa) * (x - xc) / ((xb - xa) * (xb - xc)) +
           yc * (x - xa) * (x - xb) / ((xc - xa) * (xc - xb));
}

TEST(QuadraticThroughThreePoints, KnownParabola) {
    EXPECT_FLOAT_EQ(parabola_at(0, 1, 2, 1, 3, 7, 3.0f), 13.0f);
    EXPECT_FLOAT_EQ(parabola_at(2, 0, 1, 7, 1, 3, -1.0f), 1.0f);  // order of points is free
}

TEST(QuadraticThroughThreePoints, CollinearPointsGiveTheLine) {
    EXPECT_NEAR(parabola_at(0.6f, 0.7f, 0.8f, 0.12f, 0.19f, 0.26f, 1.0f), 0.40, 2e-6);
}

TEST(QuadraticThroughThreePoints, ReturnsTheGivenPointsAtTheirAbscissae) {
    const float x[3] = {0.7f, 0.8f, 0.9f};
    const float y[3] = {0.0312f, 0.0475f, 0.0693f};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(parabola_at(x[0], x[1], x[2], y[0], y[1], y[2], x[k]), y[k], 1e-6) << k;
    }
}

TEST(QuadraticThroughThreePoints, TipExtrapolationAgreesWithDoubleLagrange) {
    // Skew of the three stations before the tip, carried on to the tip.
    const float r[4] = {0.6f, 0.7f, 0.8f, 0.9f};
    const float s[3] = {0.0213f, 0.0389f, 0.0612f};
    for (float at : {0.9f, 1.0f, 0.95f}) {
        EXPECT_NEAR(parabola_at(r[0], r[1], r[2], s[0], s[1], s[2], at),
                    lagrange(r[0], r[1], r[2], s[0], s[1], s[2], at), 2e-6)
            << at;
    }
    // Radii in metres of a big propeller.
    EXPECT_NEAR(parabola_at(2.1f, 2.45f, 2.8f, 0.31f, 0.37f, 0.48f, 3.5f),
                lagrange(2.1f, 2.45f, 2.8f, 0.31f, 0.37f, 0.48f, 3.5f), 5e-5);
}

TEST(QuadraticThroughThreePoints, EqualAbscissaeAreASingularMatrix) {
    float y = 5.0f;
    try {
        quadratic_through_three_points(0.5f, 0.5f, 0.9f, 1, 2, 3, 1.0f, y);
        FAIL() << "no failure";
    } catch (const SingularMatrix& failure) {
        EXPECT_EQ(failure.lines(), std::vector<std::string>{"Singular matrix."});
        EXPECT_TRUE(failure.pauses());
    }
    EXPECT_EQ(y, 5.0f);
}

}  // namespace
}  // namespace korvanti
