// The drawing generator's command line: --help, --version, -C DIR and the
// answers of the dialogue as options, for runs that ask nothing.
#pragma once

#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace telvaro {

// Exit status of a command line that cannot be used.
constexpr int kExitBadOption = 2;

// A bad option: its message is one line naming the option and what was expected.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DrawingCommand {
    enum class Action { run, help, version };
    Action action = Action::run;
    std::string directory;  // -C; empty: the working directory
    // The answers the dialogue would be given, one per line; set when the
    // drawing was chosen by options.
    std::optional<std::string> answers;
};

// Reads the arguments (without the program name); throws UsageError.
DrawingCommand parse_drawing_command(const std::vector<std::string>& arguments);

// -C: enters the directory, which must exist and be writable; throws UsageError.
void enter_directory(const std::string& directory);

// Handles what the command line settles alone: a bad option (message on
// `err`, kExitBadOption), --help and --version (text on `out`, 0) and -C.
// Returns the exit status when the program ends there.
std::optional<int> settle_command_line(const DrawingCommand& command, std::ostream& out);

std::string drawing_help_text();
std::string drawing_version_text();

}  // namespace telvaro
