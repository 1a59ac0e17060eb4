#include "panel_view.h"

#include <cmath>
#include <cstddef>

namespace telvaro {

namespace {

constexpr double kPi = 3.1415927;

Face face(const PanelData& d, int p, double phi) {
    const double cos_phi = std::cos(phi);
    const double sin_phi = std::sin(phi);
    Face f;
    for (int corner = 1; corner <= 4; ++corner) {
        const int v = d.panel(p, corner);
        const double X = d.vertex(v, kX);
        const double Y = d.vertex(v, kY);
        const double Z = d.vertex(v, kZ);
        f.corners[static_cast<std::size_t>(corner - 1)] = {X, Y * cos_phi - Z * sin_phi,
                                                           Y * sin_phi + Z * cos_phi};
    }
    return f;
}

}  // namespace

PanelRange panel_range(const PanelData& d, int choice) {
    if (choice == 1) return {d.NH1 + 1, d.NQ1};
    if (choice == 2) return {1, d.NH1};
    return {1, d.NQ1};
}

void draw_panel_view(Drawing& drawing, const PanelData& d, PanelRange range, int copies) {
    if (range.last >= range.first && copies > 0)
        drawing.reserve(static_cast<std::size_t>(range.last - range.first + 1) *
                        static_cast<std::size_t>(copies));
    drawing.colour(1);
    drawing.zoom_all();
    for (int p = range.first; p <= range.last; ++p)
        for (int b = 1; b <= copies; ++b) drawing.add(face(d, p, (b - 1) * 2 * kPi / d.Z));
    drawing.zoom_extents();
    drawing.view_from({-1, -1, 1});
    drawing.hide();
}

}  // namespace telvaro
