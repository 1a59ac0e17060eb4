// Korvanti's command line: --help, --version, -C DIR, --no-pause and the run
// values, which are written to Korvanti.TSK in the standard layout before the
// run, so that the directory keeps the record of what was computed.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "run/run_driver.h"

namespace korvanti {

// Exit status of a command line that cannot be used.
inline constexpr int usage_error_status = 2;

// A bad option: its message is one line naming the option and what was expected.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The run values given as options, each checked as the task file's value is.
// The numbers keep the text they were given in, so that the task file reads
// them back exactly as the option was read.
struct TaskValues {
    int series_number = 0;
    std::string blade_count;  // empty: 3 for the three-bladed series
    std::string area_ratio;
    bool left_hand = false;
    std::string pitch_ratio;
    std::string diameter;
    bool nose_tail = false;
    std::string report_radii;  // empty: report mode 1
};

struct CalculatorCommand {
    enum class Action { run, help, version };
    Action action = Action::run;
    std::string directory;  // -C; empty: the working directory
    bool no_pause = false;
    RunOptions run;                  // --json
    std::optional<TaskValues> task;  // set when any run value was given
};

// Reads the arguments (without the program name); throws UsageError.
CalculatorCommand parse_calculator_command(const std::vector<std::string>& arguments);

// The text of Korvanti.TSK for the values: the layout of the shipped
// examples, the values on lines 40, 43, 47, 50, 57 and 67.
std::string task_file_text(const TaskValues& values);

// The usage text of --help and the first lines of --version.
std::string calculator_help_text();
std::string calculator_version_text();

// The whole program: options, then the run. Returns the exit status.
int run_korvanti(int argc, char** argv);

}  // namespace korvanti
