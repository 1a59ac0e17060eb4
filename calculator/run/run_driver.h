// The calculator's main sequence: one propeller from Korvanti.TSK in the
// working directory to all of its files.
#pragma once

#include <iosfwd>

namespace korvanti {

// The steps of one run between opening and closing the files: reads the task
// from `task`, writes the banner, the reports and the closing notice to
// `result` and every other output file through write_output_file. Stops and
// input errors unwind out of it.
void calculate_propeller(std::istream& task, std::ostream& result);

// Runs the whole calculation; returns the exit status: 0 for a finished run,
// 1 for a run that was stopped (input that cannot be used, or an orderly stop
// of a series check).
int run_calculator();

}  // namespace korvanti
