#include "numeric/circle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "numeric/numeric_failure.h"

namespace korvanti {
namespace {

struct Circle {
    float xc = 0.0f, yc = 0.0f, radius = 0.0f;
};

Circle through(float x1, float y1, float x2, float y2, float x3, float y3) {
    Circle c;
    circle_through_three_points(x1, y1, x2, y2, x3, y3, c.xc, c.yc, c.radius);
    return c;
}

// Runs the operation expecting a numerical failure; returns its lines as the
// run shows them, with the stop line after them.
template <class F>
std::string stopped_output(F&& f) {
    try {
        f();
    } catch (const NumericFailure& failure) {
        std::string text;
        for (const std::string& line : failure.lines()) text += line + "\n";
        return text + std::string(default_stop_text) + "\n";
    }
    ADD_FAILURE() << "no numerical failure";
    return "";
}

TEST(CircleThroughThreePoints, UnitCircle) {
    const Circle c = through(1.0f, 0.0f, 0.0f, 1.0f, -1.0f, 0.0f);
    EXPECT_NEAR(c.xc, 0.0f, 1e-7);
    EXPECT_NEAR(c.yc, 0.0f, 1e-7);
    EXPECT_NEAR(c.radius, 1.0f, 1e-7);
}

TEST(CircleThroughThreePoints, SecondChordVerticalStillSolves) {
    // Centre (1, 2), radius 5; x2 = x3 gives the slope marker on chord 2.
    const Circle c = through(-4.0f, 2.0f, 4.0f, 6.0f, 4.0f, -2.0f);
    EXPECT_NEAR(c.xc, 1.0f, 1e-6);
    EXPECT_NEAR(c.yc, 2.0f, 1e-6);
    EXPECT_NEAR(c.radius, 5.0f, 1e-6);
}

TEST(CircleThroughThreePoints, SectionBackArcAgreesWithBisectorConstruction) {
    // Back of a section of width w = 0.31 and thickness T = 0.0123 above
    // edge ordinates 0.02, as the flat-faced circular-back sections are drawn.
    const double w = 0.31, t = 0.0623, e = 0.02;
    const Circle c = through(float(-w / 2), float(e), 0.0f, float(t), float(w / 2), float(e));
    // Centre on the axis of symmetry: y0 with (w/2)² + (e - y0)² = (t - y0)².
    const double y0 = ((w / 2) * (w / 2) + e * e - t * t) / (2 * (e - t));
    EXPECT_NEAR(c.xc, 0.0, 1e-6);
    EXPECT_NEAR(c.yc / y0, 1.0, 2e-5);
    EXPECT_NEAR(c.radius / (t - y0), 1.0, 2e-5);
}

TEST(CircleThroughThreePoints, CollinearPointsStopTheRun) {
    const std::string expected =
        "\n three point lie in a straight line\n these can not be create a circle\n"
        " no possible solution\nStop - Program terminated.\n";
    float xc = 7, yc = 7, r = 7;
    EXPECT_EQ(stopped_output([&] { circle_through_three_points(0, 0, 1, 1, 2, 2, xc, yc, r); }),
              expected);
    // Two vertical chords carry the same marker.
    EXPECT_EQ(stopped_output([&] { circle_through_three_points(0, 0, 0, 1, 0, 3, xc, yc, r); }),
              expected);
    EXPECT_EQ(xc, 7.0f);
    EXPECT_THROW(circle_through_three_points(0, 0, 1, 1, 2, 2, xc, yc, r), CollinearPoints);
}

TEST(CircleThroughThreePoints, FirstTwoPointsAboveEachOtherStopInTheSolver) {
    float xc = 0, yc = 0, r = 0;
    EXPECT_EQ(stopped_output([&] { circle_through_three_points(0, 1, 0, -1, 1, 0, xc, yc, r); }),
              " problem at           2  .line - stop\nStop - Program terminated.\n");
}

TEST(SolveLinearSystem, FourEquationsAgainstKnownSolution) {
    LinearSystemMatrix a;
    Array1<float, 4> b, x;
    const float m[4][4] = {{4, 1, 0.5f, 0}, {1, 5, 1, 0.25f}, {0.5f, 1, 6, 1}, {0, 0.25f, 1, 3}};
    const float solution[4] = {1.0f, -2.0f, 0.5f, 3.0f};
    for (int i = 1; i <= 4; ++i) {
        float s = 0.0f;
        for (int k = 1; k <= 4; ++k) {
            a(i, k) = m[i - 1][k - 1];
            s += m[i - 1][k - 1] * solution[k - 1];
        }
        b(i) = s;
    }
    solve_linear_system(4, a, b.view(), x.view());
    for (int i = 1; i <= 4; ++i) EXPECT_NEAR(x(i), solution[i - 1], 1e-6) << i;
}

TEST(SolveLinearSystem, ZeroFirstPivotStopsEvenForARegularSystem) {
    LinearSystemMatrix a;
    Array1<float, 2> b, x;
    a(1, 1) = 0.0f;
    a(1, 2) = 1.0f;
    a(2, 1) = 1.0f;
    a(2, 2) = 0.0f;
    b(1) = 1.0f;
    b(2) = 2.0f;
    EXPECT_EQ(stopped_output([&] { solve_linear_system(2, a, b.view(), x.view()); }),
              " problem at           1  .line - stop\nStop - Program terminated.\n");
}

TEST(SolveLinearSystem, RefusesMoreThanAHundredEquations) {
    LinearSystemMatrix a;
    Array1<float, 200> b, x;
    EXPECT_THROW(solve_linear_system(101, a, b.view(), x.view()), InputError);
}

}  // namespace
}  // namespace korvanti
