// A whole calculator run in the scratch directory with the console silenced:
// no output, and end of input at every pause.
#pragma once

#include <sstream>

#include "filelayer/console.h"
#include "fuzz_support.h"
#include "run/run_driver.h"

namespace korvanti::fuzz {

inline int quiet_calculator_run() {
    NullStream out;
    std::istringstream keyboard;
    Console quiet(out, keyboard);
    return run_calculator(quiet);
}

}  // namespace korvanti::fuzz
