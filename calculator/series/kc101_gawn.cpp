// KC101-Gawn (Gawn-Burrill) series: chords read from the published chord
// table by a three-point parabola in the area ratio, flat-faced sections from
// the published back-ordinate table, both scaled with the diameter.
#include "series/kc101_gawn.h"

#include "numeric/local_interpolation.h"
#include "series/series_tables.h"

namespace korvanti {

namespace {

constexpr int kc101_stations = 11;
constexpr int kc101_points = 9;
constexpr int kc101_area_ratios = 5;

const Array1<float, kc101_stations> kc101_radius_ratio = list_from_values<kc101_stations>(
    {0.2f, 0.25f, 0.375f, 0.5f, 0.625f, 0.75f, 0.875f, 0.9375f, 0.965f, 0.985f, 1.0f});

const Array1<float, kc101_area_ratios> kc101_area_ratio =
    list_from_values<kc101_area_ratios>({0.5f, 0.65f, 0.8f, 0.95f, 1.1f});

// Fraction of the chord from the trailing edge.
const Array1<float, kc101_points> kc101_chord_position = list_from_values<kc101_points>(
    {0.0f, 0.125f, 0.25f, 0.375f, 0.5f, 0.625f, 0.75f, 0.875f, 1.0f});

// 16·c/D by area ratio (rows) and station (columns).
const Array2<float, kc101_area_ratios, kc101_stations> kc101_chord =
    table_from_rows<kc101_area_ratios, kc101_stations>({
        {2.89f, 3.35f, 4.55f, 5.555f, 6.33f, 6.74f, 6.32f, 5.25f, 4.05f, 2.2f, 0.44f},
        {3.77f, 4.38f, 5.93f, 7.25f, 8.26f, 8.79f, 8.25f, 6.86f, 5.23f, 2.93f, 0.586f},
        {4.56f, 5.38f, 7.3f, 8.92f, 10.18f, 10.8f, 10.16f, 8.42f, 6.85f, 4.56f, 0.912f},
        {5.53f, 6.56f, 8.9f, 10.87f, 12.38f, 13.16f, 12.37f, 10.28f, 8.04f, 4.97f, 0.994f},
        {6.5f, 7.73f, 10.49f, 12.8f, 14.6f, 15.53f, 14.58f, 12.11f, 9.74f, 6.5f, 1.3f},
    });

// yb/D by station (rows) and chordwise point (columns), with the published
// asymmetries of the 0.2 and 0.9375 rows.
const Array2<float, kc101_stations, kc101_points> kc101_back =
    table_from_rows<kc101_stations, kc101_points>({
        {0.00694f, 0.02113f, 0.03013f, 0.0345f, 0.0365f, 0.0345f, 0.03013f, 0.0215f, 0.00694f},
        {0.00375f, 0.01875f, 0.02731f, 0.03238f, 0.03406f, 0.03238f, 0.02731f, 0.01875f, 0.00375f},
        {0.0f, 0.01331f, 0.02188f, 0.02688f, 0.02863f, 0.02688f, 0.02188f, 0.01331f, 0.0f},
        {0.0f, 0.01081f, 0.01769f, 0.02175f, 0.02313f, 0.02175f, 0.01769f, 0.01081f, 0.0f},
        {0.0f, 0.00838f, 0.01356f, 0.01663f, 0.01769f, 0.01663f, 0.01356f, 0.00838f, 0.0f},
        {0.0f, 0.006f, 0.00944f, 0.0115f, 0.01219f, 0.0115f, 0.00944f, 0.006f, 0.0f},
        {0.0f, 0.00363f, 0.00538f, 0.00638f, 0.00675f, 0.00638f, 0.00538f, 0.00363f, 0.0f},
        {0.0f, 0.00213f, 0.00331f, 0.00381f, 0.004f, 0.00381f, 0.00331f, 0.0022f, 0.0f},
        {0.0f, 0.00133f, 0.00209f, 0.00236f, 0.0025f, 0.00236f, 0.00209f, 0.00133f, 0.0f},
        {0.0f, 0.00063f, 0.001f, 0.00119f, 0.00125f, 0.00119f, 0.001f, 0.00063f, 0.0f},
        {0.0f, 0.00031f, 0.0005f, 0.00059f, 0.00063f, 0.00059f, 0.0005f, 0.00031f, 0.0f},
    });

constexpr const char* kc101_name = "KC101 - GAWN";

// Chord of station i: 16·c/D by the parabola through three neighbouring area
// ratios of the table, c = (q/16)·D.
float kc101_station_chord(int i, float area_ratio, float diameter, Console& console) {
    const Array1<float, kc101_area_ratios> row_of_station = table_column(kc101_chord, i);
    float q = 0.0f;
    three_point_interpolate(kc101_area_ratios, kc101_area_ratio.view(), row_of_station.view(),
                            area_ratio, q, 3, console);
    return q / 16.0f * diameter;
}

// Flat face, back from the table; generator line and maximum thickness at
// mid-chord, no skew and no rake.
void kc101_section(int i, float chord, float diameter, SeriesStations& st) {
    st.skew_shift(i) = 0.0f;
    st.iT(i) = 0.0f;
    for (int j = 1; j <= kc101_points; ++j) {
        st.xc(i, j) = kc101_chord_position(j) * chord - chord / 2.0f;
        st.yf(i, j) = 0.0f;
        st.yb(i, j) = kc101_back(i, j) * diameter;
    }
}

// The two innermost sections are closed at both edges.
void close_root_edges(SeriesStations& st) {
    for (int i = 1; i <= 2; ++i) {
        st.yf(i, 1) = st.yb(i, 1);
        st.yf(i, kc101_points) = st.yb(i, kc101_points);
    }
}

}  // namespace

void kc101_gawn_series(BladeModel& model, SeriesStations& stations, Console& console) {
    require_series_particulars(model, kc101_name, false);
    require_area_ratio_within(model, kc101_name, kc101_area_ratio(1),
                              kc101_area_ratio(kc101_area_ratios));
    const float diameter = model.diameter;

    for (int i = 1; i <= kc101_stations; ++i)
        stations.r(i) = diameter / 2.0f * kc101_radius_ratio(i);
    for (int i = 1; i <= kc101_stations; ++i) {
        const float chord = kc101_station_chord(i, model.area_ratio, diameter, console);
        kc101_section(i, chord, diameter, stations);
    }
    close_root_edges(stations);
    stations.station_count = kc101_stations;
    stations.point_count = kc101_points;

    model.rake_angle = 0.0f;
    for (int i = 1; i <= kc101_stations; ++i) {
        model.a_fraction(i) = 0.5f;
        model.b_fraction(i) = 0.5f;
        model.tm(i) = stations.yb(i, 5);
    }
}

}  // namespace korvanti
