#include "list_reader.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

namespace korvanti_solid {

ListReader::ListReader(const std::filesystem::path& file) : name_(file.filename().string()) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw InputError(name_ + ": cannot be opened (run Korvanti in this directory first)");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw InputError(name_ + ": cannot be read");
    text_.str(std::move(text).str());
}

ListReader::ListReader(std::string name, std::string text)
    : name_(std::move(name)), text_(std::move(text)) {}

void ListReader::fail(std::string_view what) const {
    throw InputError(name_ + ", line " + std::to_string(input_.line_number()) + ": " +
                     std::string(what));
}

void ListReader::skip_line(std::string_view what) {
    if (!input_.whole_line()) fail("the file ends before " + std::string(what));
}

std::string ListReader::whole_line(std::string_view what) {
    const auto line = input_.whole_line();
    if (!line) fail("the file ends before " + std::string(what));
    return std::string(*line);
}

std::string_view ListReader::next_token(std::string_view what) {
    const auto item = input_.next_item();
    if (!item) fail("the file ends before " + std::string(what));
    return *item;
}

std::vector<double> ListReader::reals(int count, std::string_view what) {
    input_.begin_record();  // every read starts on a new line
    std::vector<double> values;
    values.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string_view token = next_token(what);
        double value = 0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || end != token.data() + token.size())
            fail("\"" + std::string(token) + "\" is not a number (" + std::string(what) + ")");
        if (!std::isfinite(value))
            fail("\"" + std::string(token) + "\" is not a finite number (" + std::string(what) +
                 ")");
        values.push_back(value);
    }
    return values;
}

int ListReader::integer(std::string_view what) {
    input_.begin_record();
    const std::string_view token = next_token(what);
    int value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc() || end != token.data() + token.size())
        fail("\"" + std::string(token) + "\" is not a whole number (" + std::string(what) + ")");
    return value;
}

}  // namespace korvanti_solid
