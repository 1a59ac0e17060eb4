#include "numeric/cubic_spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "numeric/numeric_failure.h"
#include "support/test_support.h"

namespace korvanti {
namespace {

using Table = Array1<float, 30>;

struct Fitted {
    Table tau;
    SplineCoefficients<30> c;
    int n = 0;
};

Fitted fit(const std::vector<double>& xs, double (*f)(double)) {
    Fitted s;
    s.n = static_cast<int>(xs.size());
    for (int i = 1; i <= s.n; ++i) {
        s.tau(i) = static_cast<float>(xs[i - 1]);
        s.c(1, i) = static_cast<float>(f(xs[i - 1]));
    }
    cubic_spline_fit(s.tau.view(), s.c, s.n, 0, 0);
    return s;
}

float value_at(const Fitted& s, float x, int* found_out = nullptr) {
    float y = -999.0f;
    int found = -1;
    std::ostringstream out;
    std::istringstream in;
    Console console(out, in);
    cubic_spline_value(s.n, x, y, s.tau.view(), s.c, found, console);
    if (found_out) *found_out = found;
    return y;
}

// Independent reference: the not-a-knot spline in double precision from its
// second derivatives M (dense elimination), evaluated in the symmetric form.
double not_a_knot_reference(const std::vector<double>& x, const std::vector<double>& y, double at) {
    return testing::reference_spline(x, y, at, [](const auto& h, auto& a, auto&) {
        const std::size_t n = a.size();
        a[0][0] = h[1];
        a[0][1] = -(h[0] + h[1]);
        a[0][2] = h[0];
        a[n - 1][n - 3] = h[n - 2];
        a[n - 1][n - 2] = -(h[n - 3] + h[n - 2]);
        a[n - 1][n - 1] = h[n - 3];
    });
}

double cubic(double x) { return 1.0 - 2.0 * x + 0.5 * x * x + 0.75 * x * x * x; }
double parabola(double x) { return 2.0 + 3.0 * x - 1.5 * x * x; }
double line(double x) { return -0.4 + 2.5 * x; }
double wavy(double x) { return std::sin(3.0 * x) + 0.2 * x; }

TEST(CubicSpline, ReproducesCubicWithItsDerivatives) {
    const std::vector<double> xs = {0.0, 0.3, 0.7, 1.2, 2.0, 2.1};
    const Fitted s = fit(xs, cubic);
    for (double x = 0.0; x <= 2.1; x += 0.05) {
        EXPECT_NEAR(value_at(s, static_cast<float>(x)), cubic(x), 2e-5) << x;
    }
    for (int i = 1; i <= 5; ++i) {
        const double t = xs[i - 1];
        EXPECT_NEAR(s.c(1, i), cubic(t), 1e-6);
        EXPECT_NEAR(s.c(2, i), -2.0 + t + 2.25 * t * t, 5e-5) << i;
        EXPECT_NEAR(s.c(3, i), 1.0 + 4.5 * t, 5e-4) << i;
        EXPECT_NEAR(s.c(4, i), 4.5, 5e-3) << i;
    }
    EXPECT_NEAR(s.c(2, 6), -2.0 + 2.1 + 2.25 * 2.1 * 2.1, 5e-4);  // slope at the last knot
}

TEST(CubicSpline, TwoPointsGiveTheLineThreeTheParabola) {
    const Fitted two = fit({0.5, 1.5}, line);
    EXPECT_NEAR(value_at(two, 0.9f), line(0.9), 1e-6);
    EXPECT_NEAR(two.c(2, 1), 2.5, 1e-6);
    EXPECT_NEAR(two.c(2, 2), 2.5, 1e-6);
    EXPECT_NEAR(two.c(3, 1), 0.0, 1e-5);

    const Fitted three = fit({0.0, 0.4, 1.0}, parabola);
    for (float x : {0.0f, 0.1f, 0.4f, 0.77f, 1.0f})
        EXPECT_NEAR(value_at(three, x), parabola(x), 2e-6);
    EXPECT_NEAR(three.c(3, 1), -3.0, 1e-4);
    EXPECT_NEAR(three.c(4, 1), 0.0, 1e-3);
}

TEST(CubicSpline, AgreesWithDoublePrecisionNotAKnotSpline) {
    const std::vector<double> xs = {0.2, 0.3, 0.45, 0.6, 0.7, 0.8, 0.9, 0.95, 1.0};
    std::vector<double> ys;
    for (double x : xs) ys.push_back(wavy(x));
    const Fitted s = fit(xs, wavy);
    double worst = 0.0;
    for (double x = 0.2; x <= 1.0; x += 0.0125) {
        worst = std::fmax(worst, std::fabs(value_at(s, static_cast<float>(x)) -
                                           not_a_knot_reference(xs, ys, static_cast<float>(x))));
    }
    EXPECT_LT(worst, 3e-6);
    // The end pieces are where another end condition would show (by 1e-3 here).
    EXPECT_NEAR(value_at(s, 0.21f), not_a_knot_reference(xs, ys, 0.21f), 2e-6);
    EXPECT_NEAR(value_at(s, 0.99f), not_a_knot_reference(xs, ys, 0.99f), 2e-6);
}

TEST(CubicSpline, CoefficientsAreStoredPointAfterPoint) {
    SplineCoefficients<30> c;
    c(1, 2) = 7.0f;
    c(4, 2) = 9.0f;
    EXPECT_EQ(c.view().data()[4], 7.0f);
    EXPECT_EQ(c.view().data()[7], 9.0f);
    EXPECT_THROW(c(5, 1), std::out_of_range);
    EXPECT_THROW(c(1, 31), std::out_of_range);
}

TEST(CubicSpline, RefusesOtherEndConditionsAndOversizedTables) {
    Array1<float, 40> tau;
    SplineCoefficients<30> c;
    for (int i = 1; i <= 40; ++i) tau(i) = static_cast<float>(i);
    EXPECT_THROW(cubic_spline_fit(tau.view(), c, 5, 1, 0), InputError);
    EXPECT_THROW(cubic_spline_fit(tau.view(), c, 5, 0, 2), InputError);
    EXPECT_THROW(cubic_spline_fit(tau.view(), c, 31, 0, 0), InputError);
}

// Equal or falling abscissae would divide by a zero or negative step.
TEST(CubicSpline, RefusesAbscissaeThatDoNotIncreaseStrictly) {
    SplineCoefficients<30> c;
    for (const auto& knots :
         {std::vector<float>{0.0f, 1.0f, 1.0f, 2.0f}, std::vector<float>{0.0f, 2.0f, 1.0f, 3.0f}}) {
        Array1<float, 30> tau;
        for (int i = 1; i <= 4; ++i) tau(i) = knots[static_cast<size_t>(i - 1)];
        try {
            cubic_spline_fit(tau.view(), c, 4, 0, 0);
            ADD_FAILURE() << "accepted";
        } catch (const NotIncreasing& error) {
            EXPECT_NE(
                std::string(error.what()).find("cubic spline: apsisler artan sirada degil (3."),
                std::string::npos)
                << error.what();
        }
    }
}

class FindInterval : public ::testing::Test {
protected:
    std::ostringstream out;
    std::istringstream in;
    Console console{out, in};
    Table tau;

    void set(std::initializer_list<float> values) {
        int i = 0;
        for (float v : values) tau(++i) = v;
    }
    std::pair<int, int> locate(float x, int n, int start = -7) {
        int i = start, found = -7;
        find_interval(tau.view(), x, n, i, found, console);
        return {i, found};
    }
};

TEST_F(FindInterval, InteriorKnotBelongsToThePieceOnItsRight) {
    set({0.0f, 1.0f, 2.0f, 3.0f});
    EXPECT_EQ(locate(1.0f, 4), std::make_pair(2, 1));
    EXPECT_EQ(locate(2.0f, 4), std::make_pair(3, 1));
    EXPECT_EQ(locate(1.5f, 4), std::make_pair(2, 1));
    EXPECT_EQ(locate(0.0f, 4), std::make_pair(1, 1));
    EXPECT_EQ(locate(3.0f, 4), std::make_pair(3, 1));
    EXPECT_EQ(out.str(), "");
}

TEST_F(FindInterval, EndBandOfOneMillionthWinsOverTheSearch) {
    // tau(2) lies inside the band above tau(1): the band still gives piece 1.
    set({0.0f, 5e-7f, 1.0f, 2.0f});
    EXPECT_EQ(locate(8e-7f, 4), std::make_pair(1, 1));
    // A point below tau(n-1) but within 1e-6 of tau(n) is on piece n-1.
    const float top = 2.0f;
    const float below_last = std::nextafter(std::nextafter(top, 0.0f), 0.0f);
    const float x = std::nextafter(below_last, 0.0f);
    set({0.0f, 1.0f, below_last, top});
    EXPECT_EQ(locate(x, 4), std::make_pair(3, 1));
    EXPECT_EQ(out.str(), "");
}

TEST_F(FindInterval, BeyondTheEndsNothingIsFoundHoweverClose) {
    set({0.0f, 1.0f, 2.0f});
    EXPECT_EQ(locate(std::nextafter(2.0f, 3.0f), 3, 5), std::make_pair(5, 0));
    EXPECT_EQ(locate(-1e-9f, 3, 5), std::make_pair(5, 0));
    EXPECT_EQ(out.str(), " ** NOKTA ARALIGIN DISINDA **\n ** NOKTA ARALIGIN DISINDA **\n");
}

TEST_F(FindInterval, ValueOutsideTheTableKeepsTheOutput) {
    const Fitted s = fit({0.0, 0.5, 1.0, 1.5}, cubic);
    int found = -1;
    float y = 123.0f;
    cubic_spline_value(s.n, std::nextafter(1.5f, 2.0f), y, s.tau.view(), s.c, found, console);
    EXPECT_EQ(found, 0);
    EXPECT_EQ(y, 123.0f);
    EXPECT_EQ(out.str(), " ** NOKTA ARALIGIN DISINDA **\n");

    out.str("");
    // Just inside the end band the end ordinate comes back.
    EXPECT_NEAR(value_at(s, 1.5f, &found), cubic(1.5), 1e-5);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(value_at(s, 0.0f), s.c(1, 1));
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace korvanti
