// Option 2: the first panel mesh as 3DFACE entities, in metres, optionally
// repeated for every blade of the propeller.
#pragma once

#include "panel_data.h"
#include "script.h"

namespace telvaro {

struct PanelRange {
    int first;
    int last;  // first > last: nothing to draw
};

// Panels drawn for a panelling choice: 1 the blade, 2 the hub, 3 to 5 both.
PanelRange panel_range(const PanelData& d, int choice);

// Writes the faces of the panels in `range`, each panel `copies` times turned
// by (b - 1)·2π/Z about the shaft axis, between the fixed opening and closing
// commands of the view.
void write_panel_view(Script& script, const PanelData& d, PanelRange range, int copies);

}  // namespace telvaro
