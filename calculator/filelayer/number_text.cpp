#include "filelayer/number_text.h"

#include <charconv>

#include "filelayer/record.h"

namespace korvanti {

std::string integer_to_text(int value) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ptr - buffer > 7) return std::string(7, '*');
    return std::string(buffer, result.ptr);
}

std::string real_to_text(float value, int& integer_digits, int decimals) {
    if (value > 99.99f && integer_digits <= 2) integer_digits = 3;
    if (value > 999.99f && integer_digits <= 3) integer_digits = 4;
    std::string field = format_fixed(value, integer_digits + decimals + 1, decimals);
    return field.substr(field.find_first_not_of(' '));
}

}  // namespace korvanti
