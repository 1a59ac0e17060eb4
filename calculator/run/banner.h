// The program banner and the framed notice that closes the result file.
#pragma once

#include <iosfwd>

#include "filelayer/console.h"

namespace korvanti {

// The 7 banner lines, to the console and then to the result file.
void show_banner(std::ostream& result, Console& console);

// n empty lines, then the 16 lines of the notice.
void write_author_notice(std::ostream& out, int n);

}  // namespace korvanti
