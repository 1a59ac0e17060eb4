#include "script.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>

namespace telvaro {

namespace {

using u128 = unsigned __int128;

constexpr int quick_decimals = 22;  // 5^22 < 2^52: m * 5^d stays below 2^105

struct Pow5 {
    std::uint64_t p[quick_decimals + 1];
    constexpr Pow5() : p() {
        p[0] = 1;
        for (int k = 1; k <= quick_decimals; ++k) p[k] = p[k - 1] * 5;
    }
};
constexpr Pow5 pow5;

// |value| * 10^decimals rounded to the nearest integer, an exact tie to the
// even one (as printf rounds), worked out exactly in 128 bits. False when
// decimals is above 22 or the result does not fit in 64 bits.
bool scaled_round(double value, int decimals, std::uint64_t& n) {
    if (decimals > quick_decimals) return false;
    int e = 0;
    const double fraction = std::frexp(std::fabs(value), &e);             // in [0.5, 1)
    const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));  // exact
    const u128 a = static_cast<u128>(m) * pow5.p[decimals];  // |value| * 10^d = a * 2^b
    const int b = e - 53 + decimals;
    if (b >= 0) {
        if (b >= 64 || (a >> (64 - b)) != 0) return false;
        n = static_cast<std::uint64_t>(a << b);
        return true;
    }
    const int k = -b;
    if (k >= 106) {  // a < 2^105 <= half of 2^k
        n = 0;
        return true;
    }
    u128 q = a >> k;
    const u128 rest = a & ((static_cast<u128>(1) << k) - 1);
    const u128 half = static_cast<u128>(1) << (k - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
    if (q >> 64 != 0) return false;
    n = static_cast<std::uint64_t>(q);
    return true;
}

// printf's "%.*f" of value in buffer (of 128 characters at least), through
// to_chars (the same conversion, exactly rounded) and, for texts too long for
// the buffer, snprintf, which cuts them to it as before; returns the end.
char* fixed_text(char* buffer, double value, int decimals) {
    const auto [end, error] =
        std::to_chars(buffer, buffer + 127, value, std::chars_format::fixed, decimals);
    if (error == std::errc()) return end;
    std::snprintf(buffer, 128, "%.*f", decimals, value);
    return buffer + std::char_traits<char>::length(buffer);
}

// Appends decimal_text(value, significant) to out: the fixed-point text of
// printf's "%.*f", its trailing zeros (and then a trailing point) cut, "0"
// for a text of only zeros and signs.
void append_decimal_text(std::string& out, double value, int significant) {
    if (!std::isfinite(value) || value == 0) {
        out += '0';
        return;
    }
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::clamp(significant - 1 - exponent, 0, 40);
    std::uint64_t n = 0;
    if (scaled_round(value, decimals, n)) {
        // The digits of n, with the point `decimals` places from the right,
        // laid out as printf would and cut at once.
        if (n == 0) {
            out += '0';
            return;
        }
        char digits[24];
        const auto [digits_end, ignored] = std::to_chars(digits, digits + sizeof digits, n);
        const int count = static_cast<int>(digits_end - digits);
        const int integer_digits = count > decimals ? count - decimals : 0;
        const char* fraction_end = digits_end;
        while (fraction_end > digits + integer_digits && fraction_end[-1] == '0') --fraction_end;
        if (std::signbit(value)) out += '-';
        if (integer_digits == 0)
            out += '0';
        else
            out.append(digits, static_cast<std::size_t>(integer_digits));
        if (fraction_end > digits + integer_digits) {
            out += '.';
            out.append(static_cast<std::size_t>(decimals - (count - integer_digits)), '0');
            out.append(digits + integer_digits,
                       static_cast<std::size_t>(fraction_end - (digits + integer_digits)));
        }
        return;
    }
    char buffer[128];
    std::string_view text(buffer,
                          static_cast<std::size_t>(fixed_text(buffer, value, decimals) - buffer));
    if (text.find('.') != std::string_view::npos) {
        text.remove_suffix(text.size() - (text.find_last_not_of('0') + 1));
        if (text.back() == '.') text.remove_suffix(1);
    }
    if (text.find_first_not_of("-0") == std::string_view::npos) {
        out += '0';
        return;
    }
    out += text;
}

}  // namespace

std::string decimal_text(double value, int significant) {
    std::string text;
    append_decimal_text(text, value, significant);
    return text;
}

void Script::line(const std::string& text) {
    text_ += text;
    text_ += '\n';
}

void Script::point(double x, double y) { exact_point(std::round(x), y); }

void Script::exact_point(double x, double y) {
    last_point_.clear();
    append_decimal_text(last_point_, x, 15);
    last_point_ += ',';
    append_decimal_text(last_point_, y, 15);
    line(last_point_);
}

void Script::point(double x, double y, double z) {
    append_decimal_text(text_, x, 15);
    text_ += ',';
    append_decimal_text(text_, y, 15);
    text_ += ',';
    append_decimal_text(text_, z, 15);
    text_ += '\n';
}

void Script::repeat_last_point() { line(last_point_); }

std::vector<std::string> Script::lines() const {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text_.find('\n'); end != std::string::npos;
         end = text_.find('\n', start)) {
        lines.push_back(text_.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace telvaro
