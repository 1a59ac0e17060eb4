// Numbers of the script: printf's "%.*f" with the decimals that give the
// significant digits asked (the decimal exponent being floor(log10|v|) as
// std::log10 gives it), trailing zeros cut. The digits come from |v| * 10^d
// rounded exactly in 128-bit integers, ties to even as printf rounds; the
// exponent from a table of powers of ten, with std::log10 itself deciding
// the values so close to a power of ten that its rounding could tell them
// apart from the exact answer.
#include "script.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
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

// |value| = m * 2^e exactly, m below 2^53.
struct Binary {
    std::uint64_t m;
    int e;
};

Binary decompose(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0) return {fraction, -1074};
    return {fraction | (std::uint64_t{1} << 52), biased - 1075};
}

// |value| * 10^decimals rounded to the nearest integer, an exact tie to the
// even one (as printf rounds), worked out exactly in 128 bits. False when
// decimals is above 22 or the result does not fit in 64 bits.
bool scaled_round(double value, int decimals, std::uint64_t& n) {
    if (decimals > quick_decimals) return false;
    const Binary x = decompose(value);
    const u128 a = static_cast<u128>(x.m) * pow5.p[decimals];  // |value| * 10^d = a * 2^b
    const int b = x.e + decimals;
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

// 10^k for k from -30 to 30, each the double nearest to it.
constexpr int table_low = -30;
constexpr double powers_of_ten[] = {
    1e-30, 1e-29, 1e-28, 1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22, 1e-21, 1e-20, 1e-19, 1e-18,
    1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,
    1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,
    1e9,   1e10,  1e11,  1e12,  1e13,  1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,
    1e22,  1e23,  1e24,  1e25,  1e26,  1e27,  1e28,  1e29,  1e30};
constexpr int table_high = table_low + static_cast<int>(std::size(powers_of_ten)) - 1;

// floor(log10(a)) for a finite a > 0, as std::log10 gives it. 2^(e-1) <= a <
// 2^e puts the answer at p or p + 1 with p = floor((e - 1) log10 2); the
// table decides between them unless a lies within 1e-12 (relative) of
// 10^(p+1) or of 10^p. There, and outside the table, std::log10 decides: its
// result is off by a few units in the last place at most, so away from a
// power of ten its floor is the exact one.
int decimal_exponent(double a) {
    const auto biased = static_cast<int>((std::bit_cast<std::uint64_t>(a) >> 52) & 0x7FF);
    const int e = biased - 1022;            // as frexp gives it; subnormals fall outside the table
    const int p = ((e - 1) * 78913) >> 18;  // floor((e - 1) log10 2), exact for |e| < 2136
    if (p < table_low || p + 1 > table_high) return static_cast<int>(std::floor(std::log10(a)));
    const double upper = powers_of_ten[p + 1 - table_low];
    const double lower = powers_of_ten[p - table_low];
    if (std::fabs(a - upper) <= upper * 1e-12 || std::fabs(a - lower) <= lower * 1e-12)
        return static_cast<int>(std::floor(std::log10(a)));
    return a >= upper ? p + 1 : p;
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

// The eight decimal digits of x < 10^8, leading zeros included, one in each
// byte as a number 0..9, the first in the lowest byte: x is split into two
// lanes of four digits, each lane into two of two, each of those into two of
// one. Division by 100 below 10^4 is multiplication by 10486 / 2^20, which
// exceeds 1/100 by 2.3e-7, adding under 0.0023 to a quotient whose fraction
// is at most 0.99; division by 10 below 100 is multiplication by 103 / 2^10,
// adding under 0.059 to a fraction of at most 0.9: both floors are exact.
[[gnu::always_inline]] inline std::uint64_t eight_digit_lanes(std::uint32_t x) {
    const std::uint64_t merged = (x / 10000) | (static_cast<std::uint64_t>(x % 10000) << 32);
    const std::uint64_t hundreds = ((merged * 10486) >> 20) & 0x0000007F0000007Full;
    const std::uint64_t pairs = hundreds | ((merged - 100 * hundreds) << 16);
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000Full;
    return tens | ((pairs - 10 * tens) << 8);
}

constexpr std::uint64_t ascii_zeros = 0x3030303030303030ull;

// The digits of n with the point `decimals` places from the right, laid out
// as printf would with the trailing zeros (and a bare point) cut, into out;
// returns the end. 0 < n < 10^16 and decimals <= 22; out has room for 26 +
// 16 characters.
char* put_scaled(char* out, bool negative, std::uint64_t n, int decimals) {
    // Zeros, then the 16 digits of n: the fraction is always the last
    // `decimals` characters.
    char digits[40];
    const std::uint64_t high = eight_digit_lanes(static_cast<std::uint32_t>(n / 100000000));
    const std::uint64_t low = eight_digit_lanes(static_cast<std::uint32_t>(n % 100000000));
    std::memset(digits, '0', 24);
    const std::uint64_t high_text = high + ascii_zeros;
    const std::uint64_t low_text = low + ascii_zeros;
    std::memcpy(digits + 24, &high_text, 8);
    std::memcpy(digits + 32, &low_text, 8);
    const int leading = high != 0 ? std::countr_zero(high) / 8 : 8 + std::countr_zero(low) / 8;
    const int trailing = low != 0 ? std::countl_zero(low) / 8 : 8 + std::countl_zero(high) / 8;
    const int count = 16 - leading;
    const int integer_digits = count > decimals ? count - decimals : 0;
    const int kept = decimals - trailing;  // fraction digits before its trailing zeros
    if (negative) *out++ = '-';
    if (integer_digits == 0) {
        *out++ = '0';
    } else {
        out = std::copy_n(digits + 40 - count, integer_digits, out);
    }
    if (kept > 0) {
        *out++ = '.';
        out = std::copy_n(digits + 40 - decimals, kept, out);
    }
    return out;
}

// The same for any n > 0, through to_chars.
char* put_scaled_long(char* out, bool negative, std::uint64_t n, int decimals) {
    char digits[24];
    char* digits_end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    const int count = static_cast<int>(digits_end - digits);
    const int integer_digits = count > decimals ? count - decimals : 0;
    char* fraction_end = digits_end;
    while (fraction_end > digits + integer_digits && fraction_end[-1] == '0') --fraction_end;
    if (negative) *out++ = '-';
    if (integer_digits == 0) {
        *out++ = '0';
    } else {
        out = std::copy(digits, digits + integer_digits, out);
    }
    if (fraction_end > digits + integer_digits) {
        *out++ = '.';
        out = std::fill_n(out, decimals - (count - integer_digits), '0');
        out = std::copy(digits + integer_digits, fraction_end, out);
    }
    return out;
}

// Appends decimal_text(value, significant) to out: the fixed-point text of
// printf's "%.*f", its trailing zeros (and then a trailing point) cut, "0"
// for a text of only zeros and signs.
void append_decimal_text(std::string& out, double value, int significant) {
    if (!std::isfinite(value) || value == 0) {
        out += '0';
        return;
    }
    const int exponent = decimal_exponent(std::fabs(value));
    const int decimals = std::clamp(significant - 1 - exponent, 0, 40);
    std::uint64_t n = 0;
    if (scaled_round(value, decimals, n)) {
        if (n == 0) {
            out += '0';
            return;
        }
        char text[72];
        const bool negative = std::signbit(value);
        char* end = n < 10000000000000000 ? put_scaled(text, negative, n, decimals)
                                          : put_scaled_long(text, negative, n, decimals);
        out.append(text, end);
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
