// Wageningen ducted series Ka and Kc: outline and sections from the published
// percentage tables at nine radii. The Ka tables are first smoothed radially
// and every Ka section is faired, both by weighted least-squares polynomials
// (orthogonal-polynomial fit, Forsythe).
#include "numeric/polynomial_smooth.h"
#include "series/series_routines.h"
#include "series/series_tables.h"

namespace korvanti {

namespace {

constexpr int ducted_radii = 9;
constexpr int ducted_points = 13;
constexpr int max_thickness_point = 6;

using RadialList = Array1<float, ducted_radii>;
using PercentTable = Array2<float, ducted_radii, ducted_points>;

// Per radius: r/R; Ka a, c (% of cmax), b (% of c); Kc a, c, b; tm (% of D).
const Array2<float, ducted_radii, 8> ducted_radial = table_from_rows<ducted_radii, 8>({
    {0.2f, 36.95f, 67.15f, 34.98f, 32.31f, 58.75f, 34.91f, 4.00f},
    {0.3f, 40.38f, 76.59f, 39.76f, 36.31f, 68.73f, 34.42f, 3.52f},
    {0.4f, 43.76f, 85.19f, 46.02f, 40.20f, 78.35f, 37.97f, 3.00f},
    {0.5f, 47.04f, 93.01f, 49.13f, 43.88f, 87.14f, 44.33f, 2.45f},
    {0.6f, 50.14f, 100.00f, 49.98f, 47.06f, 94.12f, 48.94f, 1.90f},
    {0.7f, 52.88f, 105.86f, 50.00f, 49.40f, 98.80f, 50.00f, 1.38f},
    {0.8f, 55.05f, 110.08f, 50.00f, 50.00f, 100.00f, 50.00f, 0.92f},
    {0.9f, 56.35f, 112.66f, 50.00f, 47.58f, 95.16f, 50.00f, 0.61f},
    {1.0f, 56.43f, 112.88f, 50.00f, 39.50f, 79.00f, 50.00f, 0.50f},
});

// Chordwise positions XC(k) in percent: points 1..5 of the distance c - b
// from the maximum thickness towards the trailing edge, point 6 the maximum
// thickness, points 7..13 of b towards the leading edge.
const Array1<float, ducted_points> ducted_position = list_from_values<ducted_points>(
    {100.0f, 80.0f, 60.0f, 40.0f, 20.0f, 0.0f, 20.0f, 40.0f, 60.0f, 80.0f, 90.0f, 95.0f, 100.0f});

// Back ordinates, % of tm, trailing-edge side (points 1..5), Ka.
const Array2<float, ducted_radii, 5> back_trailing = table_from_rows<ducted_radii, 5>({
    {13.0f, 38.23f, 63.65f, 82.40f, 95.00f},
    {10.0f, 39.05f, 66.63f, 84.14f, 95.86f},
    {8.0f, 40.56f, 66.94f, 85.69f, 96.25f},
    {4.0f, 41.77f, 68.59f, 86.42f, 96.60f},
    {0.0f, 43.58f, 68.26f, 85.89f, 96.47f},
    {0.0f, 45.31f, 69.24f, 86.33f, 96.58f},
    {0.0f, 48.16f, 70.84f, 87.04f, 96.76f},
    {0.0f, 51.75f, 72.94f, 88.09f, 97.17f},
    {0.0f, 52.00f, 73.00f, 88.00f, 97.00f},
});

// Kc's own point 2 of the radii 0.2 and 0.3.
const Array1<float, 2> kc_back_trailing_point_2 = list_from_values<2>({43.01f, 42.84f});

// Back ordinates, % of tm, leading-edge side (points 7..13), Ka.
const Array2<float, ducted_radii, 7> ka_back_leading = table_from_rows<ducted_radii, 7>({
    {97.92f, 90.83f, 77.19f, 55.00f, 45.00f, 34.00f, 25.60f},
    {97.63f, 90.06f, 75.62f, 53.02f, 37.87f, 28.00f, 19.00f},
    {97.22f, 88.89f, 73.61f, 50.00f, 34.72f, 25.83f, 13.47f},
    {96.77f, 87.10f, 70.46f, 45.84f, 30.22f, 22.24f, 7.81f},
    {96.47f, 85.89f, 68.26f, 43.58f, 28.59f, 20.44f, 0.0f},
    {96.58f, 86.33f, 69.24f, 45.31f, 30.79f, 22.88f, 0.0f},
    {96.76f, 87.04f, 70.84f, 48.16f, 34.39f, 26.90f, 0.0f},
    {97.17f, 88.09f, 72.94f, 51.75f, 38.87f, 31.87f, 0.0f},
    {97.00f, 88.00f, 73.00f, 52.00f, 39.25f, 32.31f, 0.0f},
});

// Kc's leading-edge side of the radii 0.2 to 0.5; the outer rows are Ka's.
const Array2<float, 4, 7> kc_back_leading_inner = table_from_rows<4, 7>({
    {97.92f, 90.83f, 78.80f, 61.15f, 50.60f, 44.40f, 21.30f},
    {97.63f, 90.06f, 75.62f, 53.68f, 40.64f, 33.60f, 15.00f},
    {97.22f, 88.89f, 73.61f, 50.00f, 34.72f, 25.83f, 7.00f},
    {96.77f, 87.10f, 70.46f, 45.84f, 30.22f, 22.24f, 2.00f},
});

// Face ordinates, % of tm, radii 0.2 to 0.5, points 1..5 and 7..13; every
// other face ordinate is 0.
const Array2<float, 4, 12> ka_face_inner = table_from_rows<4, 12>({
    {13.0f, 7.29f, 1.77f, 0.10f, 0.0f, 0.21f, 1.46f, 4.37f, 10.52f, 16.04f, 20.62f, 25.60f},
    {10.0f, 4.62f, 1.07f, 0.0f, 0.0f, 0.12f, 0.83f, 2.72f, 6.15f, 8.28f, 10.30f, 19.00f},
    {8.0f, 2.36f, 0.56f, 0.0f, 0.0f, 0.0f, 0.42f, 1.39f, 2.92f, 3.89f, 4.44f, 13.47f},
    {4.0f, 0.68f, 0.17f, 0.0f, 0.0f, 0.0f, 0.17f, 0.51f, 1.02f, 1.36f, 1.53f, 7.81f},
});

const Array2<float, 4, 12> kc_face_inner = table_from_rows<4, 12>({
    {13.0f, 7.29f, 1.77f, 0.10f, 0.0f, 0.21f, 1.56f, 4.26f, 10.75f, 16.02f, 19.55f, 21.30f},
    {10.0f, 4.62f, 1.07f, 0.0f, 0.0f, 0.12f, 0.83f, 2.90f, 5.83f, 8.44f, 11.20f, 15.00f},
    {8.0f, 2.36f, 0.56f, 0.0f, 0.0f, 0.0f, 0.42f, 1.39f, 2.92f, 3.89f, 4.44f, 7.00f},
    {4.0f, 0.68f, 0.17f, 0.0f, 0.0f, 0.0f, 0.17f, 0.51f, 1.02f, 1.36f, 1.53f, 2.00f},
});

// One of the two series: its radial distributions and its section
// ordinates over all 13 points (point 6: back 100, face 0).
struct DuctedSeries {
    const char* name;
    float chord_constant;  // K of cmax = K·Ear/Z·D
    bool smoothed;         // Ka: radial smoothing and section fairing
    RadialList radius_ratio, a_percent, c_percent, b_percent, tm_percent;
    PercentTable back, face;
};

void fill_section_percentages(DuctedSeries& s, const Array2<float, 4, 12>& face_inner) {
    for (int i = 1; i <= ducted_radii; ++i) {
        for (int k = 1; k <= 5; ++k) s.back(i, k) = back_trailing(i, k);
        s.back(i, max_thickness_point) = 100.0f;
        for (int k = 7; k <= ducted_points; ++k) s.back(i, k) = ka_back_leading(i, k - 6);
        for (int k = 1; k <= ducted_points; ++k) s.face(i, k) = 0.0f;
    }
    for (int i = 1; i <= 4; ++i) {
        for (int k = 1; k <= 5; ++k) s.face(i, k) = face_inner(i, k);
        for (int k = 7; k <= ducted_points; ++k) s.face(i, k) = face_inner(i, k - 1);
    }
}

DuctedSeries ka_tables() {
    DuctedSeries s{};
    s.name = "WAGENINGEN Ka";
    s.chord_constant = 1.969f;
    s.smoothed = true;
    s.radius_ratio = table_column(ducted_radial, 1);
    s.a_percent = table_column(ducted_radial, 2);
    s.c_percent = table_column(ducted_radial, 3);
    s.b_percent = table_column(ducted_radial, 4);
    s.tm_percent = table_column(ducted_radial, 8);
    fill_section_percentages(s, ka_face_inner);
    return s;
}

DuctedSeries kc_tables() {
    DuctedSeries s{};
    s.name = "WAGENINGEN Kc";
    s.chord_constant = 2.265f;
    s.smoothed = false;
    s.radius_ratio = table_column(ducted_radial, 1);
    s.a_percent = table_column(ducted_radial, 5);
    s.c_percent = table_column(ducted_radial, 6);
    s.b_percent = table_column(ducted_radial, 7);
    s.tm_percent = table_column(ducted_radial, 8);
    fill_section_percentages(s, kc_face_inner);
    for (int i = 1; i <= 2; ++i) s.back(i, 2) = kc_back_trailing_point_2(i);
    for (int i = 1; i <= 4; ++i)
        for (int k = 7; k <= ducted_points; ++k) s.back(i, k) = kc_back_leading_inner(i, k - 6);
    return s;
}

// Ka: a, c and tm become cubics in r/R; b a parabola through its first four
// values (r/R 0.2 to 0.5), the outer five staying as published.
void smooth_radial_tables(DuctedSeries& s) {
    const View1<const float> x = s.radius_ratio.view();
    polynomial_smooth(x, s.a_percent.view(), ducted_radii, 4);
    polynomial_smooth(x, s.c_percent.view(), ducted_radii, 4);
    polynomial_smooth(x, s.b_percent.view(), 4, 3);
    polynomial_smooth(x, s.tm_percent.view(), ducted_radii, 4);
}

// Chord, generator line, maximum thickness position and thickness of
// station i; a and c in percent of cmax, b in percent of the station's chord.
struct DuctedStation {
    float c, a, b, tm;
};

// Percentages are applied as (percent·length)/100, the product first.
DuctedStation ducted_station(const DuctedSeries& s, int i, float cmax, float diameter) {
    DuctedStation st{};
    st.c = s.c_percent(i) * cmax / 100.0f;
    st.a = s.a_percent(i) * cmax / 100.0f;
    st.b = s.b_percent(i) * st.c / 100.0f;
    st.tm = s.tm_percent(i) * diameter / 100.0f;
    return st;
}

// Abscissae from the generator line (the maximum thickness at a - b),
// ordinates as percentages of tm.
void ducted_section(const DuctedSeries& s, int i, const DuctedStation& st, SeriesStations& out) {
    for (int k = 1; k <= ducted_points; ++k) {
        float d = 0.0f;
        if (k < max_thickness_point) d = -(st.c - st.b) * ducted_position(k) / 100.0f;
        if (k > max_thickness_point) d = st.b * ducted_position(k) / 100.0f;
        out.xc(i, k) = (st.a - st.b) + d;
        out.yb(i, k) = st.tm * s.back(i, k) / 100.0f;
        out.yf(i, k) = st.tm * s.face(i, k) / 100.0f;
    }
    out.yb(i, max_thickness_point) = st.tm;
    out.yf(i, max_thickness_point) = 0.0f;
}

// Ka: thickness and camber of the section each become a cubic along the
// chord; the thickness is then closed to zero at both edges.
void fair_section(int i, SeriesStations& out) {
    Array1<float, ducted_points> t, m;
    for (int k = 1; k <= ducted_points; ++k) {
        t(k) = out.yb(i, k) - out.yf(i, k);
        m(k) = (out.yb(i, k) + out.yf(i, k)) / 2.0f;
    }
    const View1<const float> x = out.xc.row(i);
    polynomial_smooth(x, t.view(), ducted_points, 4);
    polynomial_smooth(x, m.view(), ducted_points, 4);
    t(1) = 0.0f;
    t(ducted_points) = 0.0f;
    for (int k = 1; k <= ducted_points; ++k) {
        out.yb(i, k) = m(k) + t(k) / 2.0f;
        out.yf(i, k) = m(k) - t(k) / 2.0f;
    }
}

void ducted_series(BladeModel& model, SeriesStations& out, DuctedSeries s) {
    require_series_particulars(model, s.name, true);
    const float diameter = model.diameter;
    // cmax = K·Ear/Z·D, taken left to right: ((K·Ear)/Z)·D.
    const float cmax =
        s.chord_constant * model.area_ratio / static_cast<float>(model.blade_count) * diameter;
    if (s.smoothed) smooth_radial_tables(s);

    for (int i = 1; i <= ducted_radii; ++i) {
        const DuctedStation st = ducted_station(s, i, cmax, diameter);
        out.r(i) = s.radius_ratio(i) * diameter / 2.0f;
        out.skew_shift(i) = 0.0f;
        out.iT(i) = 0.0f;
        model.a_fraction(i) = st.a / st.c;
        model.b_fraction(i) = st.b / st.c;
        model.tm(i) = st.tm;
        ducted_section(s, i, st, out);
    }
    model.rake_angle = 0.0f;
    out.point_count = ducted_points;
    out.station_count = ducted_radii;
    for (int i = 1; i <= ducted_radii; ++i)
        out.skew_shift(i) = (out.xc(i, 1) + out.xc(i, ducted_points)) / 2.0f;
    if (s.smoothed)
        for (int i = 1; i <= ducted_radii; ++i) fair_section(i, out);
}

}  // namespace

void ka_series(BladeModel& model, SeriesStations& stations) {
    ducted_series(model, stations, ka_tables());
}

void kc_series(BladeModel& model, SeriesStations& stations) {
    ducted_series(model, stations, kc_tables());
}

}  // namespace korvanti
