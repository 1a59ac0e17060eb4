#include "filelayer/number_text.h"

#include "filelayer/record.h"

namespace korvanti {

namespace {

// The first blank-delimited item of a written field, as a free-format read
// of it would take it.
std::string first_item(const std::string& record) {
    size_t first = record.find_first_not_of(" \n");
    if (first == std::string::npos) return {};
    size_t last = record.find_first_of(" \n", first);
    return record.substr(first, last - first);
}

}  // namespace

std::string integer_to_text(int value) { return first_item(format_record("(I7)", {value})); }

std::string real_to_text(float value, int& integer_digits, int decimals) {
    if (value > 99.99f && integer_digits <= 2) integer_digits = 3;
    if (value > 999.99f && integer_digits <= 3) integer_digits = 4;
    int width = integer_digits + decimals + 1;
    // Callers ask for the same edit many times in a row.
    thread_local int last_width = -1;
    thread_local int last_decimals = -1;
    thread_local std::string format;
    if (width != last_width || decimals != last_decimals) {
        format = "(F" + integer_to_text(width) + "." + integer_to_text(decimals) + ")";
        last_width = width;
        last_decimals = decimals;
    }
    return first_item(format_record(format, {value}));
}

}  // namespace korvanti
