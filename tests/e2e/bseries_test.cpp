// Whole runs of the calculator on B-series task files: the printed tables,
// PEROF.SON, SEHAM.DAT, the mass block and the 2D Tecplot file; hands, blade
// counts, the nose-tail option; range stops; a damaged data file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace korvanti::testing {
namespace {

namespace fs = std::filesystem;

struct CalcRun {
    ScratchDir dir;
    ProgramRun program;
    std::vector<std::string> result;
    std::vector<std::string> lines(const std::string& file) const {
        return read_lines(dir.path() / file);
    }
};

void run_example(const std::string& example, CalcRun& run, const std::string& input = "") {
    prepare_run(run.dir.path(), example);
    run.program = run_program(KORVANTI_EXE, run.dir.path(), input);
    run.result = read_lines(run.dir.path() / "Korvanti.SON");
}

// A copy of B4-55.TSK with some value lines replaced.
void run_task(const std::vector<std::pair<int, std::string>>& values, CalcRun& run,
              const std::string& input = "\n") {
    prepare_run(run.dir.path(), "B4-55.TSK");
    auto lines = read_lines(run.dir.path() / "Korvanti.TSK");
    for (const auto& [number, text] : values) lines[static_cast<size_t>(number - 1)] = text;
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    write_file(run.dir.path() / "Korvanti.TSK", text);
    run.program = run_program(KORVANTI_EXE, run.dir.path(), input);
    run.result = read_lines(run.dir.path() / "Korvanti.SON");
}

size_t find_line(const std::vector<std::string>& lines, const std::string& text) {
    return static_cast<size_t>(std::find(lines.begin(), lines.end(), text) - lines.begin());
}

std::vector<float> numbers(const std::string& line, size_t from = 0) {
    std::istringstream in(line.substr(from));
    std::vector<float> v;
    for (float x; in >> x;) v.push_back(x);
    return v;
}

// The geometry table rows (9 stations) after the title.
std::vector<std::string> geometry_rows(const std::vector<std::string>& result) {
    const size_t title =
        find_line(result, "  r/R     c/D     a/D     b/D    P/D  theta    iT/D    tm/D");
    if (title + 10 > result.size()) return {};
    return {result.begin() + static_cast<long>(title) + 1,
            result.begin() + static_cast<long>(title) + 10};
}

TEST(BSeriesRun, B4_55WritesTablesOffsetsAndMass) {
    CalcRun run;
    run_example("B4-55.TSK", run);
    ASSERT_EQ(run.program.exit_status, 0) << run.program.output;
    EXPECT_EQ(run.result[9], "         WAGENINGEN B 4.550  PERVANE GEOMETRISI");
    auto rows = geometry_rows(run.result);
    ASSERT_EQ(rows.size(), 9u);
    // c/D = K·Ear/Z and tm/D = Ar - Br·Z of the published table.
    const float K[] = {1.662f, 1.882f, 2.050f, 2.152f, 2.187f, 2.144f, 1.970f, 1.582f, 0.0f};
    const float Ar[] = {0.0526f, 0.0464f, 0.0402f, 0.0340f, 0.0278f,
                        0.0216f, 0.0154f, 0.0092f, 0.0030f};
    const float Br[] = {0.0040f, 0.0035f, 0.0030f, 0.0025f, 0.0020f,
                        0.0015f, 0.0010f, 0.0005f, 0.0f};
    const float PD[] = {0.822f, 0.887f, 0.95f, 0.992f, 1, 1, 1, 1, 1};
    for (size_t i = 0; i < 9; ++i) {
        auto v = numbers(rows[i]);
        ASSERT_EQ(v.size(), 8u) << rows[i];
        EXPECT_NEAR(v[0], 0.2f + 0.1f * static_cast<float>(i), 5e-4f);
        EXPECT_NEAR(v[1], K[i] * 0.55f / 4.0f, 5.1e-5f) << rows[i];
        EXPECT_NEAR(v[4], PD[i], 5e-4f) << rows[i];
        EXPECT_NEAR(v[7], Ar[i] - Br[i] * 4.0f, 5.1e-5f) << rows[i];
    }
    EXPECT_NE(find_line(run.result, "                PERVANE OFSETI - SAG PERVANE"),
              run.result.size());
    EXPECT_NE(find_line(run.result, " -- KANAT AGIRLIGI VE ATALET MOMENTININ HESABI --"),
              run.result.size());
    EXPECT_NE(find_line(run.result, " rho_m = 8600.0 kg/m3 (malzeme yogunlugu)"),
              run.result.size());

    auto perof = run.lines("PEROF.SON");
    EXPECT_EQ(perof[0], "  10");
    EXPECT_EQ(perof[4].substr(0, 13), "0.167000E+00 ");  // 0.0835·D
    auto seham = run.lines("SEHAM.DAT");
    EXPECT_EQ(seham.size(), 11u);
    for (size_t k = 1; k < seham.size(); ++k) EXPECT_GE(numbers(seham[k])[3], 0.0f) << seham[k];
    auto plt = run.lines("Korvanti2D_Tecplot.PLT");
    EXPECT_EQ(plt.size(), 9u * 2u * 21u + 2u * 10u);
    EXPECT_EQ(plt.back().size(), 30u);
}

TEST(BSeriesRun, LeftHandDiffersOnlyInTitleAndAbscissaSigns) {
    CalcRun right, left;
    run_example("B4-55.TSK", right);
    run_example("B4-55-SOL.TSK", left);
    ASSERT_EQ(left.program.exit_status, 0) << left.program.output;
    // Geometry, offset table and legend: the title and the xc rows differ.
    const size_t legend = find_line(right.result, " .......  ACIKLAMALAR ........");
    ASSERT_LT(legend, right.result.size());
    int mirrored = 0;
    for (size_t k = 0; k <= legend; ++k) {
        const std::string& r = right.result[k];
        const std::string& l = left.result[k];
        if (r == "                PERVANE OFSETI - SAG PERVANE") {
            EXPECT_EQ(l, "                PERVANE OFSETI - SOL PERVANE");
        } else if (r.rfind("xc ", 0) == 0) {
            auto a = numbers(r, 3);
            auto b = numbers(l, 3);
            ASSERT_EQ(a.size(), b.size());
            for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i], -b[i]) << r << "\n" << l;
            ++mirrored;
        } else {
            EXPECT_EQ(r, l) << k;
        }
    }
    EXPECT_EQ(mirrored, 20);
    // The mass block is the same for both hands.
    const size_t mass_r =
        find_line(right.result, " -- KANAT AGIRLIGI VE ATALET MOMENTININ HESABI --");
    const size_t mass_l =
        find_line(left.result, " -- KANAT AGIRLIGI VE ATALET MOMENTININ HESABI --");
    ASSERT_LT(mass_r, right.result.size());
    for (size_t k = 0; k < 24; ++k) EXPECT_EQ(right.result[mass_r + k], left.result[mass_l + k]);
    // Files of the right-hand model are the same; the 2D plot is mirrored.
    EXPECT_EQ(read_file(right.dir.path() / "PEROF.SON"), read_file(left.dir.path() / "PEROF.SON"));
    EXPECT_EQ(read_file(right.dir.path() / "SEHAM.DAT"), read_file(left.dir.path() / "SEHAM.DAT"));
    auto pr = right.lines("Korvanti2D_Tecplot.PLT");
    auto pl = left.lines("Korvanti2D_Tecplot.PLT");
    ASSERT_EQ(pr.size(), pl.size());
    for (size_t k = 0; k < pr.size(); ++k) {
        if (pr[k].rfind(" ZONE", 0) == 0) {
            EXPECT_EQ(pr[k], pl[k]);
        } else {
            EXPECT_EQ(pr[k].substr(15), pl[k].substr(15));
            EXPECT_EQ(std::stof(pr[k].substr(0, 14)), -std::stof(pl[k].substr(0, 14))) << k;
        }
    }
}

TEST(BSeriesRun, ThreeBladesUseTheirOwnTable) {
    CalcRun run;
    run_example("B3-50.TSK", run);
    ASSERT_EQ(run.program.exit_status, 0) << run.program.output;
    EXPECT_EQ(run.result[9], "         WAGENINGEN B 3.500  PERVANE GEOMETRISI");
    auto rows = geometry_rows(run.result);
    ASSERT_EQ(rows.size(), 9u);
    // Block 4: K = 1.633 and a/c = 0.616 at r/R 0.2; tm/D = 0.0526 - 3·0.004.
    EXPECT_EQ(rows[0].substr(0, 30), "0.200  0.2722  0.1677  0.0953 ");
    EXPECT_EQ(rows[0].substr(53), "0.0406");
    EXPECT_EQ(rows[7].substr(0, 14), "0.900  0.2762 ");  // 1.657·0.5/3
    for (const auto& row : rows) EXPECT_NEAR(numbers(row)[4], 1.0f, 1e-6f) << row;
    EXPECT_EQ(run.lines("SEHAM.DAT")[0], "   3   1   3  10       2.000     0.500    15.000");
}

TEST(BSeriesRun, FiveBladesKeepTheNominalPitch) {
    CalcRun run;
    run_example("B5-75.TSK", run);
    ASSERT_EQ(run.program.exit_status, 0) << run.program.output;
    EXPECT_EQ(run.result[9], "         WAGENINGEN B 5.750  PERVANE GEOMETRISI");
    for (const auto& row : geometry_rows(run.result)) EXPECT_EQ(row.substr(31, 5), "1.000") << row;
    auto perof = run.lines("PEROF.SON");
    for (size_t k = 5; k < 14; ++k) EXPECT_EQ(perof[k].substr(13, 13), "0.200000E+01 ") << perof[k];
}

// --- runs that stop early ---------------------------------------------------

void expect_only_banner_and_separator(const CalcRun& run) {
    ASSERT_EQ(run.result.size(), 9u);
    EXPECT_EQ(run.result[7], "");
    EXPECT_EQ(run.result[8], std::string(59, '='));
    for (const char* file :
         {"PEROF.SON", "SEHAM.DAT", "Korvanti2D_Tecplot.PLT", "PERVDAT", "PEROF2.SON"})
        EXPECT_FALSE(fs::exists(run.dir.path() / file)) << file;
}

TEST(BSeriesRunStops, RangeChecksOfSeriesFourFiveAndSix) {
    struct Case {
        const char* series;
        const char* blades;
        const char* pitch;
        const char* message;
    };
    const Case cases[] = {
        {"4", "3 0.49", "1.0 2.0",
         "\n\n\n KC101-GAWN SERISI PERVANELERIN ACINIM ALANI ORANLARI\n"
         " Ear=0.50-1.1 ARASINDA DEGISMEKTEDIR.\n"
         " Ear DEGERINI SINIRLAR DAHILINDE GIRINIZ - STOP\n"},
        {"5", "3 1.2", "1.0 2.0",
         "\n\n\n GAWN SERISI PERVANELERIN ACINIM ALANI ORANLARI\n"
         " Ear=0.20-1.1 ARASINDA DEGISMEKTEDIR.\n"
         " Ear DEGERINI SINIRLAR DAHILINDE GIRINIZ - STOP\n"},
        {"6", "3 0.71", "2.1 2.0",
         "\n\n\n NEWTON-RADER SERISI PERVANELERIN PIC IRANLARI\n"
         "  Ear      Yuz pici orani -  P/D \n"
         " 0.48     1.05  1.26  1.67  2.08 \n"
         " 0.71     1.05  1.25  1.66  2.06 \n"
         " 0.95     1.04  1.24  1.65  2.04 \n\n"
         " P/D DEGERINI SINIRLAR DAHILINDE GIRINIZ - STOP\n"},
        {"6", "3 0.40", "2.1 2.0",
         "\n\n\n NEWTON-RADER SERISI PERVANELERIN ACINIM ALANLARI\n"
         " Ear=0.48, 0.71, 0.95 DIR. \n"
         " Ear DEGERINI SINIRLAR DAHILINDE GIRINIZ - STOP\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.series) + " " + c.blades + " " + c.pitch);
        CalcRun run;
        run_task({{40, c.series}, {43, c.blades}, {50, c.pitch}}, run);
        EXPECT_EQ(run.program.exit_status, 1);  // the run was stopped
        const std::string tail =
            std::string(c.message) +
            "Pause - Please enter a blank line (to continue) or a DOS command.\n"
            "Stop - Program terminated.\n";
        ASSERT_GE(run.program.output.size(), tail.size());
        EXPECT_EQ(run.program.output.substr(run.program.output.size() - tail.size()), tail)
            << run.program.output;
        expect_only_banner_and_separator(run);
    }
}

TEST(BSeriesRunStops, AuQuestionIsShownAndAnswered) {
    CalcRun run;
    run_example("AU4-55.TSK", run, "\nE\n");
    EXPECT_EQ(run.program.exit_status, 0) << run.program.output;
    EXPECT_NE(run.program.output.find("\n      Z = 4; P/D =1.00; Ear =0.550      "
                                      "Mevcut Pervane Degerlerini Onayliyor musun? (E/H)\n"),
              std::string::npos)
        << run.program.output;
    EXPECT_EQ(run.result[9], "         AU(MAU) 4.550  PERVANE GEOMETRISI");
}

TEST(BSeriesRunStops, DamagedDataFileEndsTheRunWithItsLine) {
    CalcRun missing;
    prepare_run(missing.dir.path(), "B4-55.TSK");
    fs::remove(missing.dir.path() / "WAGBPROP.DAT");
    // A copy of the program finds no installed tables either.
    missing.program = run_program(program_without_installed_data(KORVANTI_EXE), missing.dir.path());
    missing.result = read_lines(missing.dir.path() / "Korvanti.SON");
    EXPECT_EQ(missing.program.exit_status, 1);
    EXPECT_NE(missing.program.output.find("WAGBPROP.DAT"), std::string::npos)
        << missing.program.output;
    expect_only_banner_and_separator(missing);

    CalcRun damaged;
    prepare_run(damaged.dir.path(), "B4-55.TSK");
    auto lines = read_lines(damaged.dir.path() / "WAGBPROP.DAT");
    lines[30] = "14";  // more V2 rows than the table holds
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    write_file(damaged.dir.path() / "WAGBPROP.DAT", text);
    damaged.program = run_program(KORVANTI_EXE, damaged.dir.path());
    damaged.result = read_lines(damaged.dir.path() / "Korvanti.SON");
    EXPECT_EQ(damaged.program.exit_status, 1);
    EXPECT_NE(damaged.program.output.find(
                  " HATA: WAGBPROP.DAT, satir 31: blok 3: V2 satir sayisi N5 3 ile 12 arasinda "
                  "olmali, okunan 14\n"),
              std::string::npos)
        << damaged.program.output;
    expect_only_banner_and_separator(damaged);
}

}  // namespace
}  // namespace korvanti::testing
