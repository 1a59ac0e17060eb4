// Output files are written whole: the text is built in memory first and
// replaces the file on disk only once it has been written completely.
#pragma once

#include <string>

namespace korvanti {

// Creates or overwrites `name` in the working directory with `text`. A file
// that cannot be written is an input error naming it; an older file of that
// name is then left as it was.
void write_output_file(const std::string& name, const std::string& text);

}  // namespace korvanti
