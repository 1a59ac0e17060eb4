// From a ship's need to the geometry: a selection's Korvanti.TSK runs
// through Korvanti, the drawing generator and korvanti-solid, and the
// geometry they make has the selected Z, Ae/A0, P/D and D.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "openwater_fixture.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The chord coefficient K of the row r/R = 0.6 of WAGBPROP.DAT's blade table
// (the first for Z other than 3, the last for Z = 3).
double chord_coefficient_at_06(int blades) {
    double k = 0;
    int seen = 0;
    for (const std::string& line : lines_of(read_file(source_path("data/WAGBPROP.DAT")))) {
        double x = 0, value = 0, rest[4];
        if (std::sscanf(line.c_str(), "%lf %lf %lf %lf %lf %lf", &x, &value, &rest[0], &rest[1],
                        &rest[2], &rest[3]) == 6 &&
            std::fabs(x - 0.6) < 1e-9) {
            ++seen;
            if (seen == 1 || blades == 3) k = value;
        }
    }
    return k;
}

TEST(OpenWaterPipeline, FromTheNeedToTheSolid) {
#if !defined(TELVARO_EXE) || !defined(SOLID_EXE)
    GTEST_SKIP() << "the drawing generator or korvanti-solid is not built";
#else
    ScratchDir dir;
    const ProgramResult selection = openwater(dir.path(),
                                              "--thrust 250 --speed 6 --rpm 150 --max-diameter "
                                              "3.5 --blades 3-5 --immersion 3");
    ASSERT_EQ(selection.exit_status, 0) << selection.err;
    std::string best;
    for (const std::string& line : lines_of(selection.out))
        if (line.rfind(" * ", 0) == 0) best = line;
    int z = 0;
    double ae = 0, pd = 0, d = 0;
    ASSERT_EQ(std::sscanf(best.c_str(), " * %d %lf %lf %lf", &z, &ae, &pd, &d), 4) << selection.out;

    const ProgramResult korvanti = run_in(dir.path(), quote(KORVANTI_EXE) + " --no-pause");
    ASSERT_EQ(korvanti.exit_status, 0) << korvanti.out << korvanti.err;
    const ProgramResult drawing =
        run_in(dir.path(), "printf '1\\n0.05\\n' | " + quote(TELVARO_EXE));
    ASSERT_EQ(drawing.exit_status, 0) << drawing.out << drawing.err;
    EXPECT_TRUE(fs::exists(dir.path() / "TELVARO_3B_CIZIMLER.pdf"));
    const ProgramResult solid = run_in(dir.path(), quote(SOLID_EXE));
    ASSERT_EQ(solid.exit_status, 0) << solid.out << solid.err;
    EXPECT_TRUE(fs::exists(dir.path() / "Korvanti.step"));

    // Z and D from korvanti-solid, P/D and the chords from the report.
    char expected[64];
    std::snprintf(expected, sizeof expected, "Propeller solid, Z = %d, D = %.0f mm\n", z, d * 1000);
    EXPECT_EQ(solid.out.rfind(expected, 0), 0u) << solid.out;
    const std::string report = read_file(dir.path() / "Korvanti.SON");
    int pitch_lines = 0;
    for (const std::string& line : lines_of(report)) {
        const size_t at = line.find("PITCH/D = ");
        if (at == std::string::npos) continue;
        ++pitch_lines;
        EXPECT_NEAR(std::stod(line.substr(at + 10)), pd, 5e-5) << line;
    }
    EXPECT_GT(pitch_lines, 5);
    // The station table: r/R c/D ..., c/D = K·(Ae/A0)/Z.
    const size_t row = report.find("\n0.600  ");
    ASSERT_NE(row, std::string::npos);
    const double c_over_d = std::stod(report.substr(row + 8, 6));
    EXPECT_NEAR(c_over_d * z / chord_coefficient_at_06(z), ae, 3e-4);
    // The radius of the first report section against its r/R gives D.
    const size_t radius = report.find(" RADIUS =  ");
    const size_t fraction = report.find(" r/R    =  ");
    ASSERT_NE(radius, std::string::npos);
    EXPECT_NEAR(2 * std::stod(report.substr(radius + 11)) / std::stod(report.substr(fraction + 11)),
                d, 2e-3);
#endif
}

}  // namespace
}  // namespace korvanti::testing
