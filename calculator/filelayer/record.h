// Record templates: Fortran-style format texts such as
// "(F5.3,2X,3(F6.4,2X),F5.3)" turned into output lines.
//
// Descriptors: nX blanks; 'text' literals (a doubled quote stands for one);
// n('c') a repeated literal; Iw; Fw.d; Ew.d; A and Aw; "/" ends a line; n(...)
// repeats a group. A field too narrow for its value is filled with "*".
// After the last value the record goes on through literals, blanks and
// slashes up to the next data descriptor (or the end of the template). With
// more values than descriptors the line ends and the template starts again
// at its last top-level group (the whole template when it has none).
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace korvanti {

using RecordValue = std::variant<int, float, std::string>;

// The lines of one record, each ended by '\n'.
std::string format_record(std::string_view format, std::span<const RecordValue> values);
std::string format_record(std::string_view format, std::initializer_list<RecordValue> values = {});

void write_record(std::ostream& out, std::string_view format, std::span<const RecordValue> values);
void write_record(std::ostream& out, std::string_view format,
                  std::initializer_list<RecordValue> values = {});

// A free-format text line: the text as given (it carries its own leading blank).
void write_line(std::ostream& out, std::string_view text);

}  // namespace korvanti
