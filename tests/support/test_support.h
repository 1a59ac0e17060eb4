// Helpers shared by the tests: a scratch working directory, running the real
// programs, reading files.
#pragma once

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace korvanti::testing {

// Creates a fresh directory and makes it the working directory; restores the
// previous working directory and removes the scratch one on destruction.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

struct ProgramRun {
    int exit_status = -1;
    std::string output;  // standard output and standard error together
};

// Runs a program in `dir` with `input` on its standard input.
ProgramRun run_program(const std::string& exe, const std::filesystem::path& dir,
                       const std::string& input = "");

// A copy of the program in a scratch folder of its own (removed when the test
// program ends), with no WAGBPROP.DAT installed beside it: it finds the
// B-series tables only in its working directory.
std::string program_without_installed_data(const std::string& exe);

std::string read_file(const std::filesystem::path& file);
std::vector<std::string> read_lines(const std::filesystem::path& file);
void write_file(const std::filesystem::path& file, const std::string& text);

// Path of a file in the source tree (examples/, data/, tests/...).
std::filesystem::path source_path(const std::string& relative);

// Copies data/WAGBPROP.DAT and examples/<example> (as Korvanti.TSK) into dir.
void prepare_run(const std::filesystem::path& dir, const std::string& example);

// x with a x = b, by Gaussian elimination with partial pivoting in double:
// the independent solver behind the reference splines of the tests.
std::vector<double> solve_dense(std::vector<std::vector<double>> a, std::vector<double> b);

// The end condition of a reference spline: fills the first and the last row
// of the system for the second derivatives M (matrix a, right-hand side r),
// given the interval lengths h.
using SplineEnds = std::function<void(const std::vector<double>& h,
                                      std::vector<std::vector<double>>& a, std::vector<double>& r)>;

// An independent reference for the spline tests: the cubic spline through
// (x, y) in double, from its second derivatives M (the interior rows are the
// continuity equations, the end rows come from `ends`), at `at` in the
// symmetric form.
double reference_spline(const std::vector<double>& x, const std::vector<double>& y, double at,
                        const SplineEnds& ends);

// The names of the entries of a directory.
std::set<std::string> names_in(const std::filesystem::path& dir);

// The files a finished Korvanti run writes besides its console, in the order
// they are written.
inline const std::vector<std::string> calculator_outputs = {"Korvanti.SON",
                                                            "PEROF.SON",
                                                            "SEHAM.DAT",
                                                            "PEROF2.SON",
                                                            "Korvanti3D_Tecplot.PLT",
                                                            "Korvanti3D_Rhino3_4_Macro.TXT",
                                                            "PERVDAT",
                                                            "Korvanti2D_Tecplot.PLT"};

}  // namespace korvanti::testing
