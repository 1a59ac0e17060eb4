// List-directed (free-format) input, the way the programs read each other's
// files: a record starts on a fresh line, its items are separated by blanks or
// commas, a record with too few items on its line goes on to the next line,
// and items left over on a line are ignored. What an item means, and the
// message when it is wrong, is the reader's own.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace korvanti {

class ListInput {
public:
    // With `slash_ends_record`, a "/" ends the items of its line and of the
    // record: next_item() returns "/" for it.
    explicit ListInput(std::istream& in, bool slash_ends_record = false);

    // The next item comes from a fresh line.
    void begin_record() { rest_ = {}; }
    // The next item of the record, from the following lines when this one has
    // no more; nothing at the end of the input. The view lasts until the next
    // line is read.
    std::optional<std::string_view> next_item();
    // The next whole line (a trailing carriage return removed); nothing at the
    // end of the input. Also ends the current record.
    std::optional<std::string_view> whole_line();

    // Number of the last line read (0 before the first).
    int line_number() const { return line_number_; }

private:
    std::istream& in_;
    bool slash_ends_record_;
    std::string line_;
    std::string_view rest_;  // what is left of the current line
    int line_number_ = 0;
};

// Reads `item` as a real, a Fortran exponent letter D (or d) read as E; a
// leading '+' is allowed. False when the item is not a whole number text.
bool read_real_with_d_exponent(std::string_view item, double& value);

}  // namespace korvanti
