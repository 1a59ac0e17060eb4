// Running korvanti-openwater and the other programs as a user would, in a
// scratch working directory, with standard output and error apart.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace korvanti::testing {

struct ProgramResult {
    int exit_status = -1;
    std::string out, err;
};

std::string quote(const std::string& s);

// `command` (a shell line) in `dir`, standard input from /dev/null; the
// output is caught in files outside `dir`.
ProgramResult run_in(const std::filesystem::path& dir, const std::string& command);

// korvanti-openwater of the build tree with `arguments` (shell words).
ProgramResult openwater(const std::filesystem::path& dir, const std::string& arguments);

bool on_path(const std::string& program);

// The names in `dir` other than those it held before.
std::set<std::string> new_names(const std::filesystem::path& dir,
                                const std::set<std::string>& before);

}  // namespace korvanti::testing
