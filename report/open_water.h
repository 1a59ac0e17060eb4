// The open-water table of a run, Korvanti_openwater.csv: one header row of
// column names (with their units), then rows of numbers, comma separated;
// the first column is the advance ratio J, every other column a curve over J.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korvanti::report {

struct OpenWaterTable {
    std::vector<std::string> columns;
    std::vector<std::vector<double>> rows;  // each as long as columns
};

// Reads the table; throws std::runtime_error naming the file and the line
// when it is not a table of numbers under one header row of at least two
// columns.
OpenWaterTable read_open_water(const std::filesystem::path& file);

}  // namespace korvanti::report
