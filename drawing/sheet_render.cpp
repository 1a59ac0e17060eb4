// The page drawn with cairo. The 3D view is a parallel projection along its
// view direction; faces are painted from the farthest to the nearest (their
// mean depth), which hides the faces behind nearer ones, and each is shaded
// by the cosine of the angle between its normal and a light beside the eye.
#include "sheet_render.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>

namespace telvaro {

namespace {

constexpr double kLineWidth = 0.25;  // mm of paper
constexpr double kEdgeWidth = 0.08;
constexpr double kMargin = 15;  // around the 3D view, mm
// Cap height of the sans-serif font over its size: a text of height h (the
// height of its capitals) is set in h / 0.72.
constexpr double kCapHeight = 0.72;

struct Vec3 {
    double x, y, z;
};
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 unit(Vec3 a) {
    const double n = std::sqrt(dot(a, a));
    return n > 0 ? Vec3{a.x / n, a.y / n, a.z / n} : Vec3{0, 0, 0};
}

// Page millimetres (origin bottom left, y up) to device units.
struct Page {
    double k;             // device units per mm
    double x0, y0;        // device position of the page's bottom left corner
    double thinnest = 0;  // narrowest line in device units: a pixel on an image
    double width(double mm) const { return std::max(mm * k, thinnest); }
    double x(double mm) const { return x0 + k * mm; }
    double y(double mm) const { return y0 - k * mm; }
};

// Keeps cairo's fixed-point coordinates in range for absurd input.
double clamped(double v) { return std::isfinite(v) ? std::clamp(v, -1e6, 1e6) : 0; }

void set_colour(cairo_t* cr, int number, double factor = 1) {
    const auto c = paper_colour(number);
    cairo_set_source_rgb(cr, c[0] * factor, c[1] * factor, c[2] * factor);
}

class SheetPainter {
public:
    SheetPainter(cairo_t* cr, const Page& page) : cr_(cr), page_(page) {
        // The sheet of limits 397 x 252 in the middle of the page.
        ox_ = (kPageWidth - Drawing::kSheetWidth) / 2;
        oy_ = (kPageHeight - Drawing::kSheetHeight) / 2;
    }

    void paint(const Drawing& drawing) {
        cairo_set_line_width(cr_, page_.width(kLineWidth));
        cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
        cairo_select_font_face(cr_, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        for (const Entity& e : drawing.entities()) {
            set_colour(cr_, e.colour);
            std::visit([&](const auto& shape) { draw(shape); }, e.shape);
        }
    }

private:
    double x(Point2 p) const { return clamped(page_.x(ox_ + p.x)); }
    double y(Point2 p) const { return clamped(page_.y(oy_ + p.y)); }
    void move(Point2 p) { cairo_move_to(cr_, x(p), y(p)); }
    void line(Point2 p) { cairo_line_to(cr_, x(p), y(p)); }

    void draw(const Polyline& p) {
        if (p.points.empty()) return;
        move(p.points.front());
        if (p.fitted) {
            for (const Bezier& b : fitted_curve(p.points))
                cairo_curve_to(cr_, x(b.c1), y(b.c1), x(b.c2), y(b.c2), x(b.p3), y(b.p3));
        } else {
            for (const Point2& point : p.points) line(point);
        }
        cairo_stroke(cr_);
    }
    void draw(const LineChain& chain) {
        if (chain.points.empty()) return;
        move(chain.points.front());
        for (const Point2& point : chain.points) line(point);
        if (chain.closed) cairo_close_path(cr_);
        cairo_stroke(cr_);
    }
    void draw(const Circle& c) {
        cairo_new_sub_path(cr_);
        cairo_arc(cr_, x(c.centre), y(c.centre), clamped(c.radius * page_.k), 0, 2 * M_PI);
        cairo_stroke(cr_);
    }
    void draw(const Text& t) {
        cairo_set_font_size(cr_, t.style.height / kCapHeight * page_.k);
        move(t.at);
        cairo_show_text(cr_, t.text.c_str());
        cairo_new_path(cr_);
    }
    void draw(const Face&) {}

    cairo_t* cr_;
    Page page_;
    double ox_, oy_;
};

}  // namespace

std::vector<ProjectedFace> projected_faces(const Drawing& drawing) {
    const Point3 v = drawing.view_point();
    const Vec3 toward_eye = unit({v.x, v.y, v.z});
    Vec3 right = unit(cross({0, 0, 1}, toward_eye));
    if (dot(right, right) == 0) right = {1, 0, 0};  // looking along the Z axis
    const Vec3 up = cross(toward_eye, right);
    const Vec3 light =
        unit({toward_eye.x + 0.4 * up.x - 0.3 * right.x, toward_eye.y + 0.4 * up.y - 0.3 * right.y,
              toward_eye.z + 0.4 * up.z - 0.3 * right.z});

    std::vector<ProjectedFace> faces;
    for (std::size_t index = 0; index < drawing.entities().size(); ++index) {
        const Entity& e = drawing.entities()[index];
        const Face* f = std::get_if<Face>(&e.shape);
        if (f == nullptr) continue;
        ProjectedFace p{};
        std::array<Vec3, 4> c;
        for (std::size_t i = 0; i < 4; ++i) {
            c[i] = {f->corners[i].x, f->corners[i].y, f->corners[i].z};
            p.corners[i] = {dot(c[i], right), dot(c[i], up)};
            p.depth += dot(c[i], toward_eye) / 4;
        }
        const Vec3 normal = unit(cross(c[2] - c[0], c[3] - c[1]));
        p.light = dot(normal, normal) > 0 ? std::fabs(dot(normal, light)) : 0.5;
        p.colour = e.colour;
        p.entity = index;
        faces.push_back(p);
    }
    std::sort(faces.begin(), faces.end(),
              [](const ProjectedFace& a, const ProjectedFace& b) { return a.depth < b.depth; });
    return faces;
}

std::array<double, 3> face_colour(const ProjectedFace& f) {
    const auto base = paper_colour(f.colour);
    const double shade = 0.2 + 0.8 * f.light;
    const double shine = 0.3 * std::pow(f.light, 4);
    return {std::min(1.0, base[0] * shade + shine), std::min(1.0, base[1] * shade + shine),
            std::min(1.0, base[2] * shade + shine)};
}

namespace {

// The 3D view: the faces projected along the view direction onto the plane
// whose horizontal axis is level (perpendicular to the Z axis), fitted into
// the page within its margins, painted far to near.
void paint_view(cairo_t* cr, const Page& page, const Drawing& drawing) {
    const std::vector<ProjectedFace> faces = projected_faces(drawing);
    if (faces.empty()) return;
    double left = HUGE_VAL, bottom = HUGE_VAL, rightmost = -HUGE_VAL, top = -HUGE_VAL;
    for (const ProjectedFace& f : faces)
        for (const Point2& q : f.corners) {
            left = std::min(left, q.x);
            rightmost = std::max(rightmost, q.x);
            bottom = std::min(bottom, q.y);
            top = std::max(top, q.y);
        }

    const double width = std::max(rightmost - left, 1e-12);
    const double height = std::max(top - bottom, 1e-12);
    const double scale =
        std::min((kPageWidth - 2 * kMargin) / width, (kPageHeight - 2 * kMargin) / height);
    const double cx = (left + rightmost) / 2, cy = (bottom + top) / 2;
    auto px = [&](Point2 q) { return clamped(page.x(kPageWidth / 2 + scale * (q.x - cx))); };
    auto py = [&](Point2 q) { return clamped(page.y(kPageHeight / 2 + scale * (q.y - cy))); };

    cairo_set_line_width(cr, page.width(kEdgeWidth));
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (const ProjectedFace& f : faces) {
        cairo_move_to(cr, px(f.corners[0]), py(f.corners[0]));
        for (std::size_t i = 1; i < 4; ++i) cairo_line_to(cr, px(f.corners[i]), py(f.corners[i]));
        cairo_close_path(cr);
        const auto colour = face_colour(f);
        cairo_set_source_rgb(cr, colour[0], colour[1], colour[2]);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0.12, 0.12, 0.12);
        cairo_stroke(cr);
    }
}

void paint_page(cairo_t* cr, const Page& page, const Drawing& drawing) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    if (drawing.on_sheet())
        SheetPainter(cr, page).paint(drawing);
    else
        paint_view(cr, page, drawing);
}

// Red, green and blue of a cairo RGB24 surface's row.
void rgb_row(const unsigned char* pixel, int width, unsigned char* out) {
    for (int column = 0; column < width; ++column, pixel += 4) {
        std::uint32_t value;
        std::memcpy(&value, pixel, 4);  // 0x00RRGGBB in the machine's byte order
        *out++ = static_cast<unsigned char>(value >> 16);
        *out++ = static_cast<unsigned char>(value >> 8);
        *out++ = static_cast<unsigned char>(value);
    }
}

// The image surface as an 8-bit RGB PNG through libpng. cairo's own PNG
// writer compresses at zlib's default level, which took most of the time of
// a drawing run (54 of 69 ms CPU for the B4-55 form plans); the fastest
// level takes a third of that and makes the file about a fifth larger.
std::optional<std::string> encode_png(cairo_surface_t* surface, const std::string& path) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    if (data == nullptr) return std::string("no image");
    std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) return std::string(std::strerror(errno));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return std::string("libpng");
    }
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    // libpng reports its errors by longjmp; nothing here needs unwinding
    // (the row buffer and the file are released after the return below).
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::string("libpng");
    }
    png_init_io(png, file.get());
    png_set_compression_level(png, Z_BEST_SPEED);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        rgb_row(data + static_cast<std::ptrdiff_t>(y) * stride, width, row.data());
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0 || std::ferror(file.get()) != 0)
        return std::string(std::strerror(errno));
    if (std::fclose(file.release()) != 0) return std::string(std::strerror(errno));
    return std::nullopt;
}

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

std::optional<std::string> failure(cairo_status_t status) {
    if (status == CAIRO_STATUS_SUCCESS) return std::nullopt;
    return std::string(cairo_status_to_string(status));
}

}  // namespace

std::optional<std::string> write_pdf(const Drawing& drawing, const std::string& path) {
    const double points_per_mm = 72 / 25.4;
    Surface surface(cairo_pdf_surface_create(path.c_str(), kPageWidth * points_per_mm,
                                             kPageHeight * points_per_mm),
                    cairo_surface_destroy);
    {
        Context cr(cairo_create(surface.get()), cairo_destroy);
        paint_page(cr.get(), {points_per_mm, 0, kPageHeight * points_per_mm}, drawing);
        cairo_show_page(cr.get());
        if (auto error = failure(cairo_status(cr.get()))) return error;
    }
    cairo_surface_finish(surface.get());
    return failure(cairo_surface_status(surface.get()));
}

std::optional<std::string> write_png(const Drawing& drawing, const std::string& path) {
    const int width = static_cast<int>(kPageWidth * kPngPixelsPerMm);
    const int height = static_cast<int>(kPageHeight * kPngPixelsPerMm);
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height),
                    cairo_surface_destroy);
    {
        Context cr(cairo_create(surface.get()), cairo_destroy);
        paint_page(cr.get(), {kPngPixelsPerMm, 0, static_cast<double>(height), 1}, drawing);
        if (auto error = failure(cairo_status(cr.get()))) return error;
    }
    return encode_png(surface.get(), path);
}

Image render_image(const Drawing& drawing, int width, int height) {
    Image image;
    if (width <= 0 || height <= 0) return image;
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height),
                    cairo_surface_destroy);
    const double k = std::min(width / kPageWidth, height / kPageHeight);
    {
        Context cr(cairo_create(surface.get()), cairo_destroy);
        cairo_set_source_rgb(cr.get(), 1, 1, 1);
        cairo_paint(cr.get());
        const double x0 = (width - k * kPageWidth) / 2;
        const double y0 = (height + k * kPageHeight) / 2;
        paint_page(cr.get(), {k, x0, y0, 1}, drawing);
    }
    cairo_surface_flush(surface.get());
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    if (data == nullptr) return image;
    for (int row = 0; row < height; ++row)
        rgb_row(data + static_cast<std::ptrdiff_t>(row) * stride, width,
                image.rgb.data() + static_cast<std::size_t>(row) * width * 3);
    return image;
}

}  // namespace telvaro
