// A dialogue of the drawing generator answered from a list: once the list
// is used up the user cancels. Nothing is shown.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dialogue.h"
#include "drawing_run.h"

namespace korvanti::fuzz {

class ScriptedDialogue : public telvaro::Dialogue {
public:
    explicit ScriptedDialogue(std::vector<std::string> answers) : answers_(std::move(answers)) {}
    void print(const std::string&) override {}
    void alert(const std::string&) override {}
    std::optional<std::string> ask(const std::string&, const std::string&,
                                   const std::string&) override {
        if (next_ >= answers_.size()) return std::nullopt;
        return answers_[next_++];
    }

private:
    std::vector<std::string> answers_;
    std::size_t next_ = 0;
};

// The drawing generator's own ends; any other status is a fault.
inline void check_drawing_status(int status) {
    if (status != telvaro::kExitScriptWritten && status != telvaro::kExitNoScript &&
        status != telvaro::kExitCancelled)
        __builtin_trap();
}

}  // namespace korvanti::fuzz
