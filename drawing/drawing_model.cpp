#include "drawing_model.h"

#include <algorithm>

namespace telvaro {

void Drawing::sheet_setup() {
    on_sheet_ = true;
    layer_ = 0;
    setting(SettingKind::sheet_setup, 0);
}

void Drawing::new_layer(const std::string& name) {
    auto found = std::find(layers_.begin(), layers_.end(), name);
    if (found == layers_.end()) found = layers_.insert(layers_.end(), name);
    layer_ = static_cast<int>(found - layers_.begin());
    setting(SettingKind::new_layer, layer_);
}

void Drawing::colour(int number) {
    colour_ = number;
    setting(SettingKind::colour, number);
}

void Drawing::view_from(const Point3& direction) {
    view_point_ = direction;
    setting(SettingKind::view_point, 0);
}

void Drawing::add(Shape shape) { entities_.push_back({layer_, colour_, std::move(shape)}); }

std::array<double, 3> paper_colour(int number) {
    switch (number) {
        case 1:
            return {0.85, 0.0, 0.0};
        case 2:
            return {0.75, 0.6, 0.0};
        case 3:
            return {0.0, 0.6, 0.0};
        case 4:
            return {0.0, 0.6, 0.7};
        case 5:
            return {0.0, 0.0, 0.85};
        case 6:
            return {0.75, 0.0, 0.75};
        default:
            return {0.0, 0.0, 0.0};
    }
}

}  // namespace telvaro

namespace telvaro {

Point2 Bezier::at(double t) const {
    const double s = 1 - t;
    const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
    return {a * p0.x + b * c1.x + c * c2.x + d * p3.x, a * p0.y + b * c1.y + c * c2.y + d * p3.y};
}

std::vector<Bezier> fitted_curve(const std::vector<Point2>& points) {
    std::vector<Bezier> curve;
    const std::size_t n = points.size();
    if (n < 2) return curve;
    curve.reserve(n - 1);
    auto at = [&](std::size_t i, int offset) {  // neighbours beyond the ends are the ends
        const auto j = static_cast<long>(i) + offset;
        return points[static_cast<std::size_t>(std::clamp(j, 0L, static_cast<long>(n) - 1))];
    };
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const Point2 a = at(i, -1), b = points[i], c = points[i + 1], d = at(i, 2);
        curve.push_back({b,
                         {b.x + (c.x - a.x) / 6, b.y + (c.y - a.y) / 6},
                         {c.x - (d.x - b.x) / 6, c.y - (d.y - b.y) / 6},
                         c});
    }
    return curve;
}

}  // namespace telvaro
