// A small list-directed reader for the text files the calculator writes:
// each read starts on a new line, takes values separated by blanks or commas
// and goes on to the next lines while it needs more. Numbers are read with
// std::from_chars; any fault ends with InputError, one line naming the file,
// the line and what was wrong.
#pragma once

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/list_input.h"

namespace korvanti_solid {

// A fault in an input file or in building the solid: the message is the one
// line the program prints before it ends with exit status 1.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ListReader {
public:
    // Reads the whole file; a missing or unreadable file is an InputError.
    explicit ListReader(const std::filesystem::path& file);
    // For tests and in-memory text: `name` stands for the file in messages.
    ListReader(std::string name, std::string text);

    // The next `count` values, starting on a new line, as reals or integers;
    // `what` names them in a message.
    std::vector<double> reals(int count, std::string_view what);
    int integer(std::string_view what);
    // Skips one whole line (a title).
    void skip_line(std::string_view what);
    // The next whole line as it stands (a title).
    std::string whole_line(std::string_view what);

    // Throws an InputError naming the file and the current line.
    [[noreturn]] void fail(std::string_view what) const;

private:
    std::string_view next_token(std::string_view what);

    std::string name_;
    std::istringstream text_;
    korvanti::ListInput input_{text_};
};

}  // namespace korvanti_solid
