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

// A point computed from the propeller's data: x rounded to a whole sheet
// unit, y as computed.
Point2 data_point(double x, double y) { return {std::round(x), y}; }

// A polyline through the points 1..n.
template <typename PointAt>
Polyline polyline(int n, PointAt point_at, bool fitted, PolylinePick pick) {
    Polyline p{{}, fitted, pick};
    p.points.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) p.points.push_back(point_at(i));
    return p;
}

void line(Drawing& drawing, Point2 from, Point2 to) { drawing.add(LineChain{{from, to}, false}); }

// The blade reference line from the view's origin up to the tip radius.
void reference_line(Drawing& drawing, const PanelData& d, const View& view) {
    line(drawing, {view.x0, view.y0}, {view.x0, view.y(d.r(d.M))});
}

// Polylines through the surface points of one side, radius by radius, drawn
// with the sheet coordinates u (horizontal) and v (vertical) of the view.
void surface_sections(Drawing& drawing, const PanelData& d, const View& view, int side, int u,
                      int v, bool fitted) {
    for (int k = 1; k <= d.M; ++k)
        drawing.add(polyline(
            d.NCH(k),
            [&](int w) {
                return data_point(view.x(d.S(side, u, k, w)), view.y(d.S(side, v, k, w)));
            },
            fitted, PolylinePick::last));
}

// Polyline across the radii through face point w = 1 (leading) or w = NCH(k)
// (trailing) of every radius.
void surface_edge(Drawing& drawing, const PanelData& d, const View& view, bool last_point, int u,
                  int v, PolylinePick pick) {
    drawing.add(polyline(
        d.M,
        [&](int k) {
            const int w = last_point ? d.NCH(k) : 1;
            return data_point(view.x(d.S(kFace, u, k, w)), view.y(d.S(kFace, v, k, w)));
        },
        true, pick));
}

void section_outlines(Drawing& drawing, const PanelData& d, const View& view) {
    for (int k = 1; k <= d.M; ++k) {
        drawing.add(polyline(
            d.NP(k), [&](int j) { return data_point(view.x(d.xc(k, j)), view.y(d.ys(k, j))); },
            true, PolylinePick::last));
        drawing.add(polyline(
            d.NP(k), [&](int j) { return data_point(view.x(d.xc(k, j)), view.y(d.yp(k, j))); },
            true, PolylinePick::last));
    }
}

void section_data_points(Drawing& drawing, const PanelData& d, const View& view, double s) {
    const double radius = s * d.D / 2;
    for (int k = 1; k <= d.M; ++k) {
        for (int j = 1; j <= d.NP(k); ++j)
            drawing.add(Circle{data_point(view.x(d.xc(k, j)), view.y(d.ys(k, j))), radius});
        for (int j = 1; j <= d.NP(k); ++j)
            drawing.add(Circle{data_point(view.x(d.xc(k, j)), view.y(d.yp(k, j))), radius});
    }
}

// Trailing and leading edge curves through the mid-points of the section ends;
// the drawn y is the mean of the two drawn ordinates.
void edge_curves(Drawing& drawing, const PanelData& d, const View& view) {
    auto mid_point = [&](int k, int j) {
        return data_point(view.x(d.xc(k, j)), (view.y(d.ys(k, j)) + view.y(d.yp(k, j))) / 2);
    };
    drawing.add(polyline(
        d.M, [&](int k) { return mid_point(k, 1); }, true, PolylinePick::by_last_point));
    drawing.add(polyline(
        d.M, [&](int k) { return mid_point(k, d.NP(k)); }, true, PolylinePick::last));
}

void skew_curve(Drawing& drawing, const PanelData& d, const View& view) {
    drawing.add(polyline(
        d.M,
        [&](int k) {
            return data_point(view.x((d.xc(k, 1) + d.xc(k, d.NP(k))) / 2), view.y(d.r(k)));
        },
        true, PolylinePick::last_same_line));
}

void draw_expanded_outline(Drawing& drawing, const PanelData& d, double s) {
    const View view{280, 40, s};
    drawing.new_layer("Duzlenmis_acinim_alani");
    drawing.colour(5);
    section_outlines(drawing, d, view);
    drawing.new_layer("Duzlenmis_acinim_alani_data_noktalari");
    drawing.colour(4);
    section_data_points(drawing, d, view, s);
    drawing.colour(3);
    edge_curves(drawing, d, view);
    reference_line(drawing, d, view);
    drawing.new_layer("Skew_Egrisi_DAR");
    drawing.colour(4);
    skew_curve(drawing, d, view);
}

void draw_projected_outline(Drawing& drawing, const PanelData& d, double s) {
    const View view{130, 40, s};
    drawing.new_layer("Izdusum_alani");
    drawing.colour(2);
    drawing.colour(2);  // the script has always said it twice
    surface_sections(drawing, d, view, kFace, kY, kZ, true);
    drawing.colour(3);
    surface_edge(drawing, d, view, false, kY, kZ, PolylinePick::last);
    surface_edge(drawing, d, view, true, kY, kZ, PolylinePick::last);
    reference_line(drawing, d, view);
}

void draw_side_view(Drawing& drawing, const PanelData& d, double s) {
    const View view{130, 40, s, -1, 1};
    drawing.new_layer("Yan_Gorunus");
    drawing.colour(1);
    reference_line(drawing, d, view);
    drawing.colour(5);
    surface_sections(drawing, d, view, kFace, kX, kZ, true);
    surface_edge(drawing, d, view, false, kX, kZ, PolylinePick::by_last_point);
    drawing.colour(6);
    surface_sections(drawing, d, view, kBack, kX, kZ, true);
    surface_edge(drawing, d, view, true, kX, kZ, PolylinePick::last);
}

// The top view's sections stay straight polylines.
void draw_top_view(Drawing& drawing, const PanelData& d, double s) {
    const View view{130, 40, s, -1, -1};
    drawing.new_layer("Ust_Gorunus");
    drawing.colour(5);
    line(drawing, {view.x0 - view.y0 / 2, view.y0}, {view.x0 + view.y0 / 2, view.y0});
    line(drawing, {view.x0, view.y0 + view.x0 / 4}, {view.x0, view.y0 - view.x0 / 4});
    drawing.colour(6);
    surface_sections(drawing, d, view, kFace, kX, kY, false);
    drawing.colour(7);
    surface_sections(drawing, d, view, kBack, kX, kY, false);
}

void draw_radius_lines(Drawing& drawing, const PanelData& d, double s) {
    const View view{0, 40, s};
    drawing.new_layer("Yaricaplar");
    drawing.colour(1);
    for (int k = 1; k <= d.M; ++k) line(drawing, {70, view.y(d.r(k))}, {335, view.y(d.r(k))});
    const TextStyle complex{"COMPLEX", "COMPLEX", 3.5};
    for (int k = 1; k <= d.M; ++k)
        drawing.add(Text{{337, view.y(d.r(k))}, radius_label(d, k), complex});
}

void draw_sheet_frame(Drawing& drawing) {
    drawing.new_layer("Dis_Cerceve");
    drawing.colour(1);
    drawing.add(LineChain{{{10, 10}, {387, 10}, {387, 242}, {10, 242}}, true});
}

}  // namespace

double scale_limit(double D) { return 0.2 / (D / 2); }

std::string radius_label(const PanelData& d, int k) {
    if (k == d.M) return " r/R = 1.000";
    long c = std::lround(1000.0 * d.r(k) / d.r(d.M));
    if (c > 999) c /= 10;
    std::string digits = std::to_string(c);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return " r/R = 0." + digits;
}

void draw_form_plans(Drawing& drawing, const PanelData& d, double s) {
    drawing.sheet_setup();
    drawing.colour(4);
    draw_expanded_outline(drawing, d, s);
    draw_projected_outline(drawing, d, s);
    draw_side_view(drawing, d, s);
    draw_top_view(drawing, d, s);
    draw_radius_lines(drawing, d, s);
    draw_sheet_frame(drawing);
}

}  // namespace telvaro
