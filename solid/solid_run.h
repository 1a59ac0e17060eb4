// The whole program behind its command line, so that the benchmark can run
// it in process.
#pragma once

#include <iosfwd>

namespace korvanti_solid {

// Exit status: 0 done, 1 an input file or a building step failed (nothing
// written), 2 a bad command line (nothing written).
int run_solid(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace korvanti_solid
