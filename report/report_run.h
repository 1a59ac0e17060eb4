// korvanti-report: the command line, the reading of a finished run in its
// directory and the staged writing of Korvanti.html.
#pragma once

#include <string>
#include <vector>

namespace korvanti::report {

// Exit statuses: the page was written; the run cannot be shown (a required
// file is missing or unreadable, or the page cannot be written); a bad option.
inline constexpr int exit_written = 0;
inline constexpr int exit_failed = 1;
inline constexpr int exit_usage = 2;

std::string help_text();
std::string version_text();

// The whole program on the arguments (without the program name); messages
// go to standard output (the page written) and standard error (failures).
int run_report(const std::vector<std::string>& arguments);

}  // namespace korvanti::report
