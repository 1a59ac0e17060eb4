// The two ways a run ends early. Both unwind to main, which closes the files.
#pragma once

#include <stdexcept>
#include <string>

namespace korvanti {

// An orderly stop: its text has been shown on the console already; the
// program ends with status 1, since the run did not finish.
class RunStop : public std::exception {
public:
    explicit RunStop(std::string text) : text_(std::move(text)) {}
    const char* what() const noexcept override { return text_.c_str(); }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// Input that cannot be used (missing or short file, a value that is not a
// number, a value no later step can work with). main shows the message and
// ends with a non-zero status.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace korvanti
