// The regression matrix: both programs run on every task file of the matrix,
// and every file they write is compared byte for byte with the reviewed
// reference outputs in tests/regression/reference/<case>/.
//
// With KORVANTI_REGRESSION_REGENERATE=1 in the environment the outputs are
// written into the reference directories instead (regenerate.sh does this);
// such a change is reviewed with git diff before it is committed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/child_process.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {

namespace fs = std::filesystem;

struct MatrixCase {
    const char* name;  // examples/<name>.TSK and reference/<name>/
    const char* calculator_input;
    const char* scale;      // answer to the scale question of the form plans
    const char* panelling;  // answer to the panelling question of the 3D view
};

// Series, blade count, hand, report mode and nose-tail option of each case
// are in its task file; the comments say what the case is there for.
const MatrixCase matrix[] = {
    {"B4-55", "", "0.1", "3"},      // B-series Z = 4, root pitch reduction; 3D with the hub
    {"B4-55-SOL", "", "0.1", "1"},  // left hand
    {"B4-55-BK", "", "0.1", "1"},   // nose-tail option
    {"B4-55-M2", "", "0.1", "1"},   // report mode 2, 11 radii
    {"B4-55-M22", "", "0.1", "1"},  // report mode 2, 22 radii (largest hub grid)
    {"B3-50", "", "0.1", "1"},      // Z = 3: block 4 of WAGBPROP.DAT
    {"B5-75", "", "0.1", "1"},      // Z = 5: nominal pitch everywhere
    {"Ka4-70", "", "0.1", "1"},
    {"Ka4-70-SOL-BK", "", "0.1", "1"},  // left hand with the nose-tail option
    {"Kc4-70", "", "0.25", "1"},        // D = 1 m
    {"Kc4-70-M22", "", "0.1", "1"},     // mode 2 with more radii than stations
    {"KC101-80", "", "0.1", "1"},
    {"KC101-725-SOL-BK", "", "0.1", "1"},  // chord parabola between table rows, left, nose-tail
    {"Gawn3-65", "", "0.1", "2"},          // 3D of the hub panels
    {"Gawn3-65-SOL", "", "0.1", "1"},
    {"NR3-71", "", "0.1", "1"},        // second branch of the area-ratio interpolation
    {"NR3-55-BK-M2", "", "0.1", "1"},  // first branch, nose-tail option, mode 2
    {"AU4-55", "E\n", "0.1", "1"},     // AU confirmation answer
    {"AU5-65-SOL", "E\n", "1", "1"},   // Z = 5, left hand, D = 3 m; scale clamped to the limit
};

const char* const script_file = "TELVARO_3B_CIZIMLER.SCR";
const char* const form_plans_reference = "TELVARO_3B_CIZIMLER.form-plans.SCR";
const char* const panel_view_reference = "TELVARO_3B_CIZIMLER.panel-view.SCR";
const char* const console_reference = "Korvanti.console";
// Written beside the script by every drawing run; checked with their readers
// by the drawing tests, not kept as references here.
const char* const drawing_exports[] = {"TELVARO_3B_CIZIMLER.dxf", "TELVARO_3B_CIZIMLER.pdf",
                                       "TELVARO_3B_CIZIMLER.png", "TELVARO_3B_CIZIMLER.svg"};

void take_away_drawing_exports(const fs::path& dir, const std::string& run) {
    for (const char* name : drawing_exports) {
        EXPECT_TRUE(fs::is_regular_file(dir / name)) << run << ": " << name << " not written";
        fs::remove(dir / name);
    }
}

fs::path reference_root() { return fs::path(KORVANTI_SOURCE_DIR) / "tests/regression/reference"; }

bool regenerating() {
    const char* value = std::getenv("KORVANTI_REGRESSION_REGENERATE");
    return value != nullptr && std::string(value) == "1";
}

class WorkDir {
public:
    WorkDir() {
        std::string pattern = (fs::temp_directory_path() / "korvanti-regression-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~WorkDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// The first line at which two texts differ, for the failure message.
std::string first_difference(const std::string& expected, const std::string& actual) {
    std::istringstream e(expected);
    std::istringstream a(actual);
    std::string el;
    std::string al;
    for (int line = 1;; ++line) {
        const bool has_e = static_cast<bool>(std::getline(e, el));
        const bool has_a = static_cast<bool>(std::getline(a, al));
        if (!has_e && !has_a)
            return "the texts differ only in their line ends (" + std::to_string(expected.size()) +
                   " bytes expected, " + std::to_string(actual.size()) + " written)";
        if (!has_e)
            return "line " + std::to_string(line) +
                   ": written past the end of the reference:\n  [" + al + "]";
        if (!has_a)
            return "line " + std::to_string(line) +
                   ": the output ends here; the reference has:\n  [" + el + "]";
        if (el != al)
            return "first difference at line " + std::to_string(line) + ":\n  reference [" + el +
                   "]\n  written   [" + al + "]";
    }
}

// Runs the calculator and the drawing generator (form plans, then the 3D
// panel view with every blade) on one task file; returns every file written,
// by reference name, but the DXF, PDF and PNG of the drawing.
std::map<std::string, std::string> run_case(const MatrixCase& c) {
    WorkDir work;
    const fs::path dir = work.path();
    fs::copy_file(fs::path(KORVANTI_SOURCE_DIR) / "examples" / (std::string(c.name) + ".TSK"),
                  dir / "Korvanti.TSK");
    fs::copy_file(fs::path(KORVANTI_SOURCE_DIR) / "data/WAGBPROP.DAT", dir / "WAGBPROP.DAT");
    const std::set<std::string> inputs = {"Korvanti.TSK", "WAGBPROP.DAT"};
    const std::string task = read_file(dir / "Korvanti.TSK");
    const std::string data = read_file(dir / "WAGBPROP.DAT");

    std::map<std::string, std::string> outputs;
    ChildOptions calculator;
    calculator.input = c.calculator_input;
    ChildResult run = run_child(KORVANTI_EXE, dir, calculator);
    EXPECT_TRUE(run.exited()) << "Korvanti crashed or hung:\n" << run.output;
    EXPECT_EQ(run.exit_status, 0) << run.output;
    outputs[console_reference] = run.output;

    ChildOptions form_plans;
    form_plans.input = std::string("1\n") + c.scale + "\n";
    run = run_child(TELVARO_EXE, dir, form_plans);
    EXPECT_TRUE(run.exited() && run.exit_status == 0) << "form plans:\n" << run.output;
    fs::rename(dir / script_file, dir / form_plans_reference);
    take_away_drawing_exports(dir, "form plans");

    ChildOptions panel_view;
    panel_view.input = std::string("2\n") + c.panelling + "\nE\n";
    run = run_child(TELVARO_EXE, dir, panel_view);
    EXPECT_TRUE(run.exited() && run.exit_status == 0) << "3D panel view:\n" << run.output;
    fs::rename(dir / script_file, dir / panel_view_reference);
    take_away_drawing_exports(dir, "3D panel view");

    EXPECT_EQ(read_file(dir / "Korvanti.TSK"), task) << "the task file was changed";
    EXPECT_EQ(read_file(dir / "WAGBPROP.DAT"), data) << "WAGBPROP.DAT was changed";
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (inputs.count(name) != 0) continue;
        EXPECT_TRUE(entry.is_regular_file()) << name << " is not a plain file";
        outputs[name] = read_file(entry.path());
    }
    return outputs;
}

class RegressionMatrix : public ::testing::TestWithParam<MatrixCase> {};

TEST_P(RegressionMatrix, EveryFileMatchesItsReference) {
    const MatrixCase& c = GetParam();
    const std::map<std::string, std::string> outputs = run_case(c);
    const fs::path reference = reference_root() / c.name;

    if (regenerating()) {
        fs::remove_all(reference);
        fs::create_directories(reference);
        for (const auto& [name, text] : outputs) write_file(reference / name, text);
        std::cout << "written: " << reference.string() << " (" << outputs.size() << " files)\n";
        return;
    }

    ASSERT_TRUE(fs::is_directory(reference))
        << reference.string() << " is missing: run tests/regression/regenerate.sh and review it";
    std::set<std::string> reference_files;
    for (const auto& entry : fs::directory_iterator(reference))
        reference_files.insert(entry.path().filename().string());
    for (const auto& [name, text] : outputs) {
        if (reference_files.count(name) == 0) {
            ADD_FAILURE() << c.name << ": " << name << " was written but has no reference";
            continue;
        }
        const std::string expected = read_file(reference / name);
        if (expected != text)
            ADD_FAILURE() << c.name << ": " << name << " differs from its reference; "
                          << first_difference(expected, text);
    }
    for (const std::string& name : reference_files)
        if (outputs.count(name) == 0) ADD_FAILURE() << c.name << ": " << name << " was not written";
}

INSTANTIATE_TEST_SUITE_P(Cases, RegressionMatrix, ::testing::ValuesIn(matrix),
                         [](const ::testing::TestParamInfo<MatrixCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

// A reference directory without a case in the matrix would never be compared.
TEST(RegressionMatrixReferences, EveryReferenceDirectoryBelongsToACase) {
    if (regenerating()) GTEST_SKIP() << "regenerating";
    std::set<std::string> cases;
    for (const MatrixCase& c : matrix) cases.insert(c.name);
    ASSERT_TRUE(fs::is_directory(reference_root()));
    for (const auto& entry : fs::directory_iterator(reference_root()))
        EXPECT_EQ(cases.count(entry.path().filename().string()), 1u)
            << entry.path().string() << " is not a case of the matrix";
}

// The matrix covers what it claims: every series, both hands, both report
// modes with 11 and 22 radii, the nose-tail option and Z = 3, 4, 5 for the
// B-series, read from the task files themselves.
TEST(RegressionMatrixReferences, CoversEverySeriesHandModeAndOption) {
    auto value_line = [](const std::string& name, int number) {
        std::ifstream in(fs::path(KORVANTI_SOURCE_DIR) / "examples" / (name + ".TSK"));
        std::string line;
        for (int k = 1; k <= number; ++k) std::getline(in, line);
        return line;
    };
    std::set<int> series;
    std::set<int> b_blade_counts;
    std::set<std::string> modes;
    bool left = false;
    bool right = false;
    bool nose_tail = false;
    for (const MatrixCase& c : matrix) {
        const int s = std::stoi(value_line(c.name, 40));
        series.insert(s);
        std::istringstream line43(value_line(c.name, 43));
        int z = 0;
        line43 >> z;
        if (s == 1) b_blade_counts.insert(z);
        (std::stof(value_line(c.name, 47)) < 0.5f ? left : right) = true;
        if (std::stoi(value_line(c.name, 57)) == 1) nose_tail = true;
        std::istringstream line67(value_line(c.name, 67));
        int mode = 0;
        int radii = 0;
        line67 >> mode >> radii;
        modes.insert(mode == 1 ? "1" : "2/" + std::to_string(radii));
    }
    EXPECT_EQ(series, (std::set<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(b_blade_counts, (std::set<int>{3, 4, 5}));
    EXPECT_EQ(modes, (std::set<std::string>{"1", "2/11", "2/22"}));
    EXPECT_TRUE(left && right && nose_tail);
}

}  // namespace
}  // namespace korvanti::testing
