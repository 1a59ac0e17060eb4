// The post-processing of real runs: section report, PEROF2.SON, the surfaces
// and mesh as they reach PERVDAT, for several series, both hands and both
// report modes.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/report_sections.h"
#include "numeric/cubic_spline.h"
#include "reports/section_report.h"
#include "support/quiet_console.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {

namespace fs = std::filesystem;

// Runs Korvanti on an example, with task lines replaced (1-based line number -> text).
ProgramRun run_example(const fs::path& dir, const std::string& example,
                       const std::vector<std::pair<int, std::string>>& changes = {}) {
    prepare_run(dir, example);
    auto lines = read_lines(dir / "Korvanti.TSK");
    for (const auto& [number, text] : changes) lines.at(static_cast<size_t>(number - 1)) = text;
    std::string task;
    for (const auto& line : lines) task += line + "\n";
    write_file(dir / "Korvanti.TSK", task);
    return run_program(KORVANTI_EXE, dir);
}

template <class T>
std::vector<T> values_of(const std::string& line) {
    std::istringstream in(line);
    std::vector<T> values;
    T v;
    while (in >> v) values.push_back(v);
    return values;
}

// PERVDAT read record by record with the counts it carries.
struct PanelData {
    int M = 0;
    std::vector<int> NP, NCH;
    std::vector<std::vector<float>> xc, ys, yp;
    std::vector<float> r, tmx_le;
    std::vector<float> grid;  // side, coordinate, radius, point
    int Z = 0;
    float ear = 0, D = 0, pitch_ratio = 0;
    std::vector<std::array<float, 3>> max_thickness;
    std::array<int, 5> counts{};
    std::vector<std::array<float, 3>> nodes;
    std::vector<std::array<int, 4>> panels;
    int K = 0;
    std::vector<int> L;
    std::vector<std::array<int, 2>> first_pairs, pairs;

    float grid_value(int side, int coordinate, int k, int w) const {
        size_t index = 0;
        int total = 0;
        for (int n : NCH) total += n;
        index = static_cast<size_t>(((side - 1) * 3 + (coordinate - 1)) * total);
        for (int j = 1; j < k; ++j) index += static_cast<size_t>(NCH[j - 1]);
        return grid.at(index + static_cast<size_t>(w - 1));
    }
};

class LineReader {
public:
    explicit LineReader(const fs::path& file) : lines_(read_lines(file)) {}
    template <class T>
    std::vector<T> next(size_t expected_count) {
        EXPECT_LT(at_, lines_.size());
        if (at_ >= lines_.size()) return std::vector<T>(expected_count);
        std::vector<T> v = values_of<T>(lines_[at_++]);
        EXPECT_EQ(v.size(), expected_count) << "PERVDAT line " << at_ << ": " << lines_[at_ - 1];
        v.resize(expected_count);
        return v;
    }
    const std::string& line(size_t n) const { return lines_.at(n); }
    bool at_end() const { return at_ == lines_.size(); }

private:
    std::vector<std::string> lines_;
    size_t at_ = 0;
};

PanelData read_panel_data(const fs::path& file) {
    PanelData d;
    LineReader in(file);
    d.M = in.next<int>(1)[0];
    for (int k = 0; k < d.M; ++k) {
        auto counts = in.next<int>(2);
        d.NP.push_back(counts[0]);
        d.NCH.push_back(counts[1]);
        d.xc.emplace_back();
        d.ys.emplace_back();
        d.yp.emplace_back();
        for (int j = 0; j < counts[0]; ++j) {
            auto v = in.next<float>(2);
            d.xc.back().push_back(v[0]);
            d.ys.back().push_back(v[1]);
        }
        for (int j = 0; j < counts[0]; ++j) {
            auto v = in.next<float>(2);
            EXPECT_EQ(v[0], d.xc.back()[static_cast<size_t>(j)]);
            d.yp.back().push_back(v[1]);
        }
    }
    for (int k = 0; k < d.M; ++k) d.r.push_back(in.next<float>(1)[0]);
    for (int k = 0; k < d.M; ++k) d.tmx_le.push_back(in.next<float>(1)[0]);
    int total = 0;
    for (int n : d.NCH) total += n;
    for (int n = 0; n < 6 * total; ++n) d.grid.push_back(in.next<float>(1)[0]);
    auto particulars = in.next<float>(2);
    d.Z = static_cast<int>(particulars[0]);
    d.ear = particulars[1];
    auto sizes = in.next<float>(2);
    d.D = sizes[0];
    d.pitch_ratio = sizes[1];
    for (int n = 0; n < 2 * d.M; ++n) {
        auto v = in.next<float>(3);
        d.max_thickness.push_back({v[0], v[1], v[2]});
    }
    auto counts = in.next<int>(5);
    for (size_t n = 0; n < 5; ++n) d.counts[n] = counts[n];
    for (int n = 0; n < d.counts[0]; ++n) {
        auto v = in.next<float>(3);
        d.nodes.push_back({v[0], v[1], v[2]});
    }
    for (int n = 0; n < d.counts[1]; ++n) {
        auto v = in.next<int>(4);
        d.panels.push_back({v[0], v[1], v[2], v[3]});
    }
    d.K = in.next<int>(1)[0];
    for (int done = 0; done < d.K;) {
        auto v = in.next<int>(static_cast<size_t>(std::min(25, d.K - done)));
        d.L.insert(d.L.end(), v.begin(), v.end());
        done += static_cast<int>(v.size());
    }
    for (int i = 0; i < d.K; ++i) {
        auto v = in.next<int>(2);
        d.first_pairs.push_back({v[0], v[1]});
    }
    for (int i = 0; i < d.K; ++i) {
        for (int l = 0; l < d.L[static_cast<size_t>(i)]; ++l) {
            auto v = in.next<int>(2);
            d.pairs.push_back({v[0], v[1]});
        }
    }
    EXPECT_TRUE(in.at_end()) << "PERVDAT has lines after the strip table";
    return d;
}

std::vector<std::string> station_lines(const fs::path& file, int& count) {
    auto lines = read_lines(file);
    count = std::stoi(lines.at(0));
    return std::vector<std::string>(lines.begin() + 4, lines.begin() + 4 + count);
}

TEST(PostProcessingRun, FourBladesElevenRadiiGiveTheCountedMesh) {
    ScratchDir dir;
    ProgramRun run = run_example(dir.path(), "B4-55.TSK", {{67, "2   11"}});
    ASSERT_EQ(run.exit_status, 0) << run.output;
    PanelData d = read_panel_data(dir.path() / "PERVDAT");
    EXPECT_EQ(d.M, 11);
    for (int k = 0; k < 11; ++k) EXPECT_EQ(d.NCH[static_cast<size_t>(k)], 11);
    EXPECT_EQ(d.counts[0], 714 + 200);
    EXPECT_EQ(d.counts[1], 684 + 200);
    EXPECT_EQ(d.counts[2], 0);
    EXPECT_EQ(d.counts[3], 0);
    EXPECT_EQ(d.counts[4], 684);
    EXPECT_EQ(d.Z, 4);
    EXPECT_FLOAT_EQ(d.ear, 0.55f);
    EXPECT_FLOAT_EQ(d.D, 2.0f);
    EXPECT_FLOAT_EQ(d.pitch_ratio, 1.0f);
    EXPECT_EQ(d.K, 10);
    EXPECT_EQ(d.L, std::vector<int>(10, 10));
    EXPECT_EQ(run.output.find("NOKTA ARALIGIN DISINDA"), std::string::npos) << run.output;
}

// Triangles on the two end nodes, written with a repeated corner; N1 from
// the blade count, visible in the hub panel count (Nrow - 1)(2 N1 - 2).
TEST(PostProcessingRun, StripWidthFollowsTheBladeCountAndTheEndsAreTriangles) {
    const int N1[] = {6, 15, 12, 10, 8, 6, 6};
    for (int Z = 1; Z <= 7; ++Z) {
        ScratchDir dir;
        ProgramRun run =
            run_example(dir.path(), "B4-55.TSK", {{43, std::to_string(Z) + " 0.55"}, {67, "2 11"}});
        ASSERT_EQ(run.exit_status, 0) << run.output;
        PanelData d = read_panel_data(dir.path() / "PERVDAT");
        int n1 = N1[Z - 1];
        int hub_nodes = 2 + 2 * 14 * (2 * n1 - 1) + 9 * 2 * n1;
        EXPECT_EQ(d.counts[4], 38 * (2 * n1 - 2)) << Z;
        EXPECT_EQ(d.counts[0], hub_nodes + 200) << Z;
        for (int p = 0; p < 2 * n1 - 2; ++p) {
            const auto& c = d.panels[static_cast<size_t>(p)];
            EXPECT_EQ(c[1], 1);
            EXPECT_EQ(c[2], 1);
        }
        for (int p = d.counts[4] - (2 * n1 - 2); p < d.counts[4]; ++p) {
            const auto& c = d.panels[static_cast<size_t>(p)];
            EXPECT_EQ(c[0], hub_nodes);
            EXPECT_EQ(c[3], hub_nodes);
        }
    }
}

// Blade surface points on the cylinders of their radii and, at the root, on
// the hub of revolution; every panel names valid nodes; the blade's root row
// is made of hub nodes shared by both sides at the edges.
void check_geometry(const fs::path& dir, const std::string& example) {
    SCOPED_TRACE(example);
    PanelData d = read_panel_data(dir / "PERVDAT");
    OffsetsFileData file;
    HubProfileSpline hub;
    std::ifstream offsets(dir / "PEROF.SON");
    read_offsets_file(offsets, file,
                      hub);  // the run's PEROF.SON, hub moved and fitted as in the run
    for (int side = 1; side <= 2; ++side) {
        for (int k = 1; k <= d.M; ++k) {
            for (int w = 1; w <= d.NCH[static_cast<size_t>(k - 1)]; ++w) {
                float X = d.grid_value(side, 1, k, w);
                float Y = d.grid_value(side, 2, k, w);
                float Z = d.grid_value(side, 3, k, w);
                float radius = std::sqrt(Y * Y + Z * Z);
                float expected = d.r[static_cast<size_t>(k - 1)];
                if (k == 1) {
                    int found = 0;
                    QuietConsole quiet;
                    cubic_spline_value(hub.NH, X - file.iT(1), expected, hub.xH.view(), hub.spline,
                                       found, quiet.console);
                    EXPECT_EQ(found, 1);
                }
                EXPECT_NEAR(radius, expected, 2e-5f) << side << " " << k << " " << w;
            }
        }
    }
    int Nc = d.NCH[0];
    int blade_nodes = (d.M - 1) * (2 * Nc - 2);
    int hub_nodes = d.counts[0] - blade_nodes;
    std::set<int> root_nodes;
    for (size_t p = 0; p < d.panels.size(); ++p) {
        for (int n : d.panels[p]) {
            EXPECT_GE(n, 1);
            EXPECT_LE(n, d.counts[0]);
            if (static_cast<int>(p) >= d.counts[4] && n <= hub_nodes) root_nodes.insert(n);
        }
    }
    EXPECT_EQ(static_cast<int>(root_nodes.size()), 2 * Nc - 2);
    EXPECT_EQ(d.K, d.M - 1);
}

TEST(PostProcessingRun, GeometryInvariantsForSeveralSeries) {
    for (const char* example :
         {"B4-55.TSK", "Ka4-70.TSK", "KC101-80.TSK", "Gawn3-65.TSK", "NR3-71.TSK"}) {
        for (const char* mode : {"1 11", "2 9"}) {
            ScratchDir dir;
            ProgramRun run = run_example(dir.path(), example, {{67, mode}});
            ASSERT_EQ(run.exit_status, 0) << example << run.output;
            check_geometry(dir.path(), std::string(example) + " " + mode);
        }
    }
}

TEST(PostProcessingRun, LeftAndRightHandAreMirrorImages) {
    ScratchDir right_dir;
    ASSERT_EQ(run_example(right_dir.path(), "B4-55.TSK", {{47, "0.6"}, {67, "2 11"}}).exit_status,
              0);
    PanelData a = read_panel_data(right_dir.path() / "PERVDAT");
    ScratchDir left_dir;
    ASSERT_EQ(run_example(left_dir.path(), "B4-55.TSK", {{47, "0.4"}, {67, "2 11"}}).exit_status,
              0);
    PanelData b = read_panel_data(left_dir.path() / "PERVDAT");

    ASSERT_EQ(a.M, b.M);
    for (size_t k = 0; k < a.xc.size(); ++k) {
        for (size_t j = 0; j < a.xc[k].size(); ++j) {
            EXPECT_EQ(a.xc[k][j], -b.xc[k][j]);
            EXPECT_EQ(a.ys[k][j], b.ys[k][j]);
            EXPECT_EQ(a.yp[k][j], b.yp[k][j]);
        }
    }
    EXPECT_EQ(a.r, b.r);
    EXPECT_EQ(a.tmx_le, b.tmx_le);
    size_t third = a.grid.size() / 6;
    for (size_t n = 0; n < a.grid.size(); ++n) {
        bool is_y = (n / third) % 3 == 1;
        EXPECT_EQ(a.grid[n], is_y ? -b.grid[n] : b.grid[n]) << n;
    }
    EXPECT_EQ(a.max_thickness, b.max_thickness);
    EXPECT_EQ(a.counts, b.counts);
    ASSERT_EQ(a.nodes.size(), b.nodes.size());
    for (size_t n = 0; n < a.nodes.size(); ++n) {
        EXPECT_EQ(a.nodes[n][0], b.nodes[n][0]);
        EXPECT_EQ(a.nodes[n][1], -b.nodes[n][1]);
        EXPECT_EQ(a.nodes[n][2], b.nodes[n][2]);
    }
    EXPECT_EQ(a.panels, b.panels);
    EXPECT_EQ(a.first_pairs, b.first_pairs);
    EXPECT_EQ(a.pairs, b.pairs);
}

// Mode 1: the report is made at the stations of PEROF.SON, the root
// station included for the Wageningen B, Ka and Kc series; PEROF2.SON
// repeats the station values (the chord is taken from the section ends).
TEST(PostProcessingRun, ModeOneReportsAtTheFileStations) {
    for (const char* example : {"B4-55.TSK", "Kc4-70.TSK", "KC101-80.TSK"}) {
        SCOPED_TRACE(example);
        ScratchDir dir;
        ASSERT_EQ(run_example(dir.path(), example, {{67, "1 11"}}).exit_status, 0);
        int N = 0, M = 0;
        auto file = station_lines(dir.path() / "PEROF.SON", N);
        auto report = station_lines(dir.path() / "PEROF2.SON", M);
        ASSERT_EQ(M, N);
        for (int k = 0; k < N; ++k) {
            const std::string& f = file[static_cast<size_t>(k)];
            const std::string& r = report[static_cast<size_t>(k)];
            EXPECT_EQ(r.substr(0, 26), f.substr(0, 26));  // r, P
            EXPECT_EQ(r.substr(39), f.substr(39));        // iT, xs
            EXPECT_NEAR(values_of<float>(r)[2], values_of<float>(f)[2], 2e-6f);
        }
        auto perof2 = read_lines(dir.path() / "PEROF2.SON");
        EXPECT_EQ(perof2[1], "ACIKLAMA ICIN PEROF.SON ISIMLI DOSYAYA BAKIN");
        EXPECT_EQ(perof2.back(), "HUB BILGISINI PEROF.SON DOSYASINDAN ALIN");
        auto result = read_lines(dir.path() / "Korvanti.SON");
        int blocks = 0;
        for (const auto& line : result) blocks += line.rfind(" r/R    =", 0) == 0;
        EXPECT_EQ(blocks, N);
        PanelData d = read_panel_data(dir.path() / "PERVDAT");
        EXPECT_EQ(d.M, N);
        EXPECT_EQ(d.NCH[0], d.NP[0]);
    }
    // The B-series file starts with the root station on the hub, r = 0.167 R.
    ScratchDir dir;
    ASSERT_EQ(run_example(dir.path(), "B4-55.TSK").exit_status, 0);
    auto result = read_file(dir.path() / "Korvanti.SON");
    EXPECT_NE(result.find("\n r/R    =  0.1670\n"), std::string::npos);
}

TEST(PostProcessingRun, ModeTwoStartsAndEndsAtTheFileStations) {
    for (const char* example : {"B4-55.TSK", "AU4-55.TSK", "Gawn3-65.TSK"}) {
        SCOPED_TRACE(example);
        ScratchDir dir;
        ASSERT_EQ(run_example(dir.path(), example, {{67, "2 7"}}).exit_status, 0);
        int N = 0, M = 0;
        auto file = station_lines(dir.path() / "PEROF.SON", N);
        auto report = station_lines(dir.path() / "PEROF2.SON", M);
        ASSERT_EQ(M, 7);
        EXPECT_EQ(report.front().substr(0, 12), file.front().substr(0, 12));
        EXPECT_EQ(report.back().substr(0, 12), file.back().substr(0, 12));
        PanelData d = read_panel_data(dir.path() / "PERVDAT");
        EXPECT_EQ(d.M, 7);
        for (int n : d.NCH) EXPECT_EQ(n, 7);
    }
}

TEST(PostProcessingRun, TooManyRadiiWriteNoPostProcessingFile) {
    ScratchDir dir;
    ProgramRun run = run_example(dir.path(), "B4-55.TSK", {{67, "2 23"}});
    EXPECT_NE(run.exit_status, 0);
    EXPECT_NE(run.output.find("22"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(dir.path() / "PEROF2.SON"));
    EXPECT_FALSE(fs::exists(dir.path() / "PERVDAT"));
    EXPECT_EQ(read_file(dir.path() / "Korvanti.SON").find("PERVANE KESIT OFSETLERI"),
              std::string::npos);
}

// The shipped variants: report mode 2 for the B-series, a left-hand Gawn.
TEST(PostProcessingRun, ShippedModeTwoAndLeftHandExamples) {
    ScratchDir m2;
    ASSERT_EQ(run_example(m2.path(), "B4-55-M2.TSK").exit_status, 0);
    PanelData d = read_panel_data(m2.path() / "PERVDAT");
    EXPECT_EQ(d.M, 11);
    EXPECT_EQ(d.counts[0], 914);
    EXPECT_EQ(d.counts[1], 884);
    EXPECT_EQ(d.counts[4], 684);

    ScratchDir right_dir;
    ASSERT_EQ(run_example(right_dir.path(), "Gawn3-65.TSK").exit_status, 0);
    PanelData right = read_panel_data(right_dir.path() / "PERVDAT");
    ScratchDir left_dir;
    ASSERT_EQ(run_example(left_dir.path(), "Gawn3-65-SOL.TSK").exit_status, 0);
    PanelData left = read_panel_data(left_dir.path() / "PERVDAT");
    ASSERT_EQ(right.nodes.size(), left.nodes.size());
    for (size_t n = 0; n < right.nodes.size(); ++n) {
        EXPECT_EQ(right.nodes[n][0], left.nodes[n][0]);
        EXPECT_EQ(right.nodes[n][1], -left.nodes[n][1]);
        EXPECT_EQ(right.nodes[n][2], left.nodes[n][2]);
    }
    EXPECT_EQ(right.panels, left.panels);
}

}  // namespace
}  // namespace korvanti::testing
