// PEROF.SON and SEHAM.DAT: layout to the column, the B-series tip section,
// the root station, both hub profiles, the skew column.
#include "reports/offsets_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "filelayer/freeformat.h"
#include "geometry/hub_profile.h"
#include "geometry/series_driver.h"
#include "geometry/task_file.h"
#include "support/test_support.h"

namespace korvanti {
namespace {

using testing::read_lines;
using testing::ScratchDir;

// The B4-55 model as the series driver leaves it (run in `dir`).
void b4_55_model(const ScratchDir& dir, BladeModel& model) {
    testing::prepare_run(dir.path(), "B4-55.TSK");
    std::ifstream task_stream(dir.path() / "Korvanti.TSK");
    FreeFormatReader task(task_stream, "Korvanti.TSK");
    std::ostringstream result, out;
    std::istringstream in;
    Console console(out, in);
    read_run_parameters(task, model);
    run_series_driver(model, task, result, console);
}

// The geometry step that finishes the blade, then the writer.
void write_offsets(BladeModel& model) {
    make_b_series_tip(model);
    write_offsets_file(model, blade_ends(model));
}

std::vector<float> numbers(const std::string& line) {
    std::istringstream in(line);
    std::vector<float> v;
    for (float x; in >> x;) v.push_back(x);
    return v;
}

TEST(OffsetsFile, B4_55Layout) {
    ScratchDir dir;
    BladeModel m;
    b4_55_model(dir, m);
    write_offsets(m);
    auto lines = read_lines(dir.path() / "PEROF.SON");
    // Header, 10 stations, 10 blocks of 1 + 20 lines, 1 + 23 hub lines.
    ASSERT_EQ(lines.size(), 4u + 10u + 10u * 21u + 24u);
    EXPECT_EQ(lines[0], "  10");
    EXPECT_EQ(lines[1], " WAGENINGEN B 4.550      ");
    EXPECT_EQ(lines[2], "0.20000000E+01");
    EXPECT_EQ(lines[3], "   4");
    // Root station on the hub, r = 0.0835·D; then the model stations.
    EXPECT_EQ(lines[4].substr(0, 13), "0.167000E+00 ");
    EXPECT_EQ(lines[5].substr(0, 26), "0.200000E+00 0.164400E+01 ");
    for (size_t k = 4; k < 14; ++k) EXPECT_EQ(lines[k].size(), 65u) << k;
    for (int i = 0; i < 10; ++i) {
        const size_t head = 14 + static_cast<size_t>(21 * i);
        EXPECT_EQ(lines[head], "  20");
        const float r = numbers(lines[4 + static_cast<size_t>(i)])[0];
        for (int j = 1; j <= 20; ++j) {
            const std::string& line = lines[head + static_cast<size_t>(j)];
            EXPECT_EQ(line.size(), 39u);
            if (i == 0) continue;
            // Ordinates written as distances from the shaft axis, to the
            // six digits of E12.6.
            auto v = numbers(line);
            auto digits = [](float value) { return 5.01e-6f * std::fabs(value) + 1e-12f; };
            EXPECT_NEAR(v[0], m.xc(i, j), digits(v[0]));
            EXPECT_NEAR(v[1], m.yb(i, j) + r, digits(v[1]));
            EXPECT_NEAR(v[2], m.yf(i, j) + r, digits(v[2]));
        }
    }
    const size_t hub = 14 + 210;
    EXPECT_EQ(lines[hub], "  23");
    for (size_t k = hub + 1; k < lines.size(); ++k) EXPECT_EQ(lines[k].size(), 26u) << k;
    EXPECT_EQ(lines[hub + 12], "0.000000E+00 0.200000E+00 ");
}

TEST(OffsetsFile, BSeriesTipSectionIsTheNextSectionShortened) {
    ScratchDir dir;
    BladeModel m;
    b4_55_model(dir, m);
    const float skew_tip = m.skew_shift(9);
    const float c8 = m.c(8);
    write_offsets(m);
    EXPECT_FLOAT_EQ(m.c(9), c8 / 2.75f);
    EXPECT_NEAR(m.xc(9, 20) - m.xc(9, 1), c8 / 2.75f, 2e-6f);
    EXPECT_NEAR((m.xc(9, 20) + m.xc(9, 1)) / 2, skew_tip, 2e-6f);
    // tm is linear in r/R for the B-series: the parabola through the three
    // stations inside gives the tabulated tip thickness 0.003·D back, and the
    // copy of the 0.9 section (tm 0.0072·D for Z = 4) is scaled down to it.
    const float q = 0.003f / (0.0092f - 4 * 0.0005f);
    float thickest = 0.0f;
    for (int j = 1; j <= 20; ++j) {
        EXPECT_NEAR(m.yb(9, j), m.yb(8, j) * q, 2e-6f) << j;
        EXPECT_NEAR(m.yf(9, j), m.yf(8, j) * q, 2e-6f) << j;
        thickest = std::max(thickest, m.yb(9, j) - m.yf(9, j));
        const float u8 = (m.xc(8, j) - m.xc(8, 1)) / c8;
        const float u9 = (m.xc(9, j) - m.xc(9, 1)) / m.c(9);
        EXPECT_NEAR(u8, u9, 1e-5f) << j;
    }
    EXPECT_NEAR(thickest, 0.003f * 2.0f, 2e-6f);
    EXPECT_NEAR(thickest, m.tm(9), 2e-6f);  // the section agrees with the tabulated tip
}

TEST(OffsetsFile, B4_55RadialSummary) {
    ScratchDir dir;
    BladeModel m;
    b4_55_model(dir, m);
    write_offsets(m);
    auto lines = read_lines(dir.path() / "SEHAM.DAT");
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "   3   1   4  10       2.000     0.550    15.000");
    // Root: r/R 0.167, P/D from the parabola through 0.822, 0.887, 0.95
    // at t = -1/3 of a step: 0.822 - 0.065/3 - (2/9)·0.002 = 0.8001.
    EXPECT_EQ(lines[1].substr(0, 7), " 0.167 ");
    EXPECT_EQ(lines[1].substr(38), " 0.800");
    // r/R 0.2: c/D 0.228525, tm/D 0.0366, P/D 0.822.
    EXPECT_EQ(lines[2].substr(0, 23), " 0.200 0.22852 0.03660 ");
    EXPECT_EQ(lines[2].substr(30), "0.00000  0.822");
    // Tip: c/D of the shortened tip section, 0.217525/2.75.
    EXPECT_EQ(lines[10].substr(0, 23), " 1.000 0.07910 0.00300 ");
    float smallest = 1e9f;
    for (size_t k = 1; k < lines.size(); ++k) {
        EXPECT_EQ(lines[k].size(), 44u);
        const float skew = numbers(lines[k])[3];
        EXPECT_GE(skew, 0.0f) << lines[k];
        smallest = std::min(smallest, skew);
    }
    EXPECT_EQ(smallest, 0.0f);
}

// A plain blade: flat sections (thickness t on a flat face), no skew.
void plain_blade(int series, BladeModel& m) {
    m.series = static_cast<Series>(series);
    m.blade_count = 3;
    m.area_ratio = 0.5f;
    m.diameter = 2.0f;
    m.series_label = " TEST 3.500";
    m.series_label.resize(25, ' ');
    m.station_count = 5;
    m.point_count = 3;
    for (int i = 1; i <= 5; ++i) {
        m.r(i) = 0.2f * static_cast<float>(i);
        m.P(i) = 2.0f;
        m.c(i) = 0.2f;
        m.tm(i) = 0.01f;
        const float x[] = {-0.1f, 0.0f, 0.1f};
        for (int j = 1; j <= 3; ++j) {
            m.xc(i, j) = x[j - 1];
            m.yf(i, j) = 0.0f;
            m.yb(i, j) = j == 2 ? 0.01f : 0.001f;
        }
    }
}

TEST(OffsetsFile, ZeroSkewIsNeverWrittenNegative) {
    ScratchDir dir;
    BladeModel m;
    plain_blade(3, m);
    write_offsets(m);
    std::string seham = testing::read_file(dir.path() / "SEHAM.DAT");
    EXPECT_EQ(seham.find("-0.000"), std::string::npos) << seham;
    auto lines = read_lines(dir.path() / "SEHAM.DAT");
    ASSERT_EQ(lines.size(), 7u);
    for (size_t k = 1; k < lines.size(); ++k) EXPECT_EQ(lines[k].substr(22, 7), "  0.000");
}

TEST(OffsetsFile, TabulatedHubForGawnWithoutRootStation) {
    ScratchDir dir;
    BladeModel m;
    plain_blade(5, m);
    write_offsets(m);
    auto lines = read_lines(dir.path() / "PEROF.SON");
    ASSERT_EQ(lines.size(), 4u + 5u + 5u * 4u + 12u);
    EXPECT_EQ(lines[0], "   5");
    EXPECT_EQ(lines[4].substr(0, 13), "0.200000E+00 ");
    const size_t hub = 4 + 5 + 20;
    EXPECT_EQ(lines[hub], "  11");
    EXPECT_EQ(lines[hub + 1], "-.460000E+00 0.000000E+00 ");
    EXPECT_EQ(lines[hub + 6], "0.000000E+00 0.200000E+00 ");
    EXPECT_EQ(lines[hub + 8], "0.250000E+00 0.187500E+00 ");
    EXPECT_EQ(lines[hub + 11], "0.460000E+00 0.000000E+00 ");
    // SEHAM.DAT still holds the root row.
    EXPECT_EQ(read_lines(dir.path() / "SEHAM.DAT").size(), 7u);
}

TEST(OffsetsFile, RootStationExtrapolatesTheInnerStations) {
    ScratchDir dir;
    BladeModel m;
    plain_blade(2, m);
    for (int i = 1; i <= 5; ++i) {
        m.c(i) = 0.1f + 0.5f * m.r(i) * m.r(i);  // a parabola in r
        m.tm(i) = 0.03f - 0.02f * m.r(i);        // a line in r
        m.skew_shift(i) = 0.0f;
    }
    write_offsets(m);
    auto lines = read_lines(dir.path() / "PEROF.SON");
    auto root = numbers(lines[4]);
    EXPECT_NEAR(root[0], 0.167f, 1e-6f);
    EXPECT_NEAR(root[1], 2.0f, 1e-5f);
    EXPECT_NEAR(root[2], 0.1f + 0.5f * 0.167f * 0.167f, 1e-5f);
    // Root section: ordinates scaled by tm(rh)/tm(1) = (0.03 - 0.00334)/0.026.
    const float g = (0.03f - 0.02f * 0.167f) / 0.026f;
    auto mid = numbers(lines[4 + 6 + 2]);
    EXPECT_NEAR(mid[1] - 0.167f, 0.01f * g, 1e-6f);
    EXPECT_NEAR(mid[2] - 0.167f, 0.0f, 1e-6f);
}

TEST(HubProfile, BladeDerivedProfileSpansTheRootSection) {
    BladeModel m;
    plain_blade(1, m);
    HubProfile hub;
    hub_profile_from_blade(3, m.r.view(), m.P.view(), m.xc, m.yf, hub);
    ASSERT_EQ(hub.count, 23);
    // Points on the chord line project to X = -x·sin(phi).
    const double phi = std::atan2(2.0, 2 * M_PI * 0.2);
    const double A = 0.1 * std::sin(phi);
    const double a = 0.2;
    EXPECT_NEAR(hub.x(1), -A - 1.2 * a, 1e-6);
    EXPECT_EQ(hub.rH(1), 0.0f);
    EXPECT_NEAR(hub.x(10), -A, 1e-6);
    EXPECT_NEAR(hub.x(11), -A / 2, 1e-6);
    EXPECT_EQ(hub.x(12), 0.0f);
    EXPECT_NEAR(hub.x(14), A, 1e-6);
    EXPECT_NEAR(hub.x(23), A + 1.2 * a, 1e-6);
    EXPECT_EQ(hub.rH(23), 0.0f);
    for (int k = 10; k <= 14; ++k) EXPECT_EQ(hub.rH(k), 0.2f) << k;
    // The caps are quarter ellipses: (u/1.2a)² + (rH/a)² = 1.
    for (int k = 15; k <= 22; ++k) {
        const double u = (hub.x(k) - A) / (1.2 * a);
        EXPECT_NEAR(u * u + (hub.rH(k) / a) * (hub.rH(k) / a), 1.0, 1e-5) << k;
        EXPECT_NEAR(hub.rH(k), hub.rH(24 - k), 1e-7) << k;  // symmetric caps
        EXPECT_GT(hub.x(k), hub.x(k - 1));
    }
}

TEST(OffsetsFile, UnwritableFileIsAnInputErrorAndLeavesNoPartialFile) {
    ScratchDir dir;
    BladeModel m;
    plain_blade(3, m);
    std::filesystem::create_directory(dir.path() / "PEROF.SON");
    try {
        write_offsets(m);
        FAIL() << "no error";
    } catch (const InputError& e) {
        EXPECT_NE(std::string(e.what()).find("PEROF.SON"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "SEHAM.DAT"));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace korvanti
