// Option 2: the first panel mesh as 3D faces, in metres, optionally repeated
// for every blade of the propeller.
#pragma once

#include "drawing_model.h"
#include "panel_data.h"

namespace telvaro {

struct PanelRange {
    int first;
    int last;  // first > last: nothing to draw
};

// Panels drawn for a panelling choice: 1 the blade, 2 the hub, 3 to 5 both.
PanelRange panel_range(const PanelData& d, int choice);

// The faces of the panels in `range`, each panel `copies` times turned by
// (b - 1)·2π/Z about the shaft axis, between the view commands that open and
// close the view: seen from (-1, -1, 1), hidden lines removed.
void draw_panel_view(Drawing& drawing, const PanelData& d, PanelRange range, int copies);

}  // namespace telvaro
