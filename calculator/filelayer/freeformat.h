// Free-format (list-directed) reading of the task and data files: values
// separated by blanks or commas; every read starts on a new line and goes on
// to the following lines until it has all its values; surplus values on the
// last line are ignored. Errors name the file, the line and what was expected.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/list_input.h"

namespace korvanti {

class FreeFormatReader {
public:
    using Target = std::variant<int*, float*, double*>;

    FreeFormatReader(std::istream& in, std::string file_name);

    // Reads and discards n lines (n <= 0 reads nothing).
    void skip_lines(int n);

    // Reads the given values; `what` names them for error messages.
    template <class... T>
    void read(std::string_view what, T&... values) {
        read_targets(what, {Target(&values)...});
    }
    void read_targets(std::string_view what, const std::vector<Target>& targets);

    // Reads one line and returns its first `width` characters (an A edit).
    std::string read_text(int width, std::string_view what);

    // Number of the last line read (0 before the first).
    int line_number() const { return input_.line_number(); }
    const std::string& file_name() const { return file_name_; }

    // Builds the input error for the current line.
    [[noreturn]] void fail(std::string_view problem) const;

private:
    [[noreturn]] void fail_at_end(std::string_view what) const;

    ListInput input_;
    std::string file_name_;
};

}  // namespace korvanti
