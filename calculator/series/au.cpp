// AU (MAU) series: outline from the published edge-width tables, scaled from
// the reference chord 0.226·D until the expanded area ratio (blade area by
// three-point quadrature) matches; sections from the published per-radius
// position, back and face tables; the tip section extrapolated along
// straight lines from the two sections below it.
#include <cmath>

#include "numeric/local_interpolation.h"
#include "series/series_routines.h"
#include "series/series_tables.h"

namespace korvanti {

namespace {

constexpr int au_radii = 10;
constexpr int au_points = 17;
constexpr int au_table_rows = 9;  // sections from the tables; row 10 is the tip
constexpr int au_max_passes = 5;  // E is proportional to f: the second pass meets 0.001
constexpr float au_pi = 3.1415927f;
constexpr float au_tolerance = 0.001f;
constexpr const char* au_name = "AU(MAU)";

using AuList = Array1<float, au_radii>;
using AuSectionTable = Array2<float, au_table_rows, au_points>;

// r/R; trailing-side and leading-side width (% of the reference chord);
// maximum thickness (% of D); its position (% of the chord from the leading
// edge).
const Array2<float, au_radii, 5> au_radial = table_from_rows<au_radii, 5>({
    {0.2f, 27.96f, 38.58f, 4.06f, 32.0f},
    {0.3f, 33.45f, 44.25f, 3.59f, 32.0f},
    {0.4f, 38.76f, 48.32f, 3.12f, 32.0f},
    {0.5f, 43.54f, 50.80f, 2.65f, 32.5f},
    {0.6f, 47.96f, 51.15f, 2.18f, 34.9f},
    {0.7f, 51.33f, 48.31f, 1.71f, 37.9f},
    {0.8f, 52.39f, 40.53f, 1.24f, 40.2f},
    {0.9f, 48.49f, 25.13f, 0.77f, 45.4f},
    {0.95f, 42.07f, 13.55f, 0.54f, 48.9f},
    {1.0f, 17.29f, 0.0f, 0.30f, 50.0f},
});

// Chordwise positions, % of the chord from the leading edge.
const Array1<float, au_points> au_position_rows_1_to_3 =
    list_from_values<au_points>({0.0f, 2.0f, 4.0f, 6.0f, 10.0f, 15.0f, 20.0f, 30.0f, 32.0f, 40.0f,
                                 50.0f, 60.0f, 70.0f, 80.0f, 90.0f, 95.0f, 100.0f});
const Array2<float, 6, au_points> au_position_rows_4_to_9 = table_from_rows<6, au_points>({
    {0.0f, 2.03f, 4.06f, 6.09f, 10.16f, 15.23f, 20.31f, 30.47f, 32.5f, 40.44f, 50.37f, 60.29f,
     70.22f, 80.15f, 90.07f, 95.04f, 100.0f},
    {0.0f, 2.18f, 4.36f, 6.54f, 10.91f, 16.36f, 21.81f, 32.72f, 34.9f, 42.56f, 52.13f, 61.7f,
     71.28f, 80.85f, 90.43f, 95.21f, 100.0f},
    {0.0f, 2.51f, 5.03f, 7.54f, 12.56f, 18.84f, 25.12f, 37.69f, 40.2f, 47.23f, 56.03f, 64.82f,
     73.62f, 82.41f, 91.21f, 95.6f, 100.0f},
    {0.0f, 2.84f, 5.68f, 8.51f, 14.19f, 21.28f, 28.38f, 42.56f, 45.4f, 51.82f, 59.85f, 67.88f,
     75.91f, 83.94f, 91.97f, 95.99f, 100.0f},
    {0.0f, 3.06f, 6.11f, 9.17f, 15.28f, 22.92f, 30.56f, 45.85f, 48.9f, 54.91f, 62.42f, 69.94f,
     77.46f, 84.97f, 92.49f, 96.24f, 100.0f},
    {0.0f, 3.13f, 6.25f, 9.38f, 15.63f, 23.44f, 31.25f, 46.87f, 50.0f, 55.88f, 63.23f, 70.59f,
     77.94f, 85.3f, 92.65f, 96.32f, 100.0f},
});

// Back ordinates, % of the local maximum thickness.
const Array1<float, au_points> au_back_rows_1_to_4 = list_from_values<au_points>(
    {35.0f, 51.85f, 59.75f, 66.15f, 76.05f, 85.25f, 92.2f, 99.8f, 100.0f, 97.75f, 89.95f, 78.15f,
     63.15f, 45.25f, 25.3f, 15.0f, 4.5f});
const Array2<float, 5, au_points> au_back_rows_5_to_9 = table_from_rows<5, au_points>({
    {34.0f, 49.6f, 58.0f, 64.75f, 75.2f, 84.8f, 91.8f, 99.8f, 100.0f, 97.75f, 89.95f, 78.15f,
     63.15f, 45.25f, 25.3f, 15.0f, 4.5f},
    {30.0f, 42.9f, 52.2f, 59.9f, 71.65f, 82.35f, 90.6f, 99.8f, 100.0f, 97.75f, 89.95f, 78.15f,
     63.15f, 45.25f, 25.3f, 15.0f, 4.5f},
    {21.0f, 32.45f, 41.7f, 50.1f, 64.6f, 78.45f, 88.9f, 99.8f, 100.0f, 97.75f, 89.95f, 78.15f,
     63.15f, 45.25f, 25.3f, 15.0f, 4.5f},
    {8.3f, 21.1f, 31.5f, 40.9f, 57.45f, 74.7f, 87.45f, 99.7f, 100.0f, 98.65f, 92.75f, 83.0f, 69.35f,
     51.85f, 30.8f, 19.4f, 6.85f},
    {6.0f, 19.65f, 30.0f, 39.6f, 56.75f, 74.3f, 87.3f, 99.65f, 100.0f, 99.0f, 93.85f, 84.65f,
     71.65f, 54.3f, 33.5f, 21.5f, 8.0f},
});

// Face ordinates, % of the local maximum thickness, first six points (the
// other eleven are 0; row 9 is 0 everywhere).
constexpr int au_face_points = 6;
const Array1<float, au_face_points> au_face_rows_1_to_4 =
    list_from_values<au_face_points>({24.25f, 19.05f, 15.0f, 10.0f, 5.4f, 2.35f});
const Array2<float, 4, au_face_points> au_face_rows_5_to_8 = table_from_rows<4, au_face_points>({
    {23.6f, 18.1f, 14.25f, 9.45f, 5.0f, 2.25f},
    {20.5f, 15.45f, 11.95f, 7.7f, 4.1f, 1.75f},
    {14.0f, 10.45f, 8.05f, 5.05f, 2.7f, 1.15f},
    {4.0f, 2.7f, 2.05f, 1.2f, 0.7f, 0.3f},
});

// The three section tables over all nine table rows.
struct AuSections {
    AuSectionTable position, back, face;
};

AuSections au_sections() {
    AuSections s;
    s.face.fill(0.0f);
    for (int i = 1; i <= au_table_rows; ++i) {
        for (int k = 1; k <= au_points; ++k) {
            s.position(i, k) =
                i <= 3 ? au_position_rows_1_to_3(k) : au_position_rows_4_to_9(i - 3, k);
            s.back(i, k) = i <= 4 ? au_back_rows_1_to_4(k) : au_back_rows_5_to_9(i - 4, k);
        }
        for (int k = 1; k <= au_face_points; ++k) {
            if (i <= 4)
                s.face(i, k) = au_face_rows_1_to_4(k);
            else if (i <= 8)
                s.face(i, k) = au_face_rows_5_to_8(i - 4, k);
        }
    }
    return s;
}

float trailing_width(int i) { return au_radial(i, 2); }
float leading_width(int i) { return au_radial(i, 3); }
float thickness_percent(int i) { return au_radial(i, 4); }
float thickness_position(int i) { return au_radial(i, 5); }

// Chords (tables scaled by f from cref = 0.226·D) and radii; returns
// E = Z·A/(π·(D/2)²) with A the quadrature of the chord over the radius.
// The chord is taken left to right, (((tw + lw)·cref)/100)·f, so that f = 1
// leaves the table blade untouched.
float au_outline(const BladeModel& model, float f, AuList& c, AuList& r) {
    const float diameter = model.diameter;
    const float cref = 0.226f * diameter;
    for (int i = 1; i <= au_radii; ++i) {
        c(i) = (trailing_width(i) + leading_width(i)) * cref / 100.0f * f;
        r(i) = au_radial(i, 1) * diameter / 2.0f;
    }
    const float area =
        static_cast<float>(model.blade_count) * integrate_three_point(au_radii, r.view(), c.view());
    const float half = diameter / 2.0f;
    return area / (au_pi * (half * half));
}

// Rescales the outline until its area ratio is within 0.001 of the request;
// the new factor replaces the old one. Rejects a request whose area ratio the
// 32-bit outline cannot resolve to 0.001 within a few passes.
void au_area_match(const BladeModel& model, AuList& c, AuList& r) {
    float f = 1.0f;
    for (int pass = 1; pass <= au_max_passes; ++pass) {
        const float e = au_outline(model, f, c, r);
        f = model.area_ratio / e;
        if (std::fabs(e - model.area_ratio) < au_tolerance) return;
    }
    reject_series_request(au_name, "acinim alani orani Ear = " + value_text(model.area_ratio) +
                                       " " + std::to_string(au_max_passes) +
                                       " geciste 0.001 duyarlilikla saglanamadi");
}

// Table sections 1..9, abscissae from the generator line with the leading
// edge first: x = ((position - leading width)·c)/100, ordinates
// ((percent·tmax%)·D)/10000. The leading edge thus comes out as exactly
// -(leading width·c)/100, the negative of a.
void au_table_sections(const BladeModel& model, const AuList& c, SectionTable& x, SectionTable& yb,
                       SectionTable& yf) {
    const AuSections s = au_sections();
    const float diameter = model.diameter;
    for (int i = 1; i <= au_table_rows; ++i) {
        for (int k = 1; k <= au_points; ++k) {
            x(i, k) = (s.position(i, k) - leading_width(i)) * c(i) / 100.0f;
            yb(i, k) = s.back(i, k) * thickness_percent(i) * diameter / 10000.0f;
            yf(i, k) = s.face(i, k) * thickness_percent(i) * diameter / 10000.0f;
        }
    }
}

// Tip row: 0.7 times the straight-line extrapolation of rows 8 and 9, then
// moved along the chord so that its mid-chord continues the line through the
// mid-chords of rows 8 and 9.
void au_tip_section(AuList& c, const AuList& r, SectionTable& x, SectionTable& yb,
                    SectionTable& yf) {
    extrapolate_last_row(au_radii, au_points, x, yb, yf, r.view(), 0.7f);
    c(au_radii) = std::fabs(x(au_radii, 1) - x(au_radii, au_points));
    AuList mid;
    for (int i = 1; i <= au_radii; ++i) mid(i) = (x(i, au_points) + x(i, 1)) / 2.0f;
    float tip_mid = 0.0f;
    two_point_line_back(r(8), mid(8), r(9), mid(9), r(au_radii), tip_mid);
    const float shift = tip_mid - mid(au_radii);
    for (int k = 1; k <= au_points; ++k) x(au_radii, k) = x(au_radii, k) + shift;
}

}  // namespace

void au_series(BladeModel& model, SeriesStations& stations) {
    require_series_particulars(model, au_name, true);
    AuList c, r;
    au_area_match(model, c, r);

    SectionTable x, yb, yf;
    au_table_sections(model, c, x, yb, yf);
    au_tip_section(c, r, x, yb, yf);

    // From the trailing edge (point 1) to the leading edge (point 17), the
    // leading edge at positive xc.
    for (int i = 1; i <= au_radii; ++i) {
        stations.r(i) = r(i);
        for (int k = 1; k <= au_points; ++k) {
            stations.xc(i, k) = -x(i, au_points + 1 - k);
            stations.yb(i, k) = yb(i, au_points + 1 - k);
            stations.yf(i, k) = yf(i, au_points + 1 - k);
        }
    }
    model.rake_angle = 0.0f;
    stations.point_count = au_points;
    stations.station_count = au_radii;

    for (int i = 1; i <= au_radii; ++i) {
        const float a = c(i) * leading_width(i) / 100.0f;
        model.a_fraction(i) = a / c(i);
        model.b_fraction(i) = thickness_position(i) / 100.0f;
        model.tm(i) = thickness_percent(i) * model.diameter / 100.0f;
        stations.skew_shift(i) = a - c(i) / 2.0f;
        stations.iT(i) = 0.0f;
    }
}

}  // namespace korvanti
