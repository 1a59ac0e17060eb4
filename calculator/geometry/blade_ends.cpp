// Blade ends: the B-series tip section as the next station inwards scaled by
// the parabolic trend of the thickness and shortened to 1/2.75 of its chord;
// the root station on the hub (r = 0.167·R) by parabolic extrapolation of
// the three innermost stations (thickness along the line through the two
// innermost); the hub profile, tabulated or built from the first section.
#include "geometry/blade_ends.h"

#include "numeric/local_interpolation.h"
#include "numeric/quadratic.h"

namespace korvanti {

namespace {

float quadratic_at(const StationArray& r, const StationArray& value, float x) {
    float y = 0.0f;
    quadratic_through_three_points(r(1), r(2), r(3), value(1), value(2), value(3), x, y);
    return y;
}

// The station on the hub radius rh, extrapolated inwards from stations 1 to 3.
RootStation make_root_station(const BladeModel& m) {
    RootStation root;
    root.r = m.diameter * 0.167f / 2.0f;
    root.P = quadratic_at(m.r, m.P, root.r);
    root.c = quadratic_at(m.r, m.c, root.r);
    root.iT = quadratic_at(m.r, m.iT, root.r);
    root.xs = quadratic_at(m.r, m.skew_shift, root.r);
    two_point_line(m.r(1), m.tm(1), m.r(2), m.tm(2), root.r, root.tm);
    const float g = root.tm / m.tm(1);
    for (int j = 1; j <= m.point_count; ++j) {
        quadratic_through_three_points(m.r(1), m.r(2), m.r(3), m.xc(1, j), m.xc(2, j), m.xc(3, j),
                                       root.r, root.xc(j));
        root.yb(j) = m.yb(1, j) * g;
        root.yf(j) = m.yf(1, j) * g;
    }
    return root;
}

}  // namespace

// The last station becomes station N-1 scaled by q = tq/tm(N-1), with its
// chord divided by 2.75 and centred on the station's own skew: the copied
// section then has the tip thickness tq that the parabola through the three
// stations inside gives (for the B-series, whose thickness is linear in r/R,
// the tabulated tip thickness tm(N)). The chordwise fraction is taken as
// ((xc - xc(1)) - c/2)/c, from the trailing edge.
void make_b_series_tip(BladeModel& m) {
    if (m.series != Series::wageningen_b) return;
    const int N = m.station_count;
    float tq = 0.0f;
    quadratic_through_three_points(m.r(N - 3), m.r(N - 2), m.r(N - 1), m.tm(N - 3), m.tm(N - 2),
                                   m.tm(N - 1), m.r(N), tq);
    const float q = tq / m.tm(N - 1);
    Array1<float, max_points> u;
    for (int j = 1; j <= m.point_count; ++j) {
        u(j) = (m.xc(N - 1, j) - m.xc(N - 1, 1) - m.c(N - 1) / 2.0f) / m.c(N - 1);
        m.yb(N, j) = m.yb(N - 1, j) * q;
        m.yf(N, j) = m.yf(N - 1, j) * q;
    }
    m.c(N) = m.c(N - 1) / 2.75f;
    for (int j = 1; j <= m.point_count; ++j) m.xc(N, j) = u(j) * m.c(N) + m.skew_shift(N);
}

BladeEnds blade_ends(const BladeModel& model) {
    BladeEnds ends;
    ends.root = make_root_station(model);
    if (model.series == Series::kc101_gawn || model.series == Series::gawn)
        tabulated_hub_profile(model.diameter, ends.hub);
    else
        hub_profile_from_blade(model.point_count, model.r.view(), model.P.view(), model.xc,
                               model.yf, ends.hub);
    return ends;
}

}  // namespace korvanti
