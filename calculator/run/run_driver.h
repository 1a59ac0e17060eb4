// The calculator's main sequence: one propeller from Korvanti.TSK in the
// working directory to all of its files.
#pragma once

namespace korvanti {

// Runs the whole calculation; returns the exit status (0 for a finished run
// and for every orderly stop, 1 for input that cannot be used).
int run_calculator();

}  // namespace korvanti
