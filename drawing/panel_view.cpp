#include "panel_view.h"

#include <cmath>
#include <cstddef>

namespace telvaro {

namespace {

constexpr double kPi = 3.1415927;

void face(Script& script, const PanelData& d, int p, double phi) {
    const double cos_phi = std::cos(phi);
    const double sin_phi = std::sin(phi);
    script.line("3DFACE");
    for (int corner = 1; corner <= 4; ++corner) {
        const int v = d.panel(p, corner);
        const double X = d.vertex(v, kX);
        const double Y = d.vertex(v, kY);
        const double Z = d.vertex(v, kZ);
        script.point(X, Y * cos_phi - Z * sin_phi, Y * sin_phi + Z * cos_phi);
    }
    script.enter();
}

}  // namespace

PanelRange panel_range(const PanelData& d, int choice) {
    if (choice == 1) return {d.NH1 + 1, d.NQ1};
    if (choice == 2) return {1, d.NH1};
    return {1, d.NQ1};
}

void write_panel_view(Script& script, const PanelData& d, PanelRange range, int copies) {
    // A face is "3DFACE", four points of up to three 17-digit numbers and an
    // empty line: about 200 characters at most.
    if (range.last >= range.first && copies > 0)
        script.reserve(static_cast<std::size_t>(range.last - range.first + 1) *
                       static_cast<std::size_t>(copies) * 200);
    script.line("COLOR 1");
    script.line("Zoom A");
    for (int p = range.first; p <= range.last; ++p)
        for (int b = 1; b <= copies; ++b) face(script, d, p, (b - 1) * 2 * kPi / d.Z);
    script.line("Zoom E");
    script.line("VPOINT -1,-1,1");
    script.line("HIDE");
}

}  // namespace telvaro
