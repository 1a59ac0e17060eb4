// The whole program behind its command line, so that the tests and the
// benchmark can run it in process.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace korvanti::openwater {

// Exit status: 0 done; 1 an input file that cannot be used, a series without
// an open-water model, or a need no propeller meets; 2 a bad command line.
// Nothing is written unless it ends with 0 (the Z = 2 and Keller warnings
// aside, which go to `err` too).
int run_openwater(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// Where the data are: the folder of the open-water polynomials and the
// B-series tables, for the program installed under a prefix (share/korvanti
// beside its bin folder, also unpacked anywhere) or the program of the build
// tree (the repository's data/).
std::filesystem::path open_water_data_folder();
std::filesystem::path b_series_tables_file();

}  // namespace korvanti::openwater
