// Hub profile from the blade root: the axial extent of the first section is
// found by carrying its end points along the pitch helix of the first
// station onto the plane of the blade reference line (the construction used
// for the max-thickness points of the blade surface); the caps are quarter
// ellipses sampled at equal axial steps.
#include "geometry/hub_profile.h"

#include <array>
#include <cmath>

namespace korvanti {

namespace {

constexpr float pi = 3.1415927f;
constexpr int cap_points = 10;

// Axial position (without rake) of the section point at abscissa xm and
// distance Y0 from the shaft axis, on the helix of radius rho and lead h.
float axial_position(float xm, float Y0, float rho, float P) {
    const float h = P / (pi * 2.0f);
    const float phi = std::atan2(P, pi * 2.0f * rho);
    const float q = std::tan(pi / 2.0f - phi);
    const float s = xm + (rho - Y0) / q;
    float d = std::sqrt((Y0 - rho) * (Y0 - rho) + (xm - s) * (xm - s));
    if (Y0 < rho) d = -d;
    const float theta = s / std::sqrt(rho * rho + h * h);
    return -theta * h - d;
}

}  // namespace

// The end points are the face points of the first section, their ordinates
// taken from the shaft axis (face ordinate plus r(1)).
void hub_profile_from_blade(int point_count, View1<const float> r, View1<const float> P,
                            const SectionTable& xc, const SectionTable& yf, HubProfile& hub) {
    const float a = r(1);
    const float A_TE = std::fabs(axial_position(xc(1, 1), yf(1, 1) + r(1), r(1), P(1)));
    const float A_LE =
        std::fabs(axial_position(xc(1, point_count), yf(1, point_count) + r(1), r(1), P(1)));

    // Cap points: u = 0 at the cylinder, rH = 0 at the tenth point.
    const float semi_axis = 1.2f * a;
    std::array<float, cap_points> u{};
    std::array<float, cap_points> rH{};
    for (int k = 2; k <= cap_points; ++k) u[k - 1] = u[k - 2] + 1.2f * a / 9.0f;
    for (int k = 1; k < cap_points; ++k) {
        const float t = u[k - 1] / semi_axis;
        rH[k - 1] = a * std::sqrt(1.0f - t * t);
    }
    rH[cap_points - 1] = 0.0f;

    int n = 0;
    auto add = [&](float x, float radius) {
        ++n;
        hub.x(n) = x;
        hub.rH(n) = radius;
    };
    for (int k = cap_points; k >= 1; --k) add(-A_TE - u[k - 1], rH[k - 1]);
    add(-A_TE / 2.0f, a);
    add(0.0f, a);
    add(A_LE / 2.0f, a);
    add(A_LE, a);
    for (int k = 2; k <= cap_points; ++k) add(A_LE + u[k - 1], rH[k - 1]);
    hub.count = n;
}

void tabulated_hub_profile(float diameter, HubProfile& hub) {
    constexpr std::array<float, 11> x_D = {-0.23f,  -0.21f, -0.175f, -0.125f, -0.0625f, 0.0f,
                                           0.0625f, 0.125f, 0.175f,  0.208f,  0.23f};
    constexpr std::array<float, 11> rH_D = {0.0f,    0.0327f,  0.0664f, 0.0859f, 0.0967f, 0.1f,
                                            0.0986f, 0.09375f, 0.0814f, 0.0487f, 0.0f};
    hub.count = static_cast<int>(x_D.size());
    for (int k = 1; k <= hub.count; ++k) {
        hub.x(k) = x_D[k - 1] * diameter;
        hub.rH(k) = rH_D[k - 1] * diameter;
    }
}

}  // namespace korvanti
