#include "filelayer/console.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "filelayer/errors.h"

namespace korvanti {

ConsoleIO& console_io() {
    static ConsoleIO io{&std::cout, &std::cin, isatty(STDIN_FILENO) != 0};
    return io;
}

ConsoleRedirect::ConsoleRedirect(std::ostream& out, std::istream& in, bool interactive)
    : saved_(console_io()) {
    console_io() = ConsoleIO{&out, &in, interactive};
}

ConsoleRedirect::~ConsoleRedirect() { console_io() = saved_; }

void console_line(std::string_view text) {
    std::ostream& out = *console_io().out;
    out << text << '\n';
    out.flush();
}

bool keyboard_line(std::string& line) {
    line.clear();
    if (!std::getline(*console_io().in, line)) {
        line.clear();
        return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void pause(std::string_view text) {
    console_line(text.empty() ? default_pause_text : text);
    std::string line;
    if (!keyboard_line(line)) return;
    if (line.find_first_not_of(" \t") == std::string::npos) return;
    if (console_io().interactive) {
        console_io().out->flush();
        [[maybe_unused]] int status = std::system(line.c_str());
    }
}

void stop(std::string_view text) {
    std::string shown(text.empty() ? default_stop_text : text);
    console_line(shown);
    throw RunStop(shown);
}

}  // namespace korvanti
