// Where the run finds the B-series tables.
#pragma once

#include <string>

namespace korvanti {

// WAGBPROP.DAT of the working directory when it is there (even if it cannot
// be read: its own error then says so). Otherwise the copy installed with the
// program (share/korvanti beside its bin folder) or, for the program of the
// build tree, the repository's data/WAGBPROP.DAT. With neither, the name in
// the working directory, whose absence the B-series routine reports.
std::string b_series_data_path();

}  // namespace korvanti
