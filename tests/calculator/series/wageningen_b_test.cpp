// The B-series routine against the published tables, and its handling of a
// damaged data file.
#include "series/wageningen_b.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "support/test_support.h"

namespace korvanti {
namespace {

using testing::ScratchDir;
namespace fs = std::filesystem;

// Published blade dimensions: r/R, K, a/c, b/c, Ar, Br.
struct PublishedRow {
    double x, K, a_c, b_c, Ar, Br;
};
const std::vector<PublishedRow> four_to_seven_blades = {
    {0.2, 1.662, 0.617, 0.350, 0.0526, 0.0040}, {0.3, 1.882, 0.613, 0.350, 0.0464, 0.0035},
    {0.4, 2.050, 0.601, 0.351, 0.0402, 0.0030}, {0.5, 2.152, 0.586, 0.355, 0.0340, 0.0025},
    {0.6, 2.187, 0.561, 0.389, 0.0278, 0.0020}, {0.7, 2.144, 0.524, 0.443, 0.0216, 0.0015},
    {0.8, 1.970, 0.463, 0.479, 0.0154, 0.0010}, {0.9, 1.582, 0.351, 0.500, 0.0092, 0.0005},
    {1.0, 0.000, 0.000, 0.000, 0.0030, 0.0000}};
const std::vector<PublishedRow> three_blades = {
    {0.2, 1.633, 0.616, 0.350, 0.0526, 0.0040}, {0.3, 1.832, 0.611, 0.350, 0.0464, 0.0035},
    {0.4, 2.000, 0.599, 0.351, 0.0402, 0.0030}, {0.5, 2.120, 0.583, 0.355, 0.0340, 0.0025},
    {0.6, 2.186, 0.558, 0.389, 0.0278, 0.0020}, {0.7, 2.168, 0.526, 0.442, 0.0216, 0.0015},
    {0.8, 2.127, 0.481, 0.478, 0.0154, 0.0010}, {0.9, 1.657, 0.400, 0.500, 0.0092, 0.0005},
    {1.0, 0.000, 0.000, 0.000, 0.0030, 0.0000}};

struct BRun {
    BladeModel model;
    SeriesStations st;
    std::string console;
};

// Runs the routine in a scratch directory holding `data` as WAGBPROP.DAT.
void run_b_series(int Z, float Ear, float D, const std::string& data, BRun& run) {
    ScratchDir dir;
    testing::write_file(dir.path() / "WAGBPROP.DAT", data);
    run.model.series = Series::wageningen_b;
    run.model.blade_count = Z;
    run.model.area_ratio = Ear;
    run.model.diameter = D;
    std::ostringstream out;
    std::istringstream in;
    Console console(out, in);
    wageningen_b_series(run.model, run.st, console);
    run.console = out.str();
}

std::string shipped_data() { return testing::read_file(testing::source_path("data/WAGBPROP.DAT")); }

void expect_published_dimensions(const BRun& run, const std::vector<PublishedRow>& rows, int Z,
                                 double Ear, double D) {
    ASSERT_EQ(run.st.station_count, static_cast<int>(rows.size()));
    ASSERT_EQ(run.st.point_count, 20);
    for (int i = 1; i <= run.st.station_count; ++i) {
        const PublishedRow& p = rows[static_cast<size_t>(i - 1)];
        const double c = p.K * Ear / Z * D;
        SCOPED_TRACE("r/R = " + std::to_string(p.x));
        EXPECT_NEAR(run.st.r(i), p.x * D / 2, 1e-6);
        EXPECT_NEAR(run.st.xc(i, 20) - run.st.xc(i, 1), c, 2e-6);  // chord
        EXPECT_NEAR(run.model.tm(i), (p.Ar - p.Br * Z) * D, 1e-7);
        EXPECT_FLOAT_EQ(run.model.a_fraction(i), static_cast<float>(p.a_c));
        EXPECT_FLOAT_EQ(run.model.b_fraction(i), static_cast<float>(p.b_c));
        EXPECT_NEAR(run.st.iT(i), std::tan(15.0 * M_PI / 180.0) * p.x * D / 2, 2e-6);
        // Generator line a/c behind the leading edge (before the tip skew step).
        if (i <= run.st.station_count - 3) {
            EXPECT_NEAR(run.st.xc(i, 20), p.a_c * c, 2e-6);
            EXPECT_NEAR(run.st.xc(i, 10), p.a_c * c - p.b_c * c, 2e-6);
            EXPECT_NEAR(run.st.skew_shift(i), p.a_c * c - c / 2, 2e-6);
        }
    }
}

TEST(WageningenB, B4_55ChordsThicknessAndRakeFollowThePublishedTable) {
    BRun run;
    run_b_series(4, 0.55f, 2.0f, shipped_data(), run);
    EXPECT_FLOAT_EQ(run.model.rake_angle, 15.0f);
    expect_published_dimensions(run, four_to_seven_blades, 4, 0.55, 2.0);
    // c/D = K·Ear/Z at r/R 0.6: 2.187·0.55/4.
    EXPECT_NEAR((run.st.xc(5, 20) - run.st.xc(5, 1)) / 2.0f, 0.30071, 1e-5);
    EXPECT_EQ(run.console, "");
}

TEST(WageningenB, ThreeBladesReadBlockFour) {
    BRun run;
    run_b_series(3, 0.50f, 1.0f, shipped_data(), run);
    expect_published_dimensions(run, three_blades, 3, 0.50, 1.0);
}

TEST(WageningenB, MaximumThicknessPointHasFlatFaceAndFullThickness) {
    BRun run;
    run_b_series(4, 0.55f, 2.0f, shipped_data(), run);
    for (int i = 1; i <= run.st.station_count; ++i) {
        EXPECT_EQ(run.st.yf(i, 10), 0.0f) << i;
        EXPECT_NEAR(run.st.yb(i, 10), run.model.tm(i), 1e-7) << i;
    }
}

TEST(WageningenB, EdgesCarryTheEdgeThicknessWhereV1IsZero) {
    BRun run;
    run_b_series(4, 0.55f, 2.0f, shipped_data(), run);
    // r/R 0.7 lies on an interior entry of the edge table: the straight line
    // through its neighbours 0.6 and 0.8 gives (0.1 + 0.152)/2 at the
    // trailing edge and (0.134 + 0.17)/2 at the leading edge.
    const float tm = run.model.tm(6);
    EXPECT_NEAR(tm, 0.0312f, 1e-7);
    EXPECT_EQ(run.st.yf(6, 1), 0.0f);
    EXPECT_EQ(run.st.yf(6, 20), 0.0f);
    EXPECT_NEAR(run.st.yb(6, 1), 0.126f * tm, 1e-7);
    EXPECT_NEAR(run.st.yb(6, 20), 0.152f * tm, 1e-7);
    // At the tip both fractions are 0.245.
    EXPECT_NEAR(run.st.yb(9, 1), 0.245f * run.model.tm(9), 1e-7);
    EXPECT_NEAR(run.st.yb(9, 20), 0.245f * run.model.tm(9), 1e-7);
}

TEST(WageningenB, RootSectionFollowsV1AndV2) {
    BRun run;
    run_b_series(4, 0.55f, 2.0f, shipped_data(), run);
    // r/R 0.2 is a row of both tables; point 5 is P = -0.7: V1 = 0.1570,
    // V2 = 0.4535. The trailing-edge fraction at the interior entry 0.2 is
    // the line through 0.15 and 0.3: 0.057 + 0.05·0.011/0.15.
    const double tm = run.model.tm(1);
    const double te = (0.057 + 0.05 * 0.011 / 0.15) * tm;
    EXPECT_NEAR(run.st.yf(1, 5), (tm - te) * 0.1570, 1e-6);
    EXPECT_NEAR(run.st.yb(1, 5), (tm - te) * (0.1570 + 0.4535) + te, 1e-6);
}

// Parabola through three points by Lagrange's form, in double precision.
double lagrange(double x1, double x2, double x3, double y1, double y2, double y3, double x) {
    return y1 * (x - x2) * (x - x3) / ((x1 - x2) * (x1 - x3)) +
           y2 * (x - x1) * (x - x3) / ((x2 - x1) * (x2 - x3)) +
           y3 * (x - x1) * (x - x2) / ((x3 - x1) * (x3 - x2));
}

TEST(WageningenB, TipSkewContinuesTheParabolaOfTheInnerStations) {
    BRun run;
    run_b_series(4, 0.55f, 2.0f, shipped_data(), run);
    const int n = run.st.station_count;
    std::vector<double> skew(static_cast<size_t>(n + 1)), r(static_cast<size_t>(n + 1));
    for (int i = 1; i <= n; ++i) {
        const PublishedRow& p = four_to_seven_blades[static_cast<size_t>(i - 1)];
        const double c = p.K * 0.55 / 4 * 2.0;
        skew[static_cast<size_t>(i)] = p.a_c * c - c / 2;
        r[static_cast<size_t>(i)] = p.x;
    }
    for (int i = n - 2; i <= n; ++i) {
        auto k = static_cast<size_t>(i);
        skew[k] =
            lagrange(r[k - 3], r[k - 2], r[k - 1], skew[k - 3], skew[k - 2], skew[k - 1], r[k]);
        EXPECT_NEAR(run.st.skew_shift(i), skew[k], 2e-6) << i;
        // The whole section moved: mid-chord on the skew, chord unchanged.
        EXPECT_NEAR((run.st.xc(i, 1) + run.st.xc(i, 20)) / 2, skew[k], 2e-6) << i;
    }
}

// --- a damaged data file ------------------------------------------------

std::vector<std::string> data_lines() {
    std::vector<std::string> lines;
    std::istringstream in(shipped_data());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string joined(const std::vector<std::string>& lines, size_t count) {
    std::string text;
    for (size_t k = 0; k < count && k < lines.size(); ++k) text += lines[k] + "\n";
    return text;
}

std::string error_of(int Z, const std::string& data) {
    BRun run;
    try {
        run_b_series(Z, 0.55f, 2.0f, data, run);
    } catch (const InputError& e) {
        return e.what();
    }
    return "(no error)";
}

void expect_error(const std::string& message, const std::string& block, int line) {
    EXPECT_NE(message.find("WAGBPROP.DAT"), std::string::npos) << message;
    EXPECT_NE(message.find(block), std::string::npos) << message;
    EXPECT_NE(message.find(" " + std::to_string(line)), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
}

TEST(WageningenBData, MissingFileIsAnInputError) {
    ScratchDir dir;
    BladeModel model;
    model.blade_count = 4;
    model.area_ratio = 0.55f;
    model.diameter = 2.0f;
    SeriesStations st;
    std::ostringstream out;
    std::istringstream in;
    Console console(out, in);
    try {
        wageningen_b_series(model, st, console);
        FAIL() << "no error";
    } catch (const InputError& e) {
        EXPECT_NE(std::string(e.what()).find("WAGBPROP.DAT"), std::string::npos);
    }
}

TEST(WageningenBData, CountsOutsideTheTablesAreRejectedWithTheirLine) {
    auto with = [](size_t index, const std::string& text) {
        auto lines = data_lines();
        lines[index] = text;
        return joined(lines, lines.size());
    };
    expect_error(error_of(4, with(0, "5")), "blok 1", 1);
    expect_error(error_of(4, with(0, "13")), "blok 1", 1);
    expect_error(error_of(4, with(10, "11  9")), "blok 2", 11);
    expect_error(error_of(4, with(10, "9  8")), "blok 2", 11);
    expect_error(error_of(4, with(20, "9")), "blok 2", 21);
    expect_error(error_of(4, with(30, "13")), "blok 3", 31);
    expect_error(error_of(4, with(30, "2")), "blok 3", 31);
}

TEST(WageningenBData, NonNumbersAndDisorderedRowsNameTheirLine) {
    auto lines = data_lines();
    lines[40] = "   0.25       0  0.0725  x.1567  0.3360  0.4885  0.6195  0.7335  0.8265  0.9583";
    expect_error(error_of(4, joined(lines, lines.size())), "blok 3", 41);
    lines = data_lines();
    std::swap(lines[3], lines[4]);  // r/R 0.4 before 0.3
    expect_error(error_of(4, joined(lines, lines.size())), "blok 1", 5);
    lines = data_lines();
    std::swap(lines[14], lines[15]);  // V1 rows 0.4 before 0.5
    expect_error(error_of(4, joined(lines, lines.size())), "blok 2", 16);
}

TEST(WageningenBData, ShortFileNamesTheMissingBlock) {
    auto lines = data_lines();
    ASSERT_EQ(lines.size(), 64u);
    expect_error(error_of(4, joined(lines, 8)), "blok 1", 8);
    expect_error(error_of(4, joined(lines, 25)), "blok 2", 25);
    expect_error(error_of(4, joined(lines, 50)), "blok 3", 50);
    // Other blade counts need no block 4; three blades do.
    EXPECT_EQ(error_of(4, joined(lines, 55)), "(no error)");
    expect_error(error_of(3, joined(lines, 55)), "blok 4", 55);
    expect_error(error_of(3, joined(lines, 60)), "blok 4", 60);
}

TEST(WageningenBData, BladeCountWithoutThicknessIsRejected) {
    // Ar - Br·Z at r/R 0.2 vanishes for Z = 13.15: Z = 14 leaves no section.
    const std::string message = error_of(14, shipped_data());
    expect_error(message, "blok 1", 2);
    EXPECT_NE(message.find("Z = 14"), std::string::npos) << message;
}

}  // namespace
}  // namespace korvanti
