// The AutoCAD command script of a drawing: one command or one answer per
// line, an empty line being an Enter that ends the command in progress.
#pragma once

#include <string>

#include "drawing_model.h"

namespace telvaro {

// A number in plain decimal notation (never an exponent) with at most
// `significant` significant digits and no trailing zeros: 72.5, -0.125, 240.
std::string decimal_text(double value, int significant = 15);

// The shortest plain decimal text that reads back as `value`: -0.01072.
std::string shortest_text(double value);

// The whole script of the drawing, each line ended by '\n'.
std::string script_text(const Drawing& drawing);

}  // namespace telvaro
