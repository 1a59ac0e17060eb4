// The drawing as an SVG file, for web pages and every browser: the form
// plans on their sheet in millimetres, the 3D view as its faces projected
// and shaded as on the PDF, painted far to near.
#pragma once

#include <string>

#include "drawing_model.h"

namespace telvaro {

// The text of the SVG file. Every entity of the DXF file is one element
// carrying its layer's name in the attribute data-layer: a polyline a path
// (along the curve every writer draws where it is fitted), each segment of a
// chain a line, a circle a circle, a text a text, a 3D face a polygon.
std::string svg_text(const Drawing& drawing);

}  // namespace telvaro
