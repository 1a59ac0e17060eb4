// The dialogue on a text console, used when no display can be opened: each
// prompt shows its default in brackets and an empty answer takes the default.
#pragma once

#include <iosfwd>

#include "dialogue.h"

namespace telvaro {

class ConsoleDialogue : public Dialogue {
public:
    // `echo_answers` repeats each answer after its prompt, so that a log of a
    // run whose answers come from a file reads like the interactive one.
    ConsoleDialogue(std::istream& in, std::ostream& out, std::ostream& err, bool echo_answers);

    void print(const std::string& line) override;
    void alert(const std::string& message) override;
    // At the end of the input every question takes its default, so a run
    // never waits for answers that cannot come.
    std::optional<std::string> ask(const std::string& prompt, const std::string& title,
                                   const std::string& default_text) override;

private:
    void start();

    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
    bool echo_answers_;
    bool started_ = false;
};

}  // namespace telvaro
