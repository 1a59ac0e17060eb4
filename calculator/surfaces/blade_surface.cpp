// Blade surface by helical placement of the expanded sections: each side of
// a report section is resampled at equal arc-length fractions along a
// chord-length parametric spline, then wrapped onto the cylinder of its
// radius along the pitch helix (X = -(e cos φ + x sin φ), θ = (x cos φ -
// e sin φ)/ρ); the root row is wrapped onto the hub of revolution instead.
// The max-thickness points come from a 1 %-of-chord search on the side
// splines and the same helix construction written with s, d and h.
#include "surfaces/blade_surface.h"

#include <cmath>

#include "numeric/cubic_spline.h"
#include "surfaces/hub_mesh.h"
#include "surfaces/space_curve.h"

namespace korvanti {

namespace {

constexpr float pi = 3.1415927f;

using SideRow = Array1<float, report_capacity>;

// One resampled side laid on its helix: X before rake, Y, Z. At the root
// (on_hub) the radius is looked up on the hub profile at X; `rho` carries the
// last radius from point to point.
void place_point(float x, float ordinate, float r, float cos_phi, float sin_phi, bool on_hub,
                 const HubProfileSpline& hub, float& rho, float& X, float& Y, float& Z,
                 Console& console) {
    float e = ordinate - r;
    X = -(cos_phi * e + sin_phi * x);
    if (on_hub) {
        int found = 0;
        cubic_spline_value(hub.NH, X, rho, hub.xH.view(), hub.spline, found, console);
    }
    float theta = (cos_phi * x - sin_phi * e) / rho;
    Y = rho * std::sin(theta);
    Z = rho * std::cos(theta);
}

void place_section(const ReportSections& s, const HubProfileSpline& hub, int k,
                   BladeSurface& surface, Console& console) {
    int Nc = surface.Nc;
    float r = s.r(k);
    float phi = std::atan2(s.P(k), pi * 2.0f * r);
    float cos_phi = std::cos(phi);
    float sin_phi = std::sin(phi);
    SideRow xp, yp, xs, ys;
    resample_section_side(Nc, s.NP(k), s.xc.row(k), s.yp.row(k), surface.u.view(), xp.view(),
                          yp.view());
    resample_section_side(Nc, s.NP(k), s.xc.row(k), s.ys.row(k), surface.u.view(), xs.view(),
                          ys.view());

    bool on_hub = (k == 1) && hub.NH > 0;
    float rho = r;
    for (int i = 1; i <= Nc; ++i) {
        float X, Y, Z;
        place_point(xp(i), yp(i), r, cos_phi, sin_phi, on_hub, hub, rho, X, Y, Z, console);
        surface.pressure.X(k, i) = X + s.iT(k);
        surface.pressure.Y(k, i) = Y;
        surface.pressure.Z(k, i) = Z;
        place_point(xs(i), ys(i), r, cos_phi, sin_phi, on_hub, hub, rho, X, Y, Z, console);
        surface.suction.X(k, i) = X + s.iT(k);
        surface.suction.Y(k, i) = Y;
        surface.suction.Z(k, i) = Z;
    }
}

float side_value(const ReportSections& s, int k, const SplineCoefficients<report_capacity>& spline,
                 float x, float previous, Console& console) {
    int found = 0;
    float y = previous;
    cubic_spline_value(s.NP(k), x, y, s.xc.row(k), spline, found, console);
    return y;
}

// Chordwise position of the largest thickness, on a grid of 1 % of chord
// from the trailing edge; ties keep the earlier position. A step that does
// not move forward (a chord of zero, negative or too small for the
// abscissae) ends the search.
float max_thickness_position(const ReportSections& s, const BladeSurface& surface, int k,
                             Console& console) {
    float r = s.r(k);
    float c = s.c(k);
    float step = c / 100.0f;
    float end = s.xc(k, s.NP(k)) - step;
    float x = s.xc(k, 1);
    float xm = x;
    float best = 0.0f;
    float ys = r, yp = r;
    do {
        if (!(x + step > x)) break;
        x = x + step;
        ys = side_value(s, k, surface.suction_spline(k), x, ys, console);
        yp = side_value(s, k, surface.pressure_spline(k), x, yp, console);
        float t = std::fabs((ys - r) - (yp - r)) / c;
        if (t > best) {
            best = t;
            xm = x;
        }
    } while (x < end);
    return xm;
}

// The point of a side at abscissa xm, carried along the pitch helix into the
// plane Y = 0: s is the helix arc, d the normal distance from the chord line.
Point3 helix_point(float xm, float Y0, float r, float h, float q, float iT) {
    float s = xm + (r - Y0) / q;
    float d = std::sqrt((Y0 - r) * (Y0 - r) + (xm - s) * (xm - s));
    if (Y0 < r) d = -d;
    float theta = s / std::sqrt(r * r + h * h);
    Point3 point;
    point.X = -theta * h - d + iT;
    point.Y = 0.0f;
    point.Z = r * std::cos(theta);
    return point;
}

}  // namespace

int surface_point_count(ReportMode mode, const ReportSections& sections) {
    return (mode == ReportMode::equally_spaced) ? sections.M : sections.NP(1);
}

void fit_section_sides(const ReportSections& s, SectionSideSplines& pressure,
                       SectionSideSplines& suction) {
    for (int k = 1; k <= s.M; ++k) {
        for (int j = 1; j <= s.NP(k); ++j) {
            pressure(k)(1, j) = s.yp(k, j);
            suction(k)(1, j) = s.ys(k, j);
        }
        cubic_spline_fit(s.xc.row(k), pressure(k), s.NP(k), 0, 0);
        cubic_spline_fit(s.xc.row(k), suction(k), s.NP(k), 0, 0);
    }
}

void resample_section_side(int Nc, int NP, View1<const float> xc, View1<const float> ordinate,
                           View1<const float> u, View1<float> xout, View1<float> yout) {
    Array1<float, curve_capacity> x, y, z, t, tq, zout;
    for (int j = 1; j <= NP; ++j) {
        x(j) = xc(j);
        y(j) = ordinate(j);
        z(j) = 0.0f;
    }
    SpaceCurveTable table;
    int error = 0;
    fit_space_curve(NP, x.view(), y.view(), z.view(), t.view(), table, 0, error);
    float T = t(NP);
    for (int i = 1; i <= Nc; ++i) tq(i) = T * u(i);
    evaluate_space_curve(Nc, tq.view(), NP, x.view(), y.view(), z.view(), t.view(), table, xout,
                         yout, zout.view());
}

void place_sections_on_helices(const ReportSections& sections, const HubProfileSpline& hub,
                               BladeSurface& surface, Console& console) {
    for (int k = 1; k <= sections.M; ++k) place_section(sections, hub, k, surface, console);
}

void find_max_thickness_points(const ReportSections& s, BladeSurface& surface, Console& console) {
    for (int k = 1; k <= s.M; ++k) {
        float r = s.r(k);
        float h = s.P(k) / (pi * 2.0f);
        float phi = std::atan2(s.P(k), pi * 2.0f * r);
        float q = std::tan(pi / 2.0f - phi);
        float xm = max_thickness_position(s, surface, k, console);
        float y_pressure = side_value(s, k, surface.pressure_spline(k), xm, r, console);
        float y_suction = side_value(s, k, surface.suction_spline(k), xm, r, console);
        surface.max_thickness(k, pressure_side) = helix_point(xm, y_pressure, r, h, q, s.iT(k));
        surface.max_thickness(k, suction_side) = helix_point(xm, y_suction, r, h, q, s.iT(k));
    }
}

void mirror_to_left_hand(ReportSections& sections, BladeSurface& surface, Mesh& mesh) {
    for (int n = 1; n <= mesh.node_count; ++n) mesh.Y(n) = -mesh.Y(n);
    for (int k = 1; k <= sections.M; ++k) {
        for (int j = 1; j <= sections.NP(k); ++j) sections.xc(k, j) = -sections.xc(k, j);
    }
    for (int k = 1; k <= sections.M; ++k) {
        for (int i = 1; i <= surface.Ncount(k); ++i) {
            surface.pressure.Y(k, i) = -surface.pressure.Y(k, i);
            surface.suction.Y(k, i) = -surface.suction.Y(k, i);
        }
    }
}

std::unique_ptr<Surfaces> build_surfaces(const BladeModel& model, const ReportSections& sections,
                                         const HubProfileSpline& hub, Console& console) {
    auto out = std::make_unique<Surfaces>();
    out->sections = sections;
    BladeSurface& surface = out->surface;
    int Nc = surface_point_count(model.section_report_mode, sections);
    surface.Nc = Nc;
    // u(i) = (i - 1) times the one value 1/(Nc - 1), not (i - 1)/(Nc - 1).
    float spacing = 1.0f / static_cast<float>(Nc - 1);
    for (int i = 1; i <= Nc; ++i) surface.u(i) = static_cast<float>(i - 1) * spacing;
    for (int k = 1; k <= sections.M; ++k) surface.Ncount(k) = Nc;
    fit_section_sides(sections, surface.pressure_spline, surface.suction_spline);

    place_sections_on_helices(sections, hub, surface, console);
    find_max_thickness_points(sections, surface, console);
    build_hub_and_panels(surface, sections, hub, model.blade_count, out->grid, out->mesh, console);
    if (model.left_hand()) mirror_to_left_hand(out->sections, surface, out->mesh);
    return out;
}

}  // namespace korvanti
