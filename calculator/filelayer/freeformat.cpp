#include "filelayer/freeformat.h"

#include <charconv>
#include <string>

#include "filelayer/errors.h"

namespace korvanti {

namespace {

bool is_separator(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == ','; }

// Splits a line into its items; a "/" ends the items of the read.
std::vector<std::string> split_items(const std::string& line, bool& slash) {
    std::vector<std::string> items;
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
    return items;
}

bool parse_integer(const std::string& item, int& value) {
    const char* first = item.data();
    const char* last = first + item.size();
    if (first != last && *first == '+') ++first;
    if (first == last) return false;
    auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last;
}

// A real as Fortran writes it: optional sign, digits with or without a point,
// an exponent with E, D or a bare sign ("1.5-3").
template <class T>
bool parse_real(std::string item, T& value) {
    for (char& ch : item) {
        if (ch == 'd' || ch == 'D' || ch == 'q' || ch == 'Q') ch = 'e';
    }
    size_t mantissa_end = item.find_first_of("+-", 1);
    if (mantissa_end != std::string::npos && item[mantissa_end - 1] != 'e' &&
        item[mantissa_end - 1] != 'E') {
        item.insert(mantissa_end, "e");
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
void expand_repeats(std::vector<std::string>& items) {
    std::vector<std::string> expanded;
    for (const std::string& item : items) {
        size_t star = item.find('*');
        int count = 0;
        if (star != std::string::npos && star > 0 && parse_integer(item.substr(0, star), count) &&
            count > 0 && count <= 1000) {
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
        if (!next_line(line)) fail_at_end("further lines of text");
    }
}

void FreeFormatReader::read_targets(std::string_view what, const std::vector<Target>& targets) {
    size_t done = 0;
    std::string line;
    while (done < targets.size()) {
        if (!next_line(line)) fail_at_end(what);
        bool slash = false;
        std::vector<std::string> items = split_items(line, slash);
        expand_repeats(items);
        for (size_t k = 0; k < items.size() && done < targets.size(); ++k, ++done) {
            const std::string& item = items[k];
            bool ok = std::visit(
                [&](auto* target) {
                    using T = std::remove_pointer_t<decltype(target)>;
                    if constexpr (std::is_same_v<T, int>) return parse_integer(item, *target);
                    else return parse_real(item, *target);
                },
                targets[done]);
            if (!ok) {
                bool integer = std::holds_alternative<int*>(targets[done]);
                fail(std::string(what) + " bekleniyordu; '" + item + "' bir " +
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
