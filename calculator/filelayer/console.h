// The console: free-format lines out, keyboard lines in, pauses and stops.
// The program makes one on the standard streams and passes it to the steps
// that talk to the user; tests make one on string streams.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace korvanti {

inline constexpr std::string_view default_pause_text =
    "Pause - Please enter a blank line (to continue) or a DOS command.";
inline constexpr std::string_view default_stop_text = "Stop - Program terminated.";

class Console {
public:
    // interactive: the keyboard is a terminal, so a line typed at a pause may
    // go to the shell.
    Console(std::ostream& out, std::istream& in, bool interactive = false);

    // Writes text as one console line (the text carries its own leading blank).
    void line(std::string_view text);

    // Reads one keyboard line. Returns false at end of input (the line is then empty).
    bool keyboard_line(std::string& line);

    // Shows the text (or the default pause text) and waits for one line. A
    // non-blank line goes to the command interpreter only when the keyboard
    // is a terminal; end of input counts as Enter.
    void pause(std::string_view text = {});

    // Shows the text (or the default stop text) and stops the run (status 1).
    [[noreturn]] void stop(std::string_view text = {});

private:
    std::ostream& out_;
    std::istream& in_;
    bool interactive_;
};

}  // namespace korvanti
