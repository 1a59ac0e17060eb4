// A console for tests that do not look at it: what is shown is kept, and
// every pause meets the end of input.
#pragma once

#include <sstream>

#include "filelayer/console.h"

namespace korvanti::testing {

struct QuietConsole {
    std::ostringstream out;
    std::istringstream in;
    Console console{out, in};
};

}  // namespace korvanti::testing
