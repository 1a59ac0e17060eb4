#include "filelayer/freeformat.h"

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "filelayer/errors.h"

namespace korvanti {

namespace {

bool is_separator(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == ','; }

// Splits a line into its items (views into the line); a "/" ends the items
// of the read.
void split_items(std::string_view line, std::vector<std::string_view>& items, bool& slash) {
    items.clear();
    slash = false;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_separator(line[i])) ++i;
        if (i >= line.size()) break;
        if (line[i] == '/') {
            slash = true;
            break;
        }
        size_t start = i;
        while (i < line.size() && !is_separator(line[i]) && line[i] != '/') ++i;
        items.push_back(line.substr(start, i - start));
    }
}

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

// Expands a repeat count "r*c" into r copies of c.
void expand_repeats(std::vector<std::string_view>& items, std::vector<std::string_view>& expanded) {
    bool any = false;
    for (std::string_view item : items) any = any || item.find('*') != std::string_view::npos;
    if (!any) return;
    expanded.clear();
    for (std::string_view item : items) {
        size_t star = item.find('*');
        int count = 0;
        if (star != std::string_view::npos && star > 0 &&
            parse_integer(item.substr(0, star), count) && count > 0 && count <= 1000) {
            for (int k = 0; k < count; ++k) expanded.push_back(item.substr(star + 1));
        } else {
            expanded.push_back(item);
        }
    }
    items.swap(expanded);
}

}  // namespace

FreeFormatReader::FreeFormatReader(std::istream& in, std::string file_name)
    : in_(in), file_name_(std::move(file_name)) {}

bool FreeFormatReader::next_line(std::string& line) {
    if (!std::getline(in_, line)) return false;
    ++line_number_;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void FreeFormatReader::skip_lines(int n) {
    std::string line;
    for (int k = 0; k < n; ++k) {
        if (!next_line(line)) fail_at_end("baska satirlar");
    }
}

void FreeFormatReader::read_targets(std::string_view what, const std::vector<Target>& targets) {
    size_t done = 0;
    std::string line;
    std::vector<std::string_view> items;
    std::vector<std::string_view> expanded;
    while (done < targets.size()) {
        if (!next_line(line)) fail_at_end(what);
        bool slash = false;
        split_items(line, items, slash);
        expand_repeats(items, expanded);
        for (size_t k = 0; k < items.size() && done < targets.size(); ++k, ++done) {
            std::string_view item = items[k];
            bool ok = std::visit(
                [&](auto* target) {
                    using T = std::remove_pointer_t<decltype(target)>;
                    if constexpr (std::is_same_v<T, int>)
                        return parse_integer(item, *target);
                    else
                        return parse_real(item, *target);
                },
                targets[done]);
            if (!ok) {
                bool integer = std::holds_alternative<int*>(targets[done]);
                fail(std::string(what) + " bekleniyordu; '" + std::string(item) + "' bir " +
                     (integer ? "tamsayi" : "sayi") + " degil");
            }
        }
        if (slash) return;
    }
}

std::string FreeFormatReader::read_text(int width, std::string_view what) {
    std::string line;
    if (!next_line(line)) fail_at_end(what);
    line.resize(static_cast<size_t>(width), ' ');
    return line;
}

void FreeFormatReader::fail(std::string_view problem) const {
    throw InputError(" HATA: " + file_name_ + ", satir " + std::to_string(line_number_) + ": " +
                     std::string(problem));
}

void FreeFormatReader::fail_at_end(std::string_view what) const {
    throw InputError(" HATA: " + file_name_ + " dosyasi " + std::to_string(line_number_) +
                     " satirdan sonra bitiyor; " + std::string(what) + " bekleniyordu");
}

}  // namespace korvanti
