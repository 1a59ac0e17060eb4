#include "openwater_fixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "support/test_support.h"

namespace korvanti::testing {

namespace fs = std::filesystem;

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

ProgramResult run_in(const fs::path& dir, const std::string& command) {
    const fs::path base =
        fs::temp_directory_path() / ("openwater-test-" + std::to_string(getpid()));
    const std::string out = base.string() + ".out", err = base.string() + ".err";
    const std::string line = "cd " + quote(dir.string()) + " && " + command + " </dev/null >" +
                             quote(out) + " 2>" + quote(err);
    const int status = std::system(line.c_str());
    ProgramResult run;
    run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = read_file(out);
    run.err = read_file(err);
    fs::remove(out);
    fs::remove(err);
    return run;
}

ProgramResult openwater(const fs::path& dir, const std::string& arguments) {
    return run_in(dir, quote(OPENWATER_EXE) + " " + arguments);
}

bool on_path(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::set<std::string> new_names(const fs::path& dir, const std::set<std::string>& before) {
    std::set<std::string> added;
    for (const std::string& name : names_in(dir))
        if (before.count(name) == 0) added.insert(name);
    return added;
}

}  // namespace korvanti::testing
