#include "form_plans.h"

#include <cmath>

namespace telvaro {

namespace {

constexpr double kMillimetres = 1000.0;

// Maps lengths in metres to sheet millimetres for one view: the sheet point
// of (a, b) is (x0 + sx·s·1000·a, y0 + sy·s·1000·b).
struct View {
    double x0, y0, s;
    double sx = 1, sy = 1;
    double x(double a) const { return x0 + sx * s * kMillimetres * a; }
    double y(double b) const { return y0 + sy * s * kMillimetres * b; }
};

void new_layer(Script& script, const std::string& name) {
    script.line("layer new " + name + " set " + name + " ");
}

// "PLINE", the points 1..n, and the Enter that ends it.
template <typename PointAt>
void polyline(Script& script, int n, PointAt point_at) {
    script.line("PLINE");
    for (int i = 1; i <= n; ++i) point_at(i);
    script.enter();
}

void pedit_last(Script& script, const std::string& option) {
    script.line("PEDIT L");
    script.line(option);
}

void pedit_selected_by_last_point(Script& script) {
    script.line("PEDIT");
    script.repeat_last_point();
    script.line("F ");
}

// The blade reference line from the view's origin up to the tip radius.
void reference_line(Script& script, const PanelData& d, const View& view) {
    script.line("LINE");
    script.exact_point(view.x0, view.y0);
    script.exact_point(view.x0, view.y(d.r(d.M)));
    script.enter();
}

// Polylines through the surface points of one side, radius by radius, drawn
// with the sheet coordinates u (horizontal) and v (vertical) of the view.
void surface_sections(Script& script, const PanelData& d, const View& view, int side, int u, int v,
                      const std::string& pedit_option) {
    for (int k = 1; k <= d.M; ++k) {
        polyline(script, d.NCH(k), [&](int w) {
            script.point(view.x(d.S(side, u, k, w)), view.y(d.S(side, v, k, w)));
        });
        pedit_last(script, pedit_option);
    }
}

// Polyline across the radii through face point w = 1 (leading) or w = NCH(k)
// (trailing) of every radius.
void surface_edge(Script& script, const PanelData& d, const View& view, bool last_point, int u,
                  int v) {
    polyline(script, d.M, [&](int k) {
        const int w = last_point ? d.NCH(k) : 1;
        script.point(view.x(d.S(kFace, u, k, w)), view.y(d.S(kFace, v, k, w)));
    });
}

void section_outlines(Script& script, const PanelData& d, const View& view) {
    for (int k = 1; k <= d.M; ++k) {
        polyline(script, d.NP(k),
                 [&](int j) { script.point(view.x(d.xc(k, j)), view.y(d.ys(k, j))); });
        pedit_last(script, "F ");
        polyline(script, d.NP(k),
                 [&](int j) { script.point(view.x(d.xc(k, j)), view.y(d.yp(k, j))); });
        pedit_last(script, "F ");
    }
}

void section_data_points(Script& script, const PanelData& d, const View& view, double s) {
    const std::string radius = decimal_text(s * d.D / 2);
    auto circle = [&](double a, double b) {
        script.line("CIRCLE");
        script.point(view.x(a), view.y(b));
        script.line(radius);
    };
    for (int k = 1; k <= d.M; ++k) {
        for (int j = 1; j <= d.NP(k); ++j) circle(d.xc(k, j), d.ys(k, j));
        for (int j = 1; j <= d.NP(k); ++j) circle(d.xc(k, j), d.yp(k, j));
    }
}

// Trailing and leading edge curves through the mid-points of the section ends;
// the drawn y is the mean of the two drawn ordinates.
void edge_curves(Script& script, const PanelData& d, const View& view) {
    auto mid_point = [&](int k, int j) {
        script.point(view.x(d.xc(k, j)), (view.y(d.ys(k, j)) + view.y(d.yp(k, j))) / 2);
    };
    polyline(script, d.M, [&](int k) { mid_point(k, 1); });
    pedit_selected_by_last_point(script);
    polyline(script, d.M, [&](int k) { mid_point(k, d.NP(k)); });
    pedit_last(script, "F ");
}

void skew_curve(Script& script, const PanelData& d, const View& view) {
    polyline(script, d.M, [&](int k) {
        script.point(view.x((d.xc(k, 1) + d.xc(k, d.NP(k))) / 2), view.y(d.r(k)));
    });
    script.line("PEDIT");
    script.line("L F ");
}

}  // namespace

double scale_limit(double D) { return 0.2 / (D / 2); }

void write_preamble(Script& script) {
    script.line("ltscale 10");
    script.line("OSMODE 0");
    script.line("SNAP OFF");
    script.line("erase w 0,0 397,252  limits 0,0 397,252");
    script.line("grid 10 zoom a layer set 0");
    script.line(" regenauto off");
    script.line("COLOR 4");
}

void write_expanded_outline(Script& script, const PanelData& d, double s) {
    const View view{280, 40, s};
    new_layer(script, "Duzlenmis_acinim_alani");
    script.line("COLOR 5");
    section_outlines(script, d, view);
    new_layer(script, "Duzlenmis_acinim_alani_data_noktalari");
    script.line("COLOR 4");
    section_data_points(script, d, view, s);
    script.line("COLOR 3");
    edge_curves(script, d, view);
    reference_line(script, d, view);
    new_layer(script, "Skew_Egrisi_DAR");
    script.line("COLOR 4");
    skew_curve(script, d, view);
}

void write_projected_outline(Script& script, const PanelData& d, double s) {
    const View view{130, 40, s};
    new_layer(script, "Izdusum_alani");
    script.line("COLOR 2");
    script.line("COLOR 2");
    surface_sections(script, d, view, kFace, kY, kZ, "F ");
    script.line("COLOR 3");
    surface_edge(script, d, view, false, kY, kZ);
    pedit_last(script, "F ");
    surface_edge(script, d, view, true, kY, kZ);
    pedit_last(script, "F ");
    reference_line(script, d, view);
}

void write_side_view(Script& script, const PanelData& d, double s) {
    const View view{130, 40, s, -1, 1};
    new_layer(script, "Yan_Gorunus");
    script.line("COLOR 1");
    reference_line(script, d, view);
    script.line("COLOR 5");
    surface_sections(script, d, view, kFace, kX, kZ, "F ");
    surface_edge(script, d, view, false, kX, kZ);
    pedit_selected_by_last_point(script);
    script.line("COLOR 6");
    surface_sections(script, d, view, kBack, kX, kZ, "F ");
    surface_edge(script, d, view, true, kX, kZ);
    pedit_last(script, "F ");
}

void write_top_view(Script& script, const PanelData& d, double s) {
    const View view{130, 40, s, -1, -1};
    new_layer(script, "Ust_Gorunus");
    script.line("COLOR 5");
    script.line("LINE");
    script.exact_point(view.x0 - view.y0 / 2, view.y0);
    script.exact_point(view.x0 + view.y0 / 2, view.y0);
    script.enter();
    script.line("LINE");
    script.exact_point(view.x0, view.y0 + view.x0 / 4);
    script.exact_point(view.x0, view.y0 - view.x0 / 4);
    script.enter();
    script.line("COLOR 6");
    surface_sections(script, d, view, kFace, kX, kY, "D ");
    script.line("COLOR 7");
    surface_sections(script, d, view, kBack, kX, kY, "D ");
}

std::string radius_label(const PanelData& d, int k) {
    if (k == d.M) return " r/R = 1.000";
    long c = std::lround(1000.0 * d.r(k) / d.r(d.M));
    if (c > 999) c /= 10;
    std::string digits = std::to_string(c);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return " r/R = 0." + digits;
}

void write_radius_lines(Script& script, const PanelData& d, double s) {
    const View view{0, 40, s};
    new_layer(script, "Yaricaplar");
    script.line("COLOR 1");
    for (int k = 1; k <= d.M; ++k) {
        script.line("LINE");
        script.exact_point(70, view.y(d.r(k)));
        script.exact_point(335, view.y(d.r(k)));
        script.enter();
    }
    script.line("STYLE COMPLEX COMPLEX 3.5 1 0 N N N");
    for (int k = 1; k <= d.M; ++k) {
        script.line("TEXT");
        script.exact_point(337, view.y(d.r(k)));
        script.line(radius_label(d, k));
    }
}

void write_sheet_frame(Script& script) {
    script.line("layer new Dis_Cerceve set Dis_Cerceve ");
    script.line("COLOR 1");
    script.line("LINE 10,10 387,10 387,242 10,242 C");
}

void write_form_plans(Script& script, const PanelData& d, double s) {
    write_preamble(script);
    write_expanded_outline(script, d, s);
    write_projected_outline(script, d, s);
    write_side_view(script, d, s);
    write_top_view(script, d, s);
    write_radius_lines(script, d, s);
    write_sheet_frame(script);
}

}  // namespace telvaro
