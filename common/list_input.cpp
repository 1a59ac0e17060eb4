#include "list_input.h"

#include <charconv>

namespace korvanti {

namespace {

bool is_separator(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == ','; }

}  // namespace

ListInput::ListInput(std::istream& in, bool slash_ends_record)
    : in_(in), slash_ends_record_(slash_ends_record) {}

std::optional<std::string_view> ListInput::next_item() {
    for (;;) {
        std::size_t i = 0;
        while (i < rest_.size() && is_separator(rest_[i])) ++i;
        if (i < rest_.size()) {
            if (slash_ends_record_ && rest_[i] == '/') {
                rest_ = {};
                return std::string_view("/");
            }
            const std::size_t start = i;
            while (i < rest_.size() && !is_separator(rest_[i]) &&
                   !(slash_ends_record_ && rest_[i] == '/'))
                ++i;
            const std::string_view item = rest_.substr(start, i - start);
            rest_.remove_prefix(i);
            return item;
        }
        if (!whole_line()) return std::nullopt;
        rest_ = line_;
    }
}

std::optional<std::string_view> ListInput::whole_line() {
    rest_ = {};
    if (!std::getline(in_, line_)) return std::nullopt;
    ++line_number_;
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    return std::string_view(line_);
}

bool read_real_with_d_exponent(std::string_view item, double& value) {
    std::string with_e;
    if (item.find_first_of("dD") != std::string_view::npos) {
        with_e = item;
        for (char& ch : with_e)
            if (ch == 'd' || ch == 'D') ch = 'e';
        item = with_e;
    }
    const char* first = item.data() + (item.size() > 1 && item[0] == '+' ? 1 : 0);
    const char* last = item.data() + item.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last;
}

}  // namespace korvanti
