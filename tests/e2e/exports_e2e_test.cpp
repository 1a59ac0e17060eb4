// Runs the real calculator and reads its 3D Tecplot file and Rhino macro
// back: zone layout and counts, the turned blades, and the agreement of the
// two files with each other.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/surface_export_files.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {

namespace fs = std::filesystem;

struct Exports {
    TecplotFile tecplot;
    MacroSkeleton macro;
    std::set<std::string> files;  // the working directory after the run
};

Exports run_exports(const std::string& example) {
    ScratchDir dir;
    prepare_run(dir.path(), example);
    ProgramRun run = run_program(KORVANTI_EXE, dir.path(), "\n\n\n");
    EXPECT_EQ(run.exit_status, 0) << run.output;
    Exports exports;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        exports.files.insert(entry.path().filename().string());
    exports.tecplot = parse_tecplot_3d(read_file(dir.path() / "Korvanti3D_Tecplot.PLT"));
    std::vector<std::string> errors;
    std::vector<std::string> lines =
        macro_lines(read_file(dir.path() / "Korvanti3D_Rhino3_4_Macro.TXT"), errors);
    EXPECT_TRUE(errors.empty()) << errors.front();
    exports.macro = macro_skeleton(lines);
    return exports;
}

Point macro_point(const std::string& line) {
    Point p{};
    EXPECT_TRUE(read_macro_point(line, p)) << line;
    return p;
}

void expect_same_point(const Point& a, const Point& b, double tolerance, const std::string& where) {
    for (int f = 0; f < 3; ++f) EXPECT_NEAR(a[f], b[f], tolerance) << where << ", coordinate " << f;
}

// The Tecplot point of a zone at row (1-based) and column (1-based).
const Point& zone_point(const TecplotZone& zone, int row, int column) {
    return zone.points.at(static_cast<size_t>((row - 1) * zone.I + (column - 1)));
}

// Both files of one run, checked against each other: sizes, zones, the
// macro's grids as the first blade of the Tecplot file, the blade root on
// the hub, and the hub curve's ends on the hub's axis nodes.
void check_run(const std::string& example, int blade_count, int N1) {
    SCOPED_TRACE(example);
    Exports run = run_exports(example);
    EXPECT_EQ(run.files.count("DELETE.DEL"), 0u);
    EXPECT_EQ(run.files.count("SIL.TMP"), 0u);
    EXPECT_EQ(run.files,
              (std::set<std::string>{"Korvanti.TSK", "WAGBPROP.DAT", "Korvanti.SON", "PEROF.SON",
                                     "SEHAM.DAT", "PEROF2.SON", "PERVDAT", "Korvanti2D_Tecplot.PLT",
                                     "Korvanti3D_Tecplot.PLT", "Korvanti3D_Rhino3_4_Macro.TXT"}));

    const TecplotFile& tec = run.tecplot;
    ASSERT_TRUE(tec.errors.empty()) << tec.errors.front();
    ASSERT_EQ(tec.zones.size(), static_cast<size_t>(4 * blade_count));
    ASSERT_EQ(run.macro.counts.size(), 4u);
    const int M = run.macro.counts[0];
    const int Nc = run.macro.counts[1];
    EXPECT_EQ(run.macro.counts, (std::vector<int>{M, Nc, M, Nc}));
    EXPECT_GE(Nc, 2);
    const int Nf = 15;
    const int Nrow = Nc + 28;
    for (int z = 0; z < 4 * blade_count; ++z) {
        bool hub = z < 2 * blade_count;
        EXPECT_EQ(tec.zones[z].I, hub ? N1 : Nc) << "zone " << z + 1;
        EXPECT_EQ(tec.zones[z].J, hub ? Nrow : M) << "zone " << z + 1;
    }
    EXPECT_LT(turning_deviation(tec, blade_count), 2e-5);

    ASSERT_EQ(run.macro.point_runs.size(), 4u);
    const auto& pressure = run.macro.point_runs[0];
    const auto& suction = run.macro.point_runs[1];
    const auto& hub_curve = run.macro.point_runs[2];
    ASSERT_EQ(pressure.size(), static_cast<size_t>(M * Nc));
    ASSERT_EQ(suction.size(), static_cast<size_t>(M * Nc));
    ASSERT_GE(hub_curve.size(), 2u);

    const TecplotZone& hub1 = tec.zones[0];
    const TecplotZone& hub2 = tec.zones[1];
    const TecplotZone& blade_pressure = tec.zones[2 * blade_count];
    const TecplotZone& blade_suction = tec.zones[2 * blade_count + 1];
    for (int k = 1; k <= M; ++k) {
        for (int i = 1; i <= Nc; ++i) {
            std::string where = "row " + std::to_string(k) + " point " + std::to_string(i);
            size_t n = static_cast<size_t>((k - 1) * Nc + (i - 1));
            expect_same_point(macro_point(pressure[n]), zone_point(blade_pressure, k, i), 6e-7,
                              where);
            expect_same_point(macro_point(suction[n]), zone_point(blade_suction, k, i), 6e-7,
                              where);
            if (i == 1 || i == Nc) {
                EXPECT_EQ(pressure[n], suction[n]) << where;
            }
        }
    }
    // The root row of the blade is hub nodes: zone 2 column 1 on the
    // pressure side, zone 1 column N1 on the suction side.
    for (int i = 1; i <= Nc; ++i) {
        std::string where = "root point " + std::to_string(i);
        expect_same_point(zone_point(blade_pressure, 1, i), zone_point(hub2, Nf + i - 1, 1), 1e-8,
                          where);
        expect_same_point(zone_point(blade_suction, 1, i), zone_point(hub1, Nf + i - 1, N1), 1e-8,
                          where);
    }
    // The hub curve lies in Y = 0 and runs from the hub's last axis node to
    // its first.
    for (const std::string& line : hub_curve) EXPECT_EQ(macro_point(line)[1], 0.0) << line;
    expect_same_point(macro_point(hub_curve.front()), zone_point(hub1, Nrow, 1), 6e-7, "hub start");
    expect_same_point(macro_point(hub_curve.back()), zone_point(hub1, 1, 1), 6e-7, "hub end");
    EXPECT_EQ(run.macro.point_runs[3], (std::vector<std::string>{"1.000000,0.000000,0.000000",
                                                                 "-1.000000,0.000000,0.000000"}));
}

TEST(ExportsE2E, WageningenB4_55) { check_run("B4-55.TSK", 4, 10); }

TEST(ExportsE2E, Gawn3_65) { check_run("Gawn3-65.TSK", 3, 12); }

TEST(ExportsE2E, MacroFixedLinesDoNotDependOnThePropeller) {
    Exports b = run_exports("B4-55.TSK");
    Exports gawn = run_exports("Gawn3-65.TSK");
    EXPECT_EQ(b.macro.lines, gawn.macro.lines);
    EXPECT_NE(b.macro.counts, gawn.macro.counts);
}

// The left-hand propeller is the right-hand one mirrored in Y = 0; the
// first blade and its hub sector are written unturned in both.
TEST(ExportsE2E, LeftHandFilesMirrorTheRightHandOnes) {
    Exports right = run_exports("B4-55.TSK");
    Exports left = run_exports("B4-55-SOL.TSK");
    ASSERT_EQ(right.tecplot.zones.size(), 16u);
    ASSERT_EQ(left.tecplot.zones.size(), 16u);
    for (int z : {0, 1, 8, 9}) {
        const auto& r = right.tecplot.zones[z].points;
        const auto& l = left.tecplot.zones[z].points;
        ASSERT_EQ(r.size(), l.size());
        for (size_t p = 0; p < r.size(); ++p)
            expect_same_point(l[p], {r[p][0], -r[p][1], r[p][2]}, 0.0,
                              "zone " + std::to_string(z + 1));
    }
    ASSERT_EQ(right.macro.point_runs.size(), left.macro.point_runs.size());
    for (size_t run = 0; run < 2; ++run) {
        ASSERT_EQ(right.macro.point_runs[run].size(), left.macro.point_runs[run].size());
        for (size_t p = 0; p < right.macro.point_runs[run].size(); ++p) {
            Point r = macro_point(right.macro.point_runs[run][p]);
            expect_same_point(macro_point(left.macro.point_runs[run][p]), {r[0], -r[1], r[2]}, 0.0,
                              "macro point " + std::to_string(p + 1));
        }
    }
}

}  // namespace
}  // namespace korvanti::testing
