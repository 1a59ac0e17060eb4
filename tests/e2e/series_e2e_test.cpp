// The six table-held series run end to end through the real calculator.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace korvanti::testing {
namespace {

namespace fs = std::filesystem;

struct SeriesExample {
    const char* task_file;
    const char* title;
    std::vector<std::string> rows;  // geometry-table rows checked to the character
};

// Rows checked by hand from the tables: Kc c/D = cmax/D = 2.265·0.70/4 at 0.8;
// KC101 16·c/D = 10.8 and yb/D = 0.01219 at 0.75; Gawn t = 0.06 - 0.059·0.2;
// NR 3.819 in on the 10-inch model with a = 0.45/0.95·c and the 0.335 in
// thickness; AU c = 66.54 % of 0.226·D scaled to Ear, a = 38.58 % and b = 32 %
// of it; at the tip no leading width.
const std::vector<SeriesExample> examples = {
    {"Ka4-70.TSK",
     "         WAGENINGEN NOZULLU Ka 4.700  PERVANE GEOMETRISI",
     {"0.200  0.2319  0.1277  0.0802  1.000    3.6   0.000  0.0398"}},
    {"Kc4-70.TSK",
     "         WAGENINGEN NOZULLU Kc 4.700  PERVANE GEOMETRISI",
     {"0.200  0.2329  0.1281  0.0813  1.000    3.5   0.000  0.0400",
      "0.800  0.3964  0.1982  0.1982  1.000    0.0   0.000  0.0092"}},
    {"KC101-80.TSK",
     "  KC101 - GAWN/BURRILL - Ear = 0.800  PERVANE GEOMETRISI",
     {"0.750  0.6750  0.3375  0.3375  1.000    0.0   0.000  0.0122",
      "0.200  0.2850  0.1425  0.1425  1.000    0.0   0.000  0.0365"}},
    {"Gawn3-65.TSK",
     "          GAWN - Ear = 0.650  PERVANE GEOMETRISI",
     {"0.200  0.3226  0.1613  0.1613  1.000    0.0   0.000  0.0482",
      "0.550  0.5132  0.2566  0.2566  1.000    0.0   0.000  0.0276"}},
    {"NR3-71.TSK",
     "          NR - Ear = 0.710  PERVANE GEOMETRISI",
     {"0.300  0.3819  0.1809  0.1809  1.250    0.0   0.000  0.0335",
      "0.700  0.5624  0.2664  0.2664  1.250    0.0   0.000  0.0126"}},
    {"AU4-55.TSK",
     "         AU(MAU) 4.550  PERVANE GEOMETRISI",
     {"0.200  0.2129  0.0821  0.0681  1.000   -7.4   0.000  0.0406",
      "1.000  0.0842  0.0000  0.0421  1.000   -4.6   0.000  0.0030"}},
};

bool has_line(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Replaces value lines (1-based line numbers) of the task file in dir.
void set_task_lines(const fs::path& dir, const std::vector<std::pair<int, std::string>>& values) {
    auto lines = read_lines(dir / "Korvanti.TSK");
    for (const auto& [number, text] : values) lines.at(number - 1) = text;
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    write_file(dir / "Korvanti.TSK", text);
}

// The geometry-table rows (between the column heading and the closing rule).
std::vector<std::string> geometry_rows(const std::vector<std::string>& lines) {
    std::vector<std::string> rows;
    auto heading = std::find(lines.begin(), lines.end(),
                             "  r/R     c/D     a/D     b/D    P/D  theta    iT/D    tm/D");
    if (heading == lines.end()) return rows;
    for (auto it = heading + 1; it != lines.end() && it->rfind("===", 0) != 0; ++it)
        rows.push_back(*it);
    return rows;
}

TEST(SeriesEndToEnd, EveryExampleWritesItsGeometryTableAndAllFiles) {
    for (const SeriesExample& example : examples) {
        SCOPED_TRACE(example.task_file);
        ScratchDir dir;
        prepare_run(dir.path(), example.task_file);
        const ProgramRun run = run_program(KORVANTI_EXE, dir.path(), "E\n");
        EXPECT_EQ(run.exit_status, 0) << run.output;
        const auto lines = read_lines(dir.path() / "Korvanti.SON");
        EXPECT_TRUE(has_line(lines, example.title));
        for (const std::string& row : example.rows) EXPECT_TRUE(has_line(lines, row)) << row;
        EXPECT_TRUE(has_line(lines, "                PERVANE OFSETI - SAG PERVANE"));
        for (const char* file : {"PEROF.SON", "SEHAM.DAT", "PEROF2.SON", "PERVDAT",
                                 "Korvanti2D_Tecplot.PLT", "Korvanti3D_Tecplot.PLT"})
            EXPECT_TRUE(fs::exists(dir.path() / file)) << file;
        for (const char* file : {"Korvanti.SON", "PEROF.SON", "SEHAM.DAT"}) {
            const std::string text = read_file(dir.path() / file);
            EXPECT_EQ(text.find("nan"), std::string::npos) << file;
            EXPECT_EQ(text.find("***"), std::string::npos) << file;
        }
    }
}

TEST(SeriesEndToEnd, LeftHandAndNoseTailKeepTheChords) {
    for (const SeriesExample& example : examples) {
        SCOPED_TRACE(example.task_file);
        ScratchDir plain;
        prepare_run(plain.path(), example.task_file);
        ASSERT_EQ(run_program(KORVANTI_EXE, plain.path(), "E\n").exit_status, 0);
        ScratchDir turned;
        prepare_run(turned.path(), example.task_file);
        set_task_lines(turned.path(), {{47, "0"}, {57, "1"}});
        const ProgramRun run = run_program(KORVANTI_EXE, turned.path(), "E\n");
        ASSERT_EQ(run.exit_status, 0) << run.output;
        const auto lines = read_lines(turned.path() / "Korvanti.SON");
        EXPECT_TRUE(has_line(lines, "                PERVANE OFSETI - SOL PERVANE"));
        const auto a = geometry_rows(read_lines(plain.path() / "Korvanti.SON"));
        const auto b = geometry_rows(lines);
        ASSERT_EQ(a.size(), b.size());
        ASSERT_GT(a.size(), 6u);
        for (size_t i = 0; i < a.size(); ++i)
            EXPECT_EQ(a[i].substr(0, 15), b[i].substr(0, 15)) << i;  // r/R and c/D
    }
}

TEST(SeriesEndToEnd, Kc101GawnRunsAcrossItsRangeAndStopsOutsideIt) {
    for (const char* ear : {"3   0.50", "3   1.10"}) {
        ScratchDir dir;
        prepare_run(dir.path(), "KC101-80.TSK");
        set_task_lines(dir.path(), {{43, ear}});
        const ProgramRun run = run_program(KORVANTI_EXE, dir.path());
        EXPECT_EQ(run.exit_status, 0) << run.output;
        EXPECT_TRUE(fs::exists(dir.path() / "PEROF.SON")) << ear;
        EXPECT_EQ(run.output.find("INTERPOLASYON BASARISIZ"), std::string::npos) << ear;
    }
    ScratchDir dir;
    prepare_run(dir.path(), "KC101-80.TSK");
    set_task_lines(dir.path(), {{43, "3   0.49"}});
    const ProgramRun run = run_program(KORVANTI_EXE, dir.path());
    EXPECT_EQ(run.exit_status, 1);  // stopped, not finished
    EXPECT_NE(run.output.find(" Ear DEGERINI SINIRLAR DAHILINDE GIRINIZ - STOP"), std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(dir.path() / "PEROF.SON"));
}

TEST(SeriesEndToEnd, AuRequestBeyondThe32BitToleranceIsRejected) {
    ScratchDir dir;
    prepare_run(dir.path(), "AU4-55.TSK");
    set_task_lines(dir.path(), {{43, "4   20000"}});
    const ProgramRun run = run_program(KORVANTI_EXE, dir.path(), "E\n");
    EXPECT_NE(run.exit_status, 0);
    EXPECT_NE(run.output.find("AU(MAU) serisi"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(dir.path() / "PEROF.SON"));
}

}  // namespace
}  // namespace korvanti::testing
