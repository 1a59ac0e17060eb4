#include "console_dialogue.h"

#include <istream>
#include <ostream>

namespace telvaro {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

ConsoleDialogue::ConsoleDialogue(std::istream& in, std::ostream& out, std::ostream& err,
                                 bool echo_answers)
    : in_(in), out_(out), err_(err), echo_answers_(echo_answers) {}

void ConsoleDialogue::start() {
    if (started_) return;
    started_ = true;
    out_ << "Cizim Secenegi\n";
}

void ConsoleDialogue::print(const std::string& line) {
    start();
    out_ << line << '\n' << std::flush;
}

void ConsoleDialogue::alert(const std::string& message) {
    start();
    out_ << std::flush;
    err_ << message << '\n' << std::flush;
}

std::optional<std::string> ConsoleDialogue::ask(const std::string& prompt, const std::string& title,
                                                const std::string& default_text) {
    start();
    if (!trimmed(title).empty()) out_ << trimmed(title) << '\n';
    const auto end = prompt.find_last_not_of(' ');
    out_ << prompt.substr(0, end == std::string::npos ? 0 : end + 1) << " [" << default_text
         << "]: " << std::flush;
    std::string answer;
    if (!std::getline(in_, answer)) {
        out_ << default_text << '\n' << std::flush;
        return default_text;
    }
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    if (echo_answers_) out_ << answer << '\n' << std::flush;
    if (trimmed(answer).empty()) return default_text;
    return answer;
}

}  // namespace telvaro
