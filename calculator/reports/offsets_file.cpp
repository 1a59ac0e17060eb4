// Offsets file: the B-series tip section as the next station inwards scaled
// by the parabolic trend of the thickness and shortened to 1/2.75 of its
// chord; the root station on the hub (r = 0.167·R) by parabolic
// extrapolation of the three innermost stations (thickness along the line
// through the two innermost); the hub profile; the two files.
#include "reports/offsets_file.h"

#include <cmath>
#include <sstream>
#include <string>
#include <utility>

#include "filelayer/output_file.h"
#include "filelayer/record.h"
#include "numeric/quadratic.h"
#include "numeric/local_interpolation.h"
#include "reports/hub_profile.h"

namespace korvanti {

namespace {

constexpr float pi = 3.1415927f;

struct RootStation {
    float r = 0.0f, P = 0.0f, c = 0.0f, iT = 0.0f, xs = 0.0f, tm = 0.0f;
    Array1<float, max_points> xc, yb, yf;
};

bool has_root_station(const BladeModel& model) { return model.series_number <= 3; }

float quadratic_at(const StationArray& r, const StationArray& value, float x) {
    float y = 0.0f;
    quadratic_through_three_points(r(1), r(2), r(3), value(1), value(2), value(3), x, y);
    return y;
}

// The last station becomes station N-1 scaled by q = tq/tm(N-1), with its
// chord divided by 2.75 and centred on the station's own skew: the copied
// section then has the tip thickness tq that the parabola through the three
// stations inside gives (for the B-series, whose thickness is linear in r/R,
// the tabulated tip thickness tm(N)). The chordwise fraction is taken as
// ((xc - xc(1)) - c/2)/c, from the trailing edge.
void make_b_series_tip(BladeModel& m) {
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

// The station on the hub radius rh, extrapolated inwards from stations 1 to 3.
void make_root_station(const BladeModel& m, RootStation& root) {
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
}

constexpr const char* station_record = "(5(E12.6,1X))";
constexpr const char* point_record = "(3(E12.6,1X))";

std::string offsets_text(const BladeModel& m, const RootStation& root, const HubProfile& hub) {
    const bool with_root = has_root_station(m);
    std::ostringstream out;
    write_record(out, "(I4)", {with_root ? m.station_count + 1 : m.station_count});
    write_record(out, "(A25)", {m.series_label});
    write_record(out, "(E14.8)", {m.diameter});
    write_record(out, "(I4)", {m.blade_count});
    if (with_root) write_record(out, station_record, {root.r, root.P, root.c, root.iT, root.xs});
    for (int i = 1; i <= m.station_count; ++i)
        write_record(out, station_record, {m.r(i), m.P(i), m.c(i), m.iT(i), m.skew_shift(i)});
    if (with_root) {
        write_record(out, "(I4)", {m.point_count});
        for (int j = 1; j <= m.point_count; ++j)
            write_record(out, point_record, {root.xc(j), root.yb(j) + root.r, root.yf(j) + root.r});
    }
    for (int i = 1; i <= m.station_count; ++i) {
        write_record(out, "(I4)", {m.point_count});
        for (int j = 1; j <= m.point_count; ++j)
            write_record(out, point_record, {m.xc(i, j), m.yb(i, j) + m.r(i), m.yf(i, j) + m.r(i)});
    }
    write_record(out, "(I4)", {hub.count});
    for (int k = 1; k <= hub.count; ++k) write_record(out, point_record, {hub.x(k), hub.rH(k)});
    return std::move(out).str();
}

// Skew angle in degrees with the sign reversed, -(xs·cos φ / r)·180/π
// evaluated from the left.
float reversed_skew(float xs, float P, float r) {
    const float phi = std::atan2(P, 2.0f * pi * r);
    return -(xs * std::cos(phi) / r) * 180.0f / pi;
}

// Root row and stations 1 to N; the skew column is lifted so that it starts
// at 0 and is never negative.
std::string radial_summary_text(const BladeModel& m, const RootStation& root) {
    const int rows = m.station_count + 1;
    const float D = m.diameter;
    const float R = D / 2.0f;
    Array1<float, max_stations + 1> r_R, c_D, tm_D, P_D, skew;
    r_R(1) = root.r / R;
    c_D(1) = root.c / D;
    tm_D(1) = root.tm / D;
    P_D(1) = root.P / D;
    skew(1) = reversed_skew(root.xs, root.P, root.r);
    for (int i = 1; i <= m.station_count; ++i) {
        r_R(i + 1) = m.r(i) / R;
        c_D(i + 1) = m.c(i) / D;
        tm_D(i + 1) = m.tm(i) / D;
        P_D(i + 1) = m.P(i) / D;
        skew(i + 1) = reversed_skew(m.skew_shift(i), m.P(i), m.r(i));
    }
    float smallest = 0.0f;
    for (int k = 1; k <= rows; ++k)
        if (skew(k) < smallest) smallest = skew(k);
    for (int k = 1; k <= rows; ++k) {
        if (smallest < 0.0f) skew(k) = skew(k) - smallest;
        if (skew(k) == 0.0f) skew(k) = 0.0f;  // a zero skew comes out of the reversal as -0
    }

    std::ostringstream out;
    write_record(out, "(4I4,2X,3F10.3)",
                 {3, 1, m.blade_count, rows, m.diameter, m.area_ratio, m.rake_angle});
    for (int k = 1; k <= rows; ++k)
        write_record(out, "(1X,F5.3,1X,F7.5,1X,F7.5,1X,F6.3,1X,F7.5,1X,F6.3)",
                     {r_R(k), c_D(k), tm_D(k), skew(k), 0.0f, P_D(k)});
    return std::move(out).str();
}

}  // namespace

void write_offsets_file(BladeModel& model) {
    if (model.series_number == 1) make_b_series_tip(model);
    RootStation root;
    make_root_station(model, root);
    HubProfile hub;
    if (model.series_number == 4 || model.series_number == 5)
        tabulated_hub_profile(model.diameter, hub);
    else
        hub_profile_from_blade(model.point_count, model.r.view(), model.P.view(), model.xc,
                               model.yf, hub);
    write_output_file(offsets_file_name, offsets_text(model, root, hub));
    build_output_file(radial_summary_file_name, [&] { return radial_summary_text(model, root); });
}

}  // namespace korvanti
