// Output files built in memory and written in one piece, so that a failed
// run never leaves a half-written file behind.
#pragma once

#include <string>

namespace korvanti {

// Creates or overwrites `name` in the working directory with `text`.
void write_text_file(const std::string& name, const std::string& text);

}  // namespace korvanti
