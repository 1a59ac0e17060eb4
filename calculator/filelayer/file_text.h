// The text of one whole output file, built record by record. Every real that
// goes into it is checked on the way: a file that would hold a NaN or an
// infinite value is refused when it is finished, with an input error naming
// it, and is never written.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "filelayer/record.h"

namespace korvanti {

class FileText {
public:
    // `bytes`: room reserved for the text, so that a large file is not copied
    // again and again while it grows.
    explicit FileText(std::string name, std::size_t bytes = 0);

    void record(std::string_view format, std::initializer_list<RecordValue> values = {});
    void record(std::string_view format, std::span<const RecordValue> values);
    // A free-format line: the text as given.
    void line(std::string_view text);
    // A real that goes into the text in some other way (a number text).
    void check(float value);

    // The finished text; throws the input error when a value was not finite.
    std::string finish() &&;

private:
    void check(std::span<const RecordValue> values);

    std::string name_;
    std::string text_;
    bool finite_ = true;
};

// The message of a file refused for a NaN or an infinite value.
std::string non_finite_message(const std::string& name);

}  // namespace korvanti
