// Gawn series: elliptical outline whose width is found by a stepwise search
// matching the expanded area ratio (blade area by three-point quadrature),
// flat-faced segmental sections with circular-arc backs through the two edge
// points and the point of maximum thickness. Laid out on the 20-inch model,
// then scaled to the diameter.
#include <cmath>

#include "numeric/circle.h"
#include "numeric/local_interpolation.h"
#include "series/series_routines.h"
#include "series/series_tables.h"

namespace korvanti {

namespace {

constexpr int gawn_radii = 12;
constexpr int gawn_points = 15;
constexpr int gawn_mid_chord = 8;
constexpr float gawn_pi = 3.1415927f;
constexpr float model_radius = 10.0f;    // inches
constexpr float edge_thickness = 0.02f;  // inches, every section
constexpr float search_start = 0.3f;
constexpr float search_step = 0.0001f;
constexpr int search_steps = 15000;
constexpr const char* gawn_name = "GAWN";

const Array1<float, gawn_radii> gawn_radius_ratio = list_from_values<gawn_radii>(
    {0.2f, 0.3f, 0.4f, 0.5f, 0.55f, 0.6f, 0.7f, 0.8f, 0.9f, 0.95f, 0.985f, 1.0f});

// Fraction of the chord from the trailing edge.
const Array1<float, gawn_points> gawn_chord_fraction =
    list_from_values<gawn_points>({0.0f, 0.025f, 0.05f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f,
                                   0.8f, 0.9f, 0.95f, 0.975f, 1.0f});

// Model radii and chords (inches) of the outline for one width parameter,
// with the ellipse factors √(1 - u·u) that do not depend on it.
struct GawnOutline {
    Array1<float, gawn_radii> rho, w, ellipse;
};

// The radii and ellipse factors, u = (r/R - 0.55)/0.45.
void gawn_outline_radii(GawnOutline& o) {
    for (int i = 1; i <= gawn_radii; ++i) {
        const float x = gawn_radius_ratio(i);
        const float u = (x - 0.55f) / 0.45f;
        o.rho(i) = x * model_radius;
        o.ellipse(i) = std::sqrt(1.0f - u * u);
    }
}

// Ellipse of width 10·p at r/R 0.55 and half-length 0.45 in r/R, taken as
// (10·p)·√(1 - u·u); the tip chord is a quarter of the chord at r/R 0.985.
// The radii and ellipse factors are in place.
void gawn_outline(float p, GawnOutline& o) {
    for (int i = 1; i <= gawn_radii; ++i) o.w(i) = 10.0f * p * o.ellipse(i);
    o.w(gawn_radii) = o.w(gawn_radii - 1) / 4.0f;
}

// E = (3·A)/(10·10·π): three blades on the model disc.
float gawn_area_ratio(const GawnOutline& o) {
    const float area = integrate_three_point(gawn_radii, o.rho.view(), o.w.view());
    return 3.0f * area / (model_radius * model_radius * gawn_pi);
}

// p runs from 0.3 by repeated addition of 0.0001 (so in 32-bit steps) for
// at most 15000 steps, the truncated (1.8 - 0.3 + 0.0001)/0.0001 = 15000.9998
// of the 32-bit constants taken exactly (in 32-bit division the quotient
// rounds up to 15001). The first outline whose area ratio exceeds the
// requested one is kept. Returns false when none up to there is wide enough.
bool gawn_width_search(float area_ratio, GawnOutline& o) {
    gawn_outline_radii(o);
    float p = search_start;
    for (int n = 1; n <= search_steps; ++n) {
        gawn_outline(p, o);
        if (area_ratio < gawn_area_ratio(o)) return true;
        p = p + search_step;
    }
    return false;
}

// Maximum thickness on the model, t·20 in with t = 0.06 - 0.059·r/R.
float gawn_model_thickness(int i) {
    const float t = 0.06f + gawn_radius_ratio(i) * (0.001f - 0.06f);
    return t * 20.0f;
}

// Circular-arc back through (-w/2, 0.02), (0, T) and (w/2, 0.02).
void gawn_arc_section(int i, float w, float thickness, Array2<float, gawn_radii, gawn_points>& x,
                      Array2<float, gawn_radii, gawn_points>& y) {
    float x0 = 0.0f, y0 = 0.0f, r0 = 0.0f;
    circle_through_three_points(-w / 2.0f, edge_thickness, 0.0f, thickness, w / 2.0f,
                                edge_thickness, x0, y0, r0);
    for (int k = 1; k <= gawn_points; ++k) {
        x(i, k) = gawn_chord_fraction(k) * w - w / 2.0f;
        const float dx = x(i, k) - x0;
        y(i, k) = std::sqrt(r0 * r0 - dx * dx) + y0;
    }
}

// The tip is a plate of the edge thickness.
void gawn_tip_section(int i, float w, Array2<float, gawn_radii, gawn_points>& x,
                      Array2<float, gawn_radii, gawn_points>& y) {
    for (int k = 1; k <= gawn_points; ++k) {
        x(i, k) = gawn_chord_fraction(k) * w - w / 2.0f;
        y(i, k) = edge_thickness;
    }
}

}  // namespace

void gawn_series(BladeModel& model, SeriesStations& stations) {
    require_series_particulars(model, gawn_name, false);
    GawnOutline outline;
    if (!gawn_width_search(model.area_ratio, outline)) {
        reject_series_request(gawn_name,
                              "acinim alani orani Ear = " + value_text(model.area_ratio) +
                                  " icin kanat genisligi bulunamadi (p = 1.8'e kadar)");
    }
    outline.w(gawn_radii) = outline.w(gawn_radii - 1) / 4.0f;

    Array2<float, gawn_radii, gawn_points> x, y;
    for (int i = 1; i <= gawn_radii - 1; ++i)
        gawn_arc_section(i, outline.w(i), gawn_model_thickness(i), x, y);
    gawn_tip_section(gawn_radii, outline.w(gawn_radii), x, y);

    const float s = model.diameter / 0.508f * 0.0254f;  // metres per model inch
    for (int i = 1; i <= gawn_radii; ++i) {
        stations.r(i) = outline.rho(i) * s;
        stations.skew_shift(i) = 0.0f;
        stations.iT(i) = 0.0f;
        for (int k = 1; k <= gawn_points; ++k) {
            stations.xc(i, k) = x(i, k) * s;
            stations.yb(i, k) = y(i, k) * s;
            stations.yf(i, k) = 0.0f;
        }
    }
    stations.point_count = gawn_points;
    stations.station_count = gawn_radii;

    model.rake_angle = 0.0f;
    for (int i = 1; i <= gawn_radii; ++i) {
        model.a_fraction(i) = 0.5f;
        model.b_fraction(i) = 0.5f;
        model.tm(i) = stations.yb(i, gawn_mid_chord);
    }
}

}  // namespace korvanti
