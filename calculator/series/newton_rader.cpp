// Newton-Rader series: the published 10-inch model chords, face ordinates and
// thicknesses at three area ratios, completed at the hub by straight-line
// extrapolation, interpolated linearly in the area ratio, scaled to the
// diameter; the tip section extrapolated along straight lines from the two
// sections below it.
#include "numeric/local_interpolation.h"
#include "series/series_routines.h"
#include "series/series_tables.h"

namespace korvanti {

namespace {

constexpr int nr_radii = 7;       // hub 0.167, the five tabulated radii, tip 1.0
constexpr int nr_model_rows = 6;  // hub and tabulated radii; the tip comes later
constexpr int nr_points = 21;
constexpr int nr_thickest_point = 11;  // S = 0, on the generator line
constexpr int nr_area_ratios = 3;
constexpr int nr_table_radii = 5;
constexpr const char* nr_name = "NR";

const Array1<float, nr_radii> nr_radius_ratio =
    list_from_values<nr_radii>({0.167f, 0.3f, 0.5f, 0.7f, 0.9f, 0.95f, 1.0f});

const Array1<float, nr_area_ratios> nr_area_ratio =
    list_from_values<nr_area_ratios>({0.48f, 0.71f, 0.95f});

// Fractions of 0.95 times the chord, measured from the generator line.
const Array1<float, nr_points> nr_station = list_from_values<nr_points>(
    {-0.5f, -0.45f, -0.4f, -0.35f, -0.3f, -0.25f, -0.2f, -0.15f, -0.1f,  -0.05f, 0.0f,
     0.05f, 0.1f,   0.15f, 0.2f,   0.25f, 0.3f,   0.35f, 0.4f,   0.425f, 0.45f});

// Model chords (in) by area ratio (rows) at r/R 0.3, 0.5, 0.7, 0.9, 0.95.
const Array2<float, nr_area_ratios, nr_table_radii> nr_chord =
    table_from_rows<nr_area_ratios, nr_table_radii>({
        {2.508f, 3.183f, 3.696f, 3.183f, 2.527f},
        {3.819f, 4.845f, 5.624f, 4.845f, 3.848f},
        {5.254f, 6.660f, 7.733f, 6.660f, 5.282f},
    });

// Section thickness (in) at r/R 0.3, 0.5, 0.7, 0.9, 0.95; all area ratios.
const Array2<float, nr_table_radii, nr_points> nr_thickness =
    table_from_rows<nr_table_radii, nr_points>({
        {0.013f, 0.132f, 0.201f, 0.239f, 0.268f, 0.29f,  0.307f, 0.319f, 0.328f, 0.333f, 0.335f,
         0.333f, 0.328f, 0.319f, 0.307f, 0.29f,  0.268f, 0.223f, 0.159f, 0.101f, 0.021f},
        {0.009f, 0.085f, 0.13f,  0.155f, 0.173f, 0.187f, 0.198f, 0.207f, 0.212f, 0.215f, 0.217f,
         0.215f, 0.212f, 0.207f, 0.198f, 0.187f, 0.173f, 0.145f, 0.103f, 0.065f, 0.014f},
        {0.005f, 0.049f, 0.074f, 0.09f,  0.101f, 0.109f, 0.115f, 0.12f, 0.123f, 0.125f, 0.126f,
         0.125f, 0.123f, 0.12f,  0.115f, 0.109f, 0.101f, 0.084f, 0.06f, 0.038f, 0.008f},
        {0.003f, 0.027f, 0.04f,  0.049f, 0.055f, 0.059f, 0.062f, 0.065f, 0.067f, 0.068f, 0.068f,
         0.068f, 0.067f, 0.065f, 0.062f, 0.059f, 0.055f, 0.045f, 0.032f, 0.021f, 0.004f},
        {0.002f, 0.02f,  0.03f,  0.036f, 0.04f,  0.043f, 0.046f, 0.048f, 0.049f, 0.05f, 0.05f,
         0.05f,  0.049f, 0.048f, 0.046f, 0.043f, 0.04f,  0.033f, 0.024f, 0.015f, 0.003f},
    });

// Face ordinates (in): five rows (r/R 0.3 .. 0.95) for E 0.48, then 0.71,
// then 0.95.
const Array2<float, nr_area_ratios * nr_table_radii, nr_points> nr_face =
    table_from_rows<nr_area_ratios * nr_table_radii, nr_points>({
        {0.0f,   0.02f,  0.032f, 0.042f, 0.05f,  0.056f, 0.061f, 0.064f, 0.067f, 0.068f, 0.069f,
         0.068f, 0.067f, 0.064f, 0.061f, 0.056f, 0.05f,  0.058f, 0.074f, 0.101f, 0.145f},
        {0.0f,   0.026f, 0.042f, 0.054f, 0.064f, 0.072f, 0.079f, 0.083f, 0.087f, 0.088f, 0.089f,
         0.088f, 0.087f, 0.083f, 0.079f, 0.072f, 0.064f, 0.064f, 0.069f, 0.083f, 0.106f},
        {0.0f,   0.027f, 0.045f, 0.058f, 0.069f, 0.077f, 0.084f, 0.089f, 0.093f, 0.095f, 0.095f,
         0.095f, 0.093f, 0.089f, 0.084f, 0.077f, 0.069f, 0.064f, 0.06f,  0.065f, 0.074f},
        {0.0f,   0.023f, 0.037f, 0.048f, 0.057f, 0.064f, 0.069f, 0.073f, 0.076f, 0.078f, 0.078f,
         0.078f, 0.076f, 0.073f, 0.069f, 0.064f, 0.057f, 0.052f, 0.046f, 0.045f, 0.041f},
        {0.0f,   0.016f, 0.027f, 0.035f, 0.041f, 0.046f, 0.05f,  0.053f, 0.055f, 0.057f, 0.057f,
         0.057f, 0.055f, 0.053f, 0.05f,  0.046f, 0.041f, 0.038f, 0.033f, 0.033f, 0.035f},
        {0.0f,   0.03f,  0.049f, 0.064f, 0.075f, 0.085f, 0.092f, 0.098f, 0.102f, 0.104f, 0.105f,
         0.104f, 0.102f, 0.098f, 0.092f, 0.085f, 0.075f, 0.08f,  0.091f, 0.115f, 0.155f},
        {0.0f,   0.039f, 0.064f, 0.083f, 0.1f,  0.11f,  0.12f,  0.127f, 0.132f, 0.135f, 0.136f,
         0.135f, 0.132f, 0.127f, 0.12f,  0.11f, 0.098f, 0.093f, 0.091f, 0.101f, 0.119f},
        {0.0f,   0.042f, 0.068f, 0.089f, 0.105f, 0.118f, 0.128f, 0.135f, 0.141f, 0.144f, 0.145f,
         0.144f, 0.141f, 0.135f, 0.128f, 0.118f, 0.105f, 0.095f, 0.084f, 0.083f, 0.089f},
        {0.0f,   0.034f, 0.056f, 0.073f, 0.086f, 0.097f, 0.105f, 0.111f, 0.116f, 0.118f, 0.119f,
         0.118f, 0.116f, 0.111f, 0.105f, 0.097f, 0.086f, 0.077f, 0.065f, 0.061f, 0.06f},
        {0.0f,   0.026f, 0.043f, 0.056f, 0.067f, 0.075f, 0.081f, 0.086f, 0.09f,  0.092f, 0.092f,
         0.092f, 0.09f,  0.086f, 0.081f, 0.075f, 0.067f, 0.065f, 0.054f, 0.051f, 0.048f},
        {0.0f,   0.041f, 0.067f, 0.088f, 0.104f, 0.117f, 0.127f, 0.134f, 0.14f, 0.143f, 0.144f,
         0.143f, 0.14f,  0.134f, 0.127f, 0.117f, 0.104f, 0.104f, 0.108f, 0.13f, 0.166f},
        {0.0f,   0.053f, 0.087f, 0.114f, 0.135f, 0.151f, 0.164f, 0.174f, 0.181f, 0.185f, 0.187f,
         0.185f, 0.181f, 0.174f, 0.164f, 0.151f, 0.135f, 0.124f, 0.114f, 0.121f, 0.133f},
        {0.0f,   0.057f, 0.094f, 0.122f, 0.144f, 0.162f, 0.176f, 0.186f, 0.194f, 0.198f, 0.199f,
         0.198f, 0.194f, 0.186f, 0.176f, 0.162f, 0.144f, 0.128f, 0.109f, 0.105f, 0.104f},
        {0.0f,   0.047f, 0.077f, 0.1f,   0.118f, 0.133f, 0.145f, 0.153f, 0.159f, 0.163f, 0.164f,
         0.163f, 0.159f, 0.153f, 0.145f, 0.133f, 0.118f, 0.104f, 0.086f, 0.078f, 0.073f},
        {0.0f,   0.036f, 0.059f, 0.077f, 0.092f, 0.103f, 0.112f, 0.118f, 0.123f, 0.126f, 0.127f,
         0.126f, 0.123f, 0.118f, 0.112f, 0.103f, 0.092f, 0.08f,  0.065f, 0.06f,  0.055f},
    });

// Model sections (in) of one area ratio: rows 1 (hub) to 6 (r/R 0.95).
struct NrModelSections {
    Array2<float, nr_model_rows, nr_points> X, F, B;
};

float nr_face_of(int e, int table_radius, int k) {
    return nr_face((e - 1) * nr_table_radii + table_radius, k);
}

// Hub chord and hub offsets by the straight line through r/R 0.3 and 0.5
// (model radii 1.5 and 2.5 in) to r/R 0.167 (0.835 in); the chord line is
// taken in tenths of the chord. Tabulated rows as published. X = (S·C)/0.95,
// B = T + F.
void nr_model_sections(int e, NrModelSections& m) {
    Array1<float, nr_model_rows> chord;
    for (int i = 2; i <= nr_model_rows; ++i) chord(i) = nr_chord(e, i - 1);
    float hub = 0.0f;
    two_point_line_back(0.3f, chord(2) / 10.0f, 0.5f, chord(3) / 10.0f, 0.167f, hub);
    chord(1) = 10.0f * hub;

    Array2<float, nr_model_rows, nr_points> T;
    for (int k = 1; k <= nr_points; ++k) {
        two_point_line_back(1.5f, nr_face_of(e, 1, k), 2.5f, nr_face_of(e, 2, k), 0.835f,
                            m.F(1, k));
        two_point_line_back(1.5f, nr_thickness(1, k), 2.5f, nr_thickness(2, k), 0.835f, T(1, k));
        for (int i = 2; i <= nr_model_rows; ++i) {
            m.F(i, k) = nr_face_of(e, i - 1, k);
            T(i, k) = nr_thickness(i - 1, k);
        }
    }
    for (int i = 1; i <= nr_model_rows; ++i) {
        for (int k = 1; k <= nr_points; ++k) {
            m.X(i, k) = nr_station(k) * chord(i) / 0.95f;
            m.B(i, k) = T(i, k) + m.F(i, k);
        }
    }
}

// Straight line between the two tabulated area ratios that enclose E; from
// 0.71 on the upper pair, so that 0.71 and 0.95 come out of it.
float nr_in_area_ratio(float e, float v048, float v071, float v095) {
    float value = 0.0f;
    if (e < nr_area_ratio(2))
        two_point_line(nr_area_ratio(1), v048, nr_area_ratio(2), v071, e, value);
    else
        two_point_line(nr_area_ratio(2), v071, nr_area_ratio(3), v095, e, value);
    return value;
}

}  // namespace

void newton_rader_series(BladeModel& model, SeriesStations& stations) {
    require_series_particulars(model, nr_name, false);
    require_area_ratio_within(model, nr_name, nr_area_ratio(1), nr_area_ratio(nr_area_ratios));
    const float e = model.area_ratio;
    const float diameter = model.diameter;

    Array1<NrModelSections, nr_area_ratios> tabulated;
    for (int t = 1; t <= nr_area_ratios; ++t) nr_model_sections(t, tabulated(t));

    const float s = diameter / 0.254f * 0.0254f;  // metres per model inch
    stations.point_count = nr_points;
    stations.station_count = nr_radii;
    for (int i = 1; i <= nr_radii; ++i) {
        stations.r(i) = nr_radius_ratio(i) * diameter / 2.0f;
        stations.skew_shift(i) = 0.0f;
        stations.iT(i) = 0.0f;
    }
    for (int i = 1; i <= nr_model_rows; ++i) {
        for (int k = 1; k <= nr_points; ++k) {
            const NrModelSections& a = tabulated(1);
            const NrModelSections& b = tabulated(2);
            const NrModelSections& c = tabulated(3);
            stations.xc(i, k) = nr_in_area_ratio(e, a.X(i, k), b.X(i, k), c.X(i, k)) * s;
            stations.yf(i, k) = nr_in_area_ratio(e, a.F(i, k), b.F(i, k), c.F(i, k)) * s;
            stations.yb(i, k) = nr_in_area_ratio(e, a.B(i, k), b.B(i, k), c.B(i, k)) * s;
        }
    }
    extrapolate_last_row(nr_radii, nr_points, stations.xc, stations.yb, stations.yf,
                         stations.r.view(), 0.8f);

    // Generator line and thickest point both at S = 0, 0.45/0.95 of the
    // chord behind the leading edge. The maximum thickness is the back minus
    // the face ordinate there.
    model.rake_angle = 0.0f;
    for (int i = 1; i <= nr_radii; ++i) {
        const float chord = stations.xc(i, nr_points) - stations.xc(i, 1);
        model.a_fraction(i) = stations.xc(i, nr_points) / chord;
        model.b_fraction(i) = stations.xc(i, nr_points) / chord;
        model.tm(i) = stations.yb(i, nr_thickest_point) - stations.yf(i, nr_thickest_point);
    }
}

}  // namespace korvanti
