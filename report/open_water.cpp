#include "open_water.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace korvanti::report {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        out.push_back(trimmed(line.substr(start, comma - start)));
        if (comma == std::string::npos) return out;
        start = comma + 1;
    }
}

}  // namespace

OpenWaterTable read_open_water(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error(file.string() + ": cannot be opened");
    OpenWaterTable table;
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what) {
        throw std::runtime_error(file.string() + ", line " + std::to_string(number) + ": " + what);
    };
    while (std::getline(in, line)) {
        ++number;
        if (trimmed(line).empty()) continue;
        std::vector<std::string> cells = fields(line);
        if (table.columns.empty()) {
            if (cells.size() < 2) fail("expected a header of J and at least one curve");
            table.columns = std::move(cells);
            continue;
        }
        if (cells.size() != table.columns.size())
            fail("expected " + std::to_string(table.columns.size()) + " values, found " +
                 std::to_string(cells.size()));
        std::vector<double> row;
        for (const std::string& cell : cells) {
            double value = 0;
            const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
            if (cell.empty() || ec != std::errc() || end != cell.data() + cell.size() ||
                !std::isfinite(value))
                fail("'" + cell + "' is not a number");
            row.push_back(value);
        }
        table.rows.push_back(std::move(row));
    }
    if (table.columns.empty()) throw std::runtime_error(file.string() + ": empty");
    if (table.rows.empty()) throw std::runtime_error(file.string() + ": no row of values");
    return table;
}

}  // namespace korvanti::report
