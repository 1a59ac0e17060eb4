#include "openwater/diagram.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace korvanti::openwater {

namespace {

// A4 landscape, in points.
constexpr double page_width = 841.89, page_height = 595.28;
constexpr double png_scale = 2.0;  // pixels per point: 1684 × 1191
constexpr double left = 80, right = 170, top = 110, bottom = 70;

struct Colour {
    double r, g, b;
};
constexpr Colour curve_colours[] = {
    {0.05, 0.25, 0.70}, {0.75, 0.10, 0.10}, {0.05, 0.50, 0.15}, {0.55, 0.30, 0.65}};

std::string label(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// The top of an axis: the next tenth above the largest value.
double axis_top(double largest) { return std::max(0.1, std::ceil(largest * 10 - 1e-9) / 10); }

class Plot {
public:
    Plot(cairo_t* cr, const Diagram& d) : cr_(cr), d_(d) {
        double largest_j = d.j.empty() ? 1 : d.j.back();
        double largest_y = 0;
        for (const DiagramCurve& c : d.curves)
            for (double v : c.y) largest_y = std::max(largest_y, v);
        j_top_ = axis_top(largest_j);
        y_top_ = axis_top(largest_y);
    }

    void draw() {
        cairo_set_source_rgb(cr_, 1, 1, 1);
        cairo_paint(cr_);
        cairo_select_font_face(cr_, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        titles();
        grid_and_ticks();
        curves();
        legend();
        operating_point();
    }

private:
    double x(double j) const { return left + j / j_top_ * (page_width - left - right); }
    double y(double v) const {
        return page_height - bottom - v / y_top_ * (page_height - top - bottom);
    }

    void text(double px, double py, const std::string& s, double size, double align = 0) {
        cairo_set_font_size(cr_, size);
        cairo_text_extents_t e;
        cairo_text_extents(cr_, s.c_str(), &e);
        cairo_move_to(cr_, px - align * e.x_advance, py);
        cairo_show_text(cr_, s.c_str());
        cairo_new_path(cr_);
    }

    void titles() {
        cairo_set_source_rgb(cr_, 0, 0, 0);
        cairo_select_font_face(cr_, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        text(page_width / 2, 40, d_.title, 17, 0.5);
        cairo_select_font_face(cr_, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        double line = 62;
        for (const std::string& note : d_.notes) {
            text(page_width / 2, line, note, 11, 0.5);
            line += 15;
        }
        text((x(0) + x(j_top_)) / 2, page_height - 25, "advance ratio J = VA/(nD)", 12, 0.5);
        cairo_save(cr_);
        cairo_move_to(cr_, 28, (y(0) + y(y_top_)) / 2);
        cairo_rotate(cr_, -pi_half);
        cairo_rel_move_to(cr_, 0, 0);
        cairo_set_font_size(cr_, 12);
        const std::string axis = "KT, 10·KQ, η0";
        cairo_text_extents_t e;
        cairo_text_extents(cr_, axis.c_str(), &e);
        cairo_rel_move_to(cr_, -e.x_advance / 2, 0);
        cairo_show_text(cr_, axis.c_str());
        cairo_new_path(cr_);
        cairo_restore(cr_);
    }

    void grid_and_ticks() {
        const int j_lines = static_cast<int>(std::lround(j_top_ * 10));
        const int y_lines = static_cast<int>(std::lround(y_top_ * 10));
        cairo_set_line_width(cr_, 0.4);
        cairo_set_source_rgb(cr_, 0.78, 0.78, 0.78);
        for (int i = 0; i <= j_lines * 2; ++i) {
            cairo_move_to(cr_, x(i * 0.05), y(0));
            cairo_line_to(cr_, x(i * 0.05), y(y_top_));
        }
        for (int i = 0; i <= y_lines * 2; ++i) {
            cairo_move_to(cr_, x(0), y(i * 0.05));
            cairo_line_to(cr_, x(j_top_), y(i * 0.05));
        }
        cairo_stroke(cr_);
        cairo_set_source_rgb(cr_, 0, 0, 0);
        cairo_set_line_width(cr_, 1.0);
        cairo_rectangle(cr_, x(0), y(y_top_), x(j_top_) - x(0), y(0) - y(y_top_));
        cairo_stroke(cr_);
        for (int i = 0; i <= j_lines; ++i) text(x(i * 0.1), y(0) + 16, label(i * 0.1, 1), 10, 0.5);
        for (int i = 0; i <= y_lines; ++i)
            text(x(0) - 6, y(i * 0.1) + 3.5, label(i * 0.1, 1), 10, 1);
    }

    void style(size_t index) {
        const Colour& c = curve_colours[index % 4];
        cairo_set_source_rgb(cr_, c.r, c.g, c.b);
        cairo_set_line_width(cr_, 1.8);
        const double dash[] = {7, 4};
        cairo_set_dash(cr_, dash, d_.curves[index].dashed ? 2 : 0, 0);
    }

    void curves() {
        for (size_t k = 0; k < d_.curves.size(); ++k) {
            style(k);
            const std::vector<double>& v = d_.curves[k].y;
            for (size_t i = 0; i < v.size() && i < d_.j.size(); ++i)
                (i == 0 ? cairo_move_to : cairo_line_to)(cr_, x(d_.j[i]), y(std::max(0.0, v[i])));
            cairo_stroke(cr_);
        }
        cairo_set_dash(cr_, nullptr, 0, 0);
    }

    void legend() {
        const double lx = page_width - right + 20;
        double ly = top + 10;
        for (size_t k = 0; k < d_.curves.size(); ++k) {
            style(k);
            cairo_move_to(cr_, lx, ly);
            cairo_line_to(cr_, lx + 30, ly);
            cairo_stroke(cr_);
            cairo_set_dash(cr_, nullptr, 0, 0);
            cairo_set_source_rgb(cr_, 0, 0, 0);
            text(lx + 38, ly + 4, d_.curves[k].name, 11);
            ly += 20;
        }
        if (d_.operating_j) {
            cairo_set_source_rgb(cr_, 0, 0, 0);
            cairo_arc(cr_, lx + 15, ly, 3.5, 0, 2 * 3.14159265358979);
            cairo_fill(cr_);
            text(lx + 38, ly + 4, "operating point", 11);
        }
    }

    void operating_point() {
        if (!d_.operating_j) return;
        const double oj = *d_.operating_j;
        cairo_set_source_rgb(cr_, 0.2, 0.2, 0.2);
        cairo_set_line_width(cr_, 0.8);
        const double dash[] = {3, 3};
        cairo_set_dash(cr_, dash, 2, 0);
        cairo_move_to(cr_, x(oj), y(0));
        cairo_line_to(cr_, x(oj), y(y_top_));
        cairo_stroke(cr_);
        cairo_set_dash(cr_, nullptr, 0, 0);
        for (size_t k = 0; k < d_.operating_values.size() && k < d_.curves.size(); ++k) {
            cairo_set_source_rgb(cr_, 0, 0, 0);
            cairo_arc(cr_, x(oj), y(std::max(0.0, d_.operating_values[k])), 3.5, 0,
                      2 * 3.14159265358979);
            cairo_fill(cr_);
        }
        text(x(oj) + 4, y(y_top_) + 12, "J = " + label(oj, 4), 10);
    }

    static constexpr double pi_half = 1.57079632679489662;
    cairo_t* cr_;
    const Diagram& d_;
    double j_top_ = 1, y_top_ = 1;
};

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

std::optional<std::string> failure(cairo_status_t status) {
    if (status == CAIRO_STATUS_SUCCESS) return std::nullopt;
    return std::string(cairo_status_to_string(status));
}

}  // namespace

std::optional<std::string> write_diagram_pdf(const Diagram& d, const std::string& path) {
    Surface surface(cairo_pdf_surface_create(path.c_str(), page_width, page_height),
                    cairo_surface_destroy);
    {
        Context cr(cairo_create(surface.get()), cairo_destroy);
        Plot(cr.get(), d).draw();
        cairo_show_page(cr.get());
        if (auto error = failure(cairo_status(cr.get()))) return error;
    }
    cairo_surface_finish(surface.get());
    return failure(cairo_surface_status(surface.get()));
}

std::optional<std::string> write_diagram_png(const Diagram& d, const std::string& path) {
    Surface surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(page_width * png_scale),
                                   static_cast<int>(page_height * png_scale)),
        cairo_surface_destroy);
    {
        Context cr(cairo_create(surface.get()), cairo_destroy);
        cairo_scale(cr.get(), png_scale, png_scale);
        Plot(cr.get(), d).draw();
        if (auto error = failure(cairo_status(cr.get()))) return error;
    }
    return failure(cairo_surface_write_to_png(surface.get(), path.c_str()));
}

}  // namespace korvanti::openwater
