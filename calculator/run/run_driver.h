// The calculator's main sequence: one propeller from Korvanti.TSK in the
// working directory to all of its files.
#pragma once

#include <iosfwd>

#include "filelayer/console.h"
#include "numeric/numeric_failure.h"

namespace korvanti {

// What a run writes beside its usual files.
struct RunOptions {
    bool json = false;  // Korvanti.json, the whole result as JSON
};

// The steps of one run between opening and closing the files: reads the task
// from `task`, writes the banner, the reports and the closing notice to
// `result` and every other output file through write_output_file. Stops and
// input errors unwind out of it.
void calculate_propeller(std::istream& task, std::ostream& result, Console& console,
                         const RunOptions& options = {});

// A numerical routine found no solution: its lines on the console (the
// first as a pause where it asks for one), then the stop.
[[noreturn]] void stop_after_numeric_failure(const NumericFailure& failure, Console& console);

// Runs the whole calculation with the console given; returns the exit status
// (0 for a finished run; 1 for a run that was stopped: input that cannot be
// used, or an orderly stop of a series check).
int run_calculator(Console& console, const RunOptions& options = {});

// The same on the standard streams.
int run_calculator();

}  // namespace korvanti
