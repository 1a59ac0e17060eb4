#include "filelayer/console.h"

#include <cstdlib>
#include <istream>
#include <ostream>

#include "filelayer/errors.h"

namespace korvanti {

Console::Console(std::ostream& out, std::istream& in, bool interactive)
    : out_(out), in_(in), interactive_(interactive) {}

void Console::line(std::string_view text) {
    out_ << text << '\n';
    out_.flush();
}

bool Console::keyboard_line(std::string& line) {
    line.clear();
    if (!std::getline(in_, line)) {
        line.clear();
        return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void Console::pause(std::string_view text) {
    line(text.empty() ? default_pause_text : text);
    std::string answer;
    if (!keyboard_line(answer)) return;
    if (answer.find_first_not_of(" \t") == std::string::npos) return;
    if (interactive_) {
        out_.flush();
        [[maybe_unused]] int status = std::system(answer.c_str());
    }
}

void Console::stop(std::string_view text) {
    std::string shown(text.empty() ? default_stop_text : text);
    line(shown);
    throw RunStop(shown);
}

}  // namespace korvanti
