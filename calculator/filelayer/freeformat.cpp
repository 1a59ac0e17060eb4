#include "filelayer/freeformat.h"

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "filelayer/errors.h"

namespace korvanti {

namespace {

bool parse_integer(std::string_view item, int& value) {
    const char* first = item.data();
    const char* last = first + item.size();
    if (first != last && *first == '+') ++first;
    if (first == last) return false;
    auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last;
}

// Where a bare-sign exponent ("1.5-3") needs its "e": the first sign after
// the first character, unless an e or E stands before it; npos when none.
size_t bare_exponent_sign(std::string_view item) {
    size_t sign = item.find_first_of("+-", 1);
    if (sign != std::string_view::npos && (item[sign - 1] == 'e' || item[sign - 1] == 'E'))
        return std::string_view::npos;
    return sign;
}

// A real as Fortran writes it: optional sign, digits with or without a point,
// an exponent with E, D or a bare sign ("1.5-3"). Items in the plain form are
// read where they stand; the others are rewritten with an E first.
template <class T>
bool parse_real(std::string_view item, T& value) {
    std::string rewritten;
    if (item.find_first_of("dDqQ") != std::string_view::npos ||
        bare_exponent_sign(item) != std::string_view::npos) {
        rewritten.assign(item);
        for (char& ch : rewritten) {
            if (ch == 'd' || ch == 'D' || ch == 'q' || ch == 'Q') ch = 'e';
        }
        size_t sign = bare_exponent_sign(rewritten);
        if (sign != std::string::npos) rewritten.insert(sign, "e");
        item = rewritten;
    }
    const char* first = item.data();
    const char* last = first + item.size();
    if (first != last && *first == '+') ++first;
    if (first == last) return false;
    if (*first == '-' && first + 1 != last && first[1] == '+') return false;
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    return ec == std::errc() && ptr == last;
}

// A repeat count "r*c" stands for r copies of c: the count r, and c in
// `value`; 1 for any other item.
int repeat_count(std::string_view item, std::string_view& value) {
    value = item;
    const size_t star = item.find('*');
    int count = 0;
    if (star == std::string_view::npos || star == 0 ||
        !parse_integer(item.substr(0, star), count) || count <= 0 || count > 1000)
        return 1;
    value = item.substr(star + 1);
    return count;
}

}  // namespace

FreeFormatReader::FreeFormatReader(std::istream& in, std::string file_name)
    : input_(in, true), file_name_(std::move(file_name)) {}

void FreeFormatReader::skip_lines(int n) {
    for (int k = 0; k < n; ++k) {
        if (!input_.whole_line()) fail_at_end("baska satirlar");
    }
}

void FreeFormatReader::read_targets(std::string_view what, const std::vector<Target>& targets) {
    input_.begin_record();
    size_t done = 0;
    while (done < targets.size()) {
        const auto item = input_.next_item();
        if (!item) fail_at_end(what);
        if (*item == "/") return;
        std::string_view value;
        for (int k = repeat_count(*item, value); k > 0 && done < targets.size(); --k, ++done) {
            bool ok = std::visit(
                [&](auto* target) {
                    using T = std::remove_pointer_t<decltype(target)>;
                    if constexpr (std::is_same_v<T, int>)
                        return parse_integer(value, *target);
                    else
                        return parse_real(value, *target);
                },
                targets[done]);
            if (!ok) {
                bool integer = std::holds_alternative<int*>(targets[done]);
                fail(std::string(what) + " bekleniyordu; '" + std::string(value) + "' bir " +
                     (integer ? "tamsayi" : "sayi") + " degil");
            }
        }
    }
}

std::string FreeFormatReader::read_text(int width, std::string_view what) {
    const auto line = input_.whole_line();
    if (!line) fail_at_end(what);
    std::string text(*line);
    text.resize(static_cast<size_t>(width), ' ');
    return text;
}

void FreeFormatReader::fail(std::string_view problem) const {
    throw InputError(" HATA: " + file_name_ + ", satir " + std::to_string(input_.line_number()) +
                     ": " + std::string(problem));
}

void FreeFormatReader::fail_at_end(std::string_view what) const {
    throw InputError(" HATA: " + file_name_ + " dosyasi " + std::to_string(input_.line_number()) +
                     " satirdan sonra bitiyor; " + std::string(what) + " bekleniyordu");
}

}  // namespace korvanti
