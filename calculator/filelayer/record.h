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
//
// Reals are rounded on their exact binary value to the nearest, exact ties to
// the even last digit, as gfortran does by default (0.125 in F5.2 is " 0.12",
// 2.5 in F3.0 is " 2."); a negative value that rounds to zero keeps its sign
// ("-0.000", "-0."); Fw.d writes the "0" before the point only when there is
// room; Ew.d reads like 0.123456E+01 (-.123456E+01 when the field has no room
// for the zero). Templates are parsed once and cached. A value whose type does
// not fit its descriptor, a malformed template, or values left over for a
// template that cannot take them throw std::logic_error.
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

// x as the edit Fw.d writes it: w characters, or the shortest form for w = 0.
std::string format_fixed(float x, int w, int d);

void write_record(std::ostream& out, std::string_view format, std::span<const RecordValue> values);
// The same record added to the end of a text.
void append_record(std::string& text, std::string_view format, std::span<const RecordValue> values);
void write_record(std::ostream& out, std::string_view format,
                  std::initializer_list<RecordValue> values = {});

// A free-format text line: the text as given (it carries its own leading blank).
void write_line(std::ostream& out, std::string_view text);

}  // namespace korvanti
