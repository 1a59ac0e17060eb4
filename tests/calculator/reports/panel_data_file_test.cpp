// PERVDAT, written by the whole post-processing on a fixture PEROF.SON:
// record by record, counted the way the drawing generator reads it.
#include "reports/panel_data_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "reports/post_processing.h"
#include "support/offsets_fixture.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {

// Out-of-range look-ups are not what these tests look at.
QuietConsole quiet;

namespace fs = std::filesystem;

std::vector<int> integers(const std::string& line) {
    std::istringstream in(line);
    std::vector<int> values;
    int v;
    while (in >> v) values.push_back(v);
    return values;
}

std::vector<float> reals(const std::string& line) {
    std::istringstream in(line);
    std::vector<float> values;
    float v;
    while (in >> v) values.push_back(v);
    return values;
}

struct PanelFile {
    std::vector<std::string> lines;
    size_t at = 0;
    const std::string& next() { return lines.at(at++); }
};

TEST(PanelDataFile, RecordsInOrderWithTheirCounts) {
    ScratchDir dir;
    FixtureBlade blade;
    BladeModel model = fixture_model(blade, 1, 0);
    std::ostringstream result;
    run_post_processing(model, offsets_file_text(blade), result, quiet.console);
    ASSERT_TRUE(fs::exists("PEROF2.SON"));
    PanelFile f{read_lines("PERVDAT")};

    ASSERT_EQ(f.next(), "    5");
    int M = 5, NP = 11, NCH = 11;
    for (int k = 1; k <= M; ++k) {
        EXPECT_EQ(f.next(), "   11   11");
        for (int j = 1; j <= 2 * NP; ++j) {
            const std::string& line = f.next();
            ASSERT_EQ(line.size(), 20u) << line;
            std::vector<float> v = reals(line);
            int point = (j - 1) % NP + 1;
            bool back = j <= NP;
            float plain = back ? blade.yb(k, point) : blade.yf(k, point);
            EXPECT_NEAR(v[0], blade.xc(k, point), 1e-5f);
            EXPECT_NEAR(v[1], plain + blade.r(k), 1e-5f);  // ordinates plus the radius
        }
    }
    for (int k = 1; k <= M; ++k) EXPECT_NEAR(reals(f.next())[0], blade.r(k), 1e-5f);
    for (int k = 1; k <= M; ++k) EXPECT_NEAR(reals(f.next())[0], blade.c(k) / 2.0f, 1e-5f);
    for (int n = 0; n < 6 * M * NCH; ++n) ASSERT_EQ(f.next().size(), 10u);
    EXPECT_EQ(f.next(), "         4   0.55000");
    EXPECT_EQ(f.next(), "   2.00000   1.00000");
    for (int n = 0; n < 2 * M; ++n) {
        std::vector<float> v = reals(f.next());
        ASSERT_EQ(v.size(), 3u);
        EXPECT_EQ(v[1], 0.0f);
    }
    std::vector<int> counts = integers(f.next());
    ASSERT_EQ(counts.size(), 5u);
    MeshCounts expected = mesh_counts(4, 11, 5);
    EXPECT_EQ(counts[0], expected.hub_nodes + expected.blade_nodes);
    EXPECT_EQ(counts[1], expected.hub_panels + expected.blade_panels);
    EXPECT_EQ(counts[2], 0);
    EXPECT_EQ(counts[3], 0);
    EXPECT_EQ(counts[4], expected.hub_panels);
    for (int n = 0; n < counts[0]; ++n) ASSERT_EQ(f.next().size(), 30u);
    for (int p = 0; p < counts[1]; ++p) {
        const std::string& line = f.next();
        ASSERT_EQ(line.size(), 20u);
        for (int v : integers(line)) {
            EXPECT_GE(v, 1);
            EXPECT_LE(v, counts[0]);
        }
    }
    // Strip table: K, the L values, K first-panel pairs, then every pair.
    EXPECT_EQ(f.next(), "        4");
    EXPECT_EQ(f.next(), " 10 10 10 10");
    int first_blade_panel = expected.hub_panels + 1;
    int per_side = 4 * 10;
    for (int i = 1; i <= 4; ++i) {
        std::vector<int> pair = integers(f.next());
        EXPECT_EQ(pair[0], first_blade_panel + (i - 1) * 10);
        EXPECT_EQ(pair[1], first_blade_panel + per_side + (i - 1) * 10);
    }
    for (int i = 1; i <= 4; ++i) {
        for (int l = 10; l >= 1; --l) {
            std::vector<int> pair = integers(f.next());
            EXPECT_EQ(pair[0], first_blade_panel + (i - 1) * 10 + l - 1);
            EXPECT_EQ(pair[1] - pair[0], per_side);
        }
    }
    EXPECT_EQ(f.at, f.lines.size());
}

TEST(PanelDataFile, MoreThanTwentyFiveStripsContinueOnAFurtherLine) {
    ScratchDir dir;
    FixtureBlade blade;
    blade.N = 28;
    blade.Z = 3;
    std::ostringstream result;
    run_post_processing(fixture_model(blade, 1, 0), offsets_file_text(blade), result,
                        quiet.console);
    auto lines = read_lines("PERVDAT");
    size_t k_line = lines.size() - 27 - 27 * 10 - 2 - 1;
    EXPECT_EQ(lines[k_line], "       27");
    std::string twenty_five;
    for (int i = 0; i < 25; ++i) twenty_five += " 10";
    EXPECT_EQ(lines[k_line + 1], twenty_five);
    EXPECT_EQ(lines[k_line + 2], " 10 10");
}

TEST(PanelDataFile, LeftHandNegatesTheAbscissaeAndY) {
    ScratchDir dir;
    FixtureBlade blade;
    std::ostringstream result;
    run_post_processing(fixture_model(blade, 2, 7, 0.6f), offsets_file_text(blade), result,
                        quiet.console);
    auto right = read_lines("PERVDAT");
    run_post_processing(fixture_model(blade, 2, 7, 0.4f), offsets_file_text(blade), result,
                        quiet.console);
    auto left = read_lines("PERVDAT");
    ASSERT_EQ(right.size(), left.size());
    // The section lines of radius 1: xc negated, ordinate kept.
    for (size_t n = 2; n < 2 + 2 * 11; ++n) {
        std::vector<float> a = reals(right[n]), b = reals(left[n]);
        EXPECT_EQ(a[0], -b[0]);
        EXPECT_EQ(a[1], b[1]);
    }
    // Counts, panels and the strip table are the same.
    size_t tail = right.size() - 200;
    for (size_t n = tail; n < right.size(); ++n) EXPECT_EQ(right[n], left[n]);
}

}  // namespace
}  // namespace korvanti::testing
