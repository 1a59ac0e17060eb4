// Offsets file PEROF.SON and radial summary SEHAM.DAT: the stations (with
// the root station where the series has one), the sections with their
// ordinates from the shaft axis, the hub profile; the skew column of the
// summary lifted to start at 0.
#include "reports/offsets_file.h"

#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "filelayer/file_text.h"
#include "filelayer/output_file.h"
#include "filelayer/record.h"

namespace korvanti {

namespace {

constexpr float pi = 3.1415927f;

constexpr const char* station_record = "(5(E12.6,1X))";
constexpr const char* point_record = "(3(E12.6,1X))";

std::string offsets_text(const BladeModel& m, const BladeEnds& ends) {
    const RootStation& root = ends.root;
    const HubProfile& hub = ends.hub;
    const bool with_root = has_root_station(m.series);
    FileText out(offsets_file_name);
    out.record("(I4)", {with_root ? m.station_count + 1 : m.station_count});
    out.record("(A25)", {m.series_label});
    out.record("(E14.8)", {m.diameter});
    out.record("(I4)", {m.blade_count});
    if (with_root) out.record(station_record, {root.r, root.P, root.c, root.iT, root.xs});
    for (int i = 1; i <= m.station_count; ++i)
        out.record(station_record, {m.r(i), m.P(i), m.c(i), m.iT(i), m.skew_shift(i)});
    if (with_root) {
        out.record("(I4)", {m.point_count});
        for (int j = 1; j <= m.point_count; ++j)
            out.record(point_record, {root.xc(j), root.yb(j) + root.r, root.yf(j) + root.r});
    }
    for (int i = 1; i <= m.station_count; ++i) {
        out.record("(I4)", {m.point_count});
        for (int j = 1; j <= m.point_count; ++j)
            out.record(point_record, {m.xc(i, j), m.yb(i, j) + m.r(i), m.yf(i, j) + m.r(i)});
    }
    out.record("(I4)", {hub.count});
    for (int k = 1; k <= hub.count; ++k) out.record(point_record, {hub.x(k), hub.rH(k)});
    return std::move(out).finish();
}

// Skew angle in degrees with the sign reversed, -(xs·cos φ / r)·180/π
// evaluated from the left.
float reversed_skew(float xs, float P, float r) {
    const float phi = std::atan2(P, 2.0f * pi * r);
    return -(xs * std::cos(phi) / r) * 180.0f / pi;
}

// Root row and stations 1 to N; the skew column is lifted so that it starts
// at 0 and is never negative.
std::vector<float> lifted_skew_angles(const BladeModel& m, const RootStation& root) {
    std::vector<float> skew;
    skew.push_back(reversed_skew(root.xs, root.P, root.r));
    for (int i = 1; i <= m.station_count; ++i)
        skew.push_back(reversed_skew(m.skew_shift(i), m.P(i), m.r(i)));
    float smallest = 0.0f;
    for (float s : skew)
        if (s < smallest) smallest = s;
    for (float& s : skew) {
        if (smallest < 0.0f) s = s - smallest;
        if (s == 0.0f) s = 0.0f;  // a zero skew comes out of the reversal as -0
    }
    return skew;
}

std::string radial_summary_text(const BladeModel& m, const RootStation& root) {
    const int rows = m.station_count + 1;
    const float D = m.diameter;
    const float R = D / 2.0f;
    Array1<float, max_stations + 1> r_R, c_D, tm_D, P_D;
    r_R(1) = root.r / R;
    c_D(1) = root.c / D;
    tm_D(1) = root.tm / D;
    P_D(1) = root.P / D;
    for (int i = 1; i <= m.station_count; ++i) {
        r_R(i + 1) = m.r(i) / R;
        c_D(i + 1) = m.c(i) / D;
        tm_D(i + 1) = m.tm(i) / D;
        P_D(i + 1) = m.P(i) / D;
    }
    const std::vector<float> skew = lifted_skew_angles(m, root);

    FileText out(radial_summary_file_name);
    out.record("(4I4,2X,3F10.3)",
               {3, 1, m.blade_count, rows, m.diameter, m.area_ratio, m.rake_angle});
    for (int k = 1; k <= rows; ++k)
        out.record("(1X,F5.3,1X,F7.5,1X,F7.5,1X,F6.3,1X,F7.5,1X,F6.3)",
                   {r_R(k), c_D(k), tm_D(k), skew[static_cast<size_t>(k - 1)], 0.0f, P_D(k)});
    return std::move(out).finish();
}

}  // namespace

std::vector<float> summary_skew_angles(const BladeModel& model, const RootStation& root) {
    return lifted_skew_angles(model, root);
}

std::string write_offsets_file(const BladeModel& model, const BladeEnds& ends) {
    std::string text = offsets_text(model, ends);
    write_output_file(offsets_file_name, text);
    build_output_file(radial_summary_file_name,
                      [&] { return radial_summary_text(model, ends.root); });
    return text;
}

}  // namespace korvanti
