// The open-water diagram as naval architects draw it: KT, 10·KQ and η0 (and
// a nozzle's KTN) against J on one set of axes, with a grid, tick labels,
// axis titles, a legend, a title naming the propeller and the operating
// point marked; as a one-page PDF and a PNG, drawn with cairo.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvanti::openwater {

struct DiagramCurve {
    std::string name;       // in the legend
    std::vector<double> y;  // one value per J of the diagram
    bool dashed = false;
};

struct Diagram {
    std::string title;               // the propeller
    std::vector<std::string> notes;  // under the title: Rn, "extrapolated", the source
    std::vector<double> j;
    std::vector<DiagramCurve> curves;
    std::optional<double> operating_j;     // marked with its values on every curve
    std::vector<double> operating_values;  // one per curve
};

// Writes both files; the reason when cairo fails.
std::optional<std::string> write_diagram_pdf(const Diagram& d, const std::string& path);
std::optional<std::string> write_diagram_png(const Diagram& d, const std::string& path);

}  // namespace korvanti::openwater
