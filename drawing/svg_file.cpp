#include "svg_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/markup_text.h"
#include "sheet_render.h"

namespace telvaro {

namespace {

using korvanti::markup_escaped;

constexpr double kLineWidth = 0.25;  // mm of paper, as on the PDF
constexpr double kCapHeight = 0.72;  // cap height of the sans-serif font over its size
constexpr double kViewWidth = 390;   // the 3D view is fitted into this many mm
constexpr double kViewMargin = 5;

// Shortest round-trip text of a coordinate, with at most 6 decimals: a
// thousandth of a micrometre on the sheet is far below anything drawn.
std::string number(double v) {
    if (!std::isfinite(v)) v = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", v);
    std::string s = text;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

std::string rgb(const std::array<double, 3>& c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(std::lround(c[0] * 255)),
                  static_cast<int>(std::lround(c[1] * 255)),
                  static_cast<int>(std::lround(c[2] * 255)));
    return text;
}

class SheetWriter {
public:
    explicit SheetWriter(const Drawing& drawing) : drawing_(drawing) {}

    std::string text() {
        out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                number(Drawing::kSheetWidth) + "mm\" height=\"" + number(Drawing::kSheetHeight) +
                "mm\" viewBox=\"0 0 " + number(Drawing::kSheetWidth) + " " +
                number(Drawing::kSheetHeight) + "\">\n";
        out_ += "<g fill=\"none\" stroke-width=\"" + number(kLineWidth) +
                "\" stroke-linecap=\"round\" stroke-linejoin=\"round\" "
                "font-family=\"sans-serif\">\n";
        for (const Entity& e : drawing_.entities()) {
            const std::string attributes =
                "data-layer=\"" +
                markup_escaped(drawing_.layers()[static_cast<std::size_t>(e.layer)]) + "\"";
            const std::string colour = rgb(paper_colour(e.colour));
            std::visit([&](const auto& shape) { write(shape, attributes, colour); }, e.shape);
        }
        out_ += "</g>\n</svg>\n";
        return std::move(out_);
    }

private:
    // Sheet millimetres, y up, to SVG units, y down.
    std::string xy(Point2 p) const {
        return number(p.x) + "," + number(Drawing::kSheetHeight - p.y);
    }

    void write(const Polyline& p, const std::string& attributes, const std::string& colour) {
        std::string d;
        if (!p.points.empty()) d = "M" + xy(p.points.front());
        if (p.fitted && p.points.size() > 1) {
            for (const Bezier& b : fitted_curve(p.points))
                d += " C" + xy(b.c1) + " " + xy(b.c2) + " " + xy(b.p3);
        } else {
            for (std::size_t i = 1; i < p.points.size(); ++i) d += " L" + xy(p.points[i]);
        }
        out_ += "<path " + attributes + " stroke=\"" + colour + "\" d=\"" + d + "\"/>\n";
    }
    // One line per segment, as the DXF file has them.
    void write(const LineChain& chain, const std::string& attributes, const std::string& colour) {
        const auto& p = chain.points;
        for (std::size_t i = 0; i + 1 < p.size(); ++i) line(p[i], p[i + 1], attributes, colour);
        if (chain.closed && p.size() > 2) line(p.back(), p.front(), attributes, colour);
    }
    void line(Point2 a, Point2 b, const std::string& attributes, const std::string& colour) {
        out_ += "<line " + attributes + " stroke=\"" + colour + "\" x1=\"" + number(a.x) +
                "\" y1=\"" + number(Drawing::kSheetHeight - a.y) + "\" x2=\"" + number(b.x) +
                "\" y2=\"" + number(Drawing::kSheetHeight - b.y) + "\"/>\n";
    }
    void write(const Circle& c, const std::string& attributes, const std::string& colour) {
        out_ += "<circle " + attributes + " stroke=\"" + colour + "\" cx=\"" + number(c.centre.x) +
                "\" cy=\"" + number(Drawing::kSheetHeight - c.centre.y) + "\" r=\"" +
                number(c.radius) + "\"/>\n";
    }
    void write(const Text& t, const std::string& attributes, const std::string& colour) {
        out_ += "<text " + attributes + " fill=\"" + colour + "\" stroke=\"none\" x=\"" +
                number(t.at.x) + "\" y=\"" + number(Drawing::kSheetHeight - t.at.y) +
                "\" font-size=\"" + number(t.style.height / kCapHeight) + "\">" +
                markup_escaped(t.text) + "</text>\n";
    }
    void write(const Face&, const std::string&, const std::string&) {}

    const Drawing& drawing_;
    std::string out_;
};

// The 3D view: its faces as on the PDF, fitted into kViewWidth millimetres.
std::string view_text(const Drawing& drawing) {
    const std::vector<ProjectedFace> faces = projected_faces(drawing);
    double left = 0, bottom = 0, right = 1, top = 1;
    if (!faces.empty()) {
        left = bottom = HUGE_VAL;
        right = top = -HUGE_VAL;
        for (const ProjectedFace& f : faces)
            for (const Point2& q : f.corners) {
                left = std::min(left, q.x);
                right = std::max(right, q.x);
                bottom = std::min(bottom, q.y);
                top = std::max(top, q.y);
            }
    }
    const double scale = kViewWidth / std::max({right - left, top - bottom, 1e-12});
    const double width = (right - left) * scale + 2 * kViewMargin;
    const double height = (top - bottom) * scale + 2 * kViewMargin;
    auto xy = [&](Point2 q) {
        return number(kViewMargin + (q.x - left) * scale) + "," +
               number(kViewMargin + (top - q.y) * scale);
    };
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width) +
                      "mm\" height=\"" + number(height) + "mm\" viewBox=\"0 0 " + number(width) +
                      " " + number(height) + "\">\n";
    out += "<g stroke=\"#1f1f1f\" stroke-width=\"0.08\" stroke-linejoin=\"round\">\n";
    for (const ProjectedFace& f : faces) {
        const Entity& e = drawing.entities()[f.entity];
        std::string points;
        for (const Point2& q : f.corners) points += (points.empty() ? "" : " ") + xy(q);
        out += "<polygon data-layer=\"" +
               markup_escaped(drawing.layers()[static_cast<std::size_t>(e.layer)]) + "\" fill=\"" +
               rgb(face_colour(f)) + "\" points=\"" + points + "\"/>\n";
    }
    out += "</g>\n</svg>\n";
    return out;
}

}  // namespace

std::string svg_text(const Drawing& drawing) {
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    if (drawing.on_sheet()) return head + SheetWriter(drawing).text();
    return head + view_text(drawing);
}

}  // namespace telvaro
