// The drawing generator on the panel data of a real calculator run: every
// test runs Korvanti on the B4-55 propeller of 4 m diameter in a scratch
// directory and draws its PERVDAT. The expected script is worked out here
// from the values read back from the file, with the sheet rules of the form
// plans and the turn of the blade copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <numbers>
#include <sstream>

#include "drawing_fixture.h"
#include "support/test_support.h"

namespace telvaro::testing {
namespace {

namespace fs = std::filesystem;
using korvanti::testing::prepare_run;
using korvanti::testing::read_file;
using korvanti::testing::read_lines;
using korvanti::testing::run_program;
using korvanti::testing::ScratchDir;
using korvanti::testing::write_file;
using Lines = std::vector<std::string>;

const Lines kPreamble = {"ltscale 10",
                         "OSMODE 0",
                         "SNAP OFF",
                         "erase w 0,0 397,252  limits 0,0 397,252",
                         "grid 10 zoom a layer set 0",
                         " regenauto off",
                         "COLOR 4"};

// PERVDAT as the calculator wrote it, read back line by line with the counts
// the file carries (records 1 to 12), and where the mesh records start.
struct RealPervdat {
    PervdatFixture data;
    Lines lines;
    std::size_t counts_line = 0;  // index of the record of the five mesh counts
    int NV2 = -1, NQ2 = -1;
};

class RecordReader {
public:
    explicit RecordReader(const Lines& lines) : lines_(lines) {}
    // The next line, which must hold exactly `count` numbers.
    std::vector<double> next(std::size_t count) {
        std::vector<double> values;
        if (at_ >= lines_.size()) {
            ADD_FAILURE() << "PERVDAT ends at line " << at_;
            return std::vector<double>(count, 0);
        }
        std::istringstream in(lines_[at_++]);
        double value;
        while (in >> value) values.push_back(value);
        EXPECT_EQ(values.size(), count) << "PERVDAT line " << at_ << ": " << lines_[at_ - 1];
        values.resize(count, 0);
        return values;
    }
    std::size_t at() const { return at_; }

private:
    const Lines& lines_;
    std::size_t at_ = 0;
};

RealPervdat read_back(const fs::path& file) {
    RealPervdat real;
    real.lines = read_lines(file);
    PervdatFixture& f = real.data;
    RecordReader in(real.lines);
    const int M = static_cast<int>(in.next(1)[0]);
    std::vector<int> NCH;
    for (int k = 0; k < M; ++k) {
        const auto counts = in.next(2);
        const int NP = static_cast<int>(counts[0]);
        NCH.push_back(static_cast<int>(counts[1]));
        f.xc.emplace_back();
        f.ys.emplace_back();
        f.yp.emplace_back();
        for (int j = 0; j < NP; ++j) {
            const auto v = in.next(2);
            f.xc.back().push_back(v[0]);
            f.ys.back().push_back(v[1]);
        }
        for (int j = 0; j < NP; ++j) {
            const auto v = in.next(2);
            EXPECT_EQ(v[0], f.xc.back()[j]);
            f.yp.back().push_back(v[1]);
        }
    }
    for (int k = 0; k < M; ++k) f.r.push_back(in.next(1)[0]);
    for (int k = 0; k < M; ++k) f.tmax_from_le.push_back(in.next(1)[0]);
    for (auto* side : {&f.face, &f.back}) {
        side->resize(M);
        for (int k = 0; k < M; ++k) (*side)[k].resize(NCH[k]);
        for (int u = 0; u < 3; ++u)
            for (int k = 0; k < M; ++k)
                for (int w = 0; w < NCH[k]; ++w) {
                    Point3& p = (*side)[k][w];
                    (u == 0 ? p.x : u == 1 ? p.y : p.z) = in.next(1)[0];
                }
    }
    const auto z_ear = in.next(2);
    f.Z = static_cast<int>(z_ear[0]);
    f.EAR = z_ear[1];
    const auto d_pd = in.next(2);
    f.D = d_pd[0];
    f.P_D = d_pd[1];
    for (int k = 0; k < M; ++k) {
        const auto a = in.next(3);
        const auto b = in.next(3);
        f.tmax_line.push_back({Point3{a[0], a[1], a[2]}, Point3{b[0], b[1], b[2]}});
    }
    real.counts_line = in.at();
    const auto counts = in.next(5);
    const int NV1 = static_cast<int>(counts[0]);
    const int NQ1 = static_cast<int>(counts[1]);
    real.NV2 = static_cast<int>(counts[2]);
    real.NQ2 = static_cast<int>(counts[3]);
    f.NH1 = static_cast<int>(counts[4]);
    for (int v = 0; v < NV1; ++v) {
        const auto p = in.next(3);
        f.vertices.push_back({p[0], p[1], p[2]});
    }
    for (int p = 0; p < NQ1; ++p) {
        const auto n = in.next(4);
        f.panels.push_back({static_cast<int>(n[0]), static_cast<int>(n[1]), static_cast<int>(n[2]),
                            static_cast<int>(n[3])});
    }
    return real;
}

// Walks a form-plan script line by line against the lines the rules give;
// stops at the first line that differs and names it.
class ScriptWalk {
public:
    explicit ScriptWalk(const Lines& lines) : lines_(lines) {}

    void line(const std::string& text) {
        if (take()) check(current() == text, "expected \"" + text + "\"");
    }
    // A point computed from the propeller's data: x rounded to a whole sheet
    // unit, y as computed.
    void point(double x, double y) {
        if (!take()) return;
        const auto v = numbers(current());
        if (!check(v.size() == 2 && plain_decimal(current()), "expected a sheet point")) return;
        const std::string x_text = current().substr(0, current().find(','));
        check(x_text.find('.') == std::string::npos && std::fabs(v[0] - x) <= 0.5 + 1e-9,
              "expected x " + std::to_string(x) + " rounded to a whole unit");
        check(std::fabs(v[1] - y) <= 1e-9 * std::max(1.0, std::fabs(y)),
              "expected y " + std::to_string(y));
    }
    // A point written as given.
    void exact_point(double x, double y) {
        if (!take()) return;
        const auto v = numbers(current());
        check(v.size() == 2 && plain_decimal(current()) && std::fabs(v[0] - x) <= 1e-9 &&
                  std::fabs(v[1] - y) <= 1e-9 * std::max(1.0, std::fabs(y)),
              "expected the point " + std::to_string(x) + "," + std::to_string(y));
    }
    // "PLINE", the points and the Enter that ends it.
    template <typename PointAt>
    void polyline(int n, PointAt point_at) {
        line("PLINE");
        for (int i = 0; i < n; ++i) {
            const auto [x, y] = point_at(i);
            point(x, y);
        }
        line("");
    }
    // After "PEDIT": the last point of the polyline ended just before, which
    // selects it.
    void repeat_last_polyline_point() {
        const std::string last_point = at_ >= 3 ? lines_[at_ - 3] : "";
        line(last_point);
    }
    void number_line(double value) {
        if (!take()) return;
        const auto v = number(current());
        check(v && plain_decimal(current()) && std::fabs(*v - value) <= 1e-12,
              "expected the number " + std::to_string(value));
    }
    void end() {
        if (ok_) check(at_ == lines_.size(), "lines after the sheet frame");
    }
    bool ok() const { return ok_; }

private:
    bool take() {
        if (!ok_) return false;
        if (at_ >= lines_.size()) {
            ADD_FAILURE() << "the script ends after " << at_ << " lines";
            ok_ = false;
            return false;
        }
        ++at_;
        return true;
    }
    const std::string& current() const { return lines_[at_ - 1]; }
    bool check(bool good, const std::string& what) {
        if (!good && ok_) {
            ADD_FAILURE() << "script line " << at_ << " \"" << current() << "\": " << what;
            ok_ = false;
        }
        return good;
    }

    const Lines& lines_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

using SheetPoint = std::pair<double, double>;

std::string radius_label(const PervdatFixture& f, std::size_t k) {
    if (k + 1 == f.r.size()) return " r/R = 1.000";
    long c = std::lround(1000.0 * f.r[k] / f.r.back());
    if (c > 999) c /= 10;
    char digits[32];
    std::snprintf(digits, sizeof digits, "%03ld", c);
    return std::string(" r/R = 0.") + digits;
}

// The whole form-plan script at scale s, line by line.
void expect_form_plans(const Lines& script, const PervdatFixture& f, double s) {
    const double mm = s * 1000.0;
    const int M = static_cast<int>(f.r.size());
    ScriptWalk walk(script);
    for (const auto& line : kPreamble) walk.line(line);

    // Expanded outline group, origin (280, 40).
    auto ex = [&](double a) { return 280 + mm * a; };
    auto ey = [&](double b) { return 40 + mm * b; };
    walk.line("layer new Duzlenmis_acinim_alani set Duzlenmis_acinim_alani ");
    walk.line("COLOR 5");
    for (int k = 0; k < M; ++k) {
        const int NP = static_cast<int>(f.xc[k].size());
        for (const auto* ordinate : {&f.ys, &f.yp}) {
            walk.polyline(NP, [&](int j) {
                return SheetPoint{ex(f.xc[k][j]), ey((*ordinate)[k][j])};
            });
            walk.line("PEDIT L");
            walk.line("F ");
        }
    }
    walk.line(
        "layer new Duzlenmis_acinim_alani_data_noktalari set "
        "Duzlenmis_acinim_alani_data_noktalari ");
    walk.line("COLOR 4");
    for (int k = 0; k < M; ++k)
        for (const auto* ordinate : {&f.ys, &f.yp})
            for (std::size_t j = 0; j < f.xc[k].size(); ++j) {
                walk.line("CIRCLE");
                walk.point(ex(f.xc[k][j]), ey((*ordinate)[k][j]));
                walk.number_line(s * f.D / 2);
            }
    walk.line("COLOR 3");
    auto edge_mid_point = [&](int k, int j) {
        return SheetPoint{ex(f.xc[k][j]), (ey(f.ys[k][j]) + ey(f.yp[k][j])) / 2};
    };
    walk.polyline(M, [&](int k) { return edge_mid_point(k, 0); });
    walk.line("PEDIT");
    walk.repeat_last_polyline_point();
    walk.line("F ");
    walk.polyline(M,
                  [&](int k) { return edge_mid_point(k, static_cast<int>(f.xc[k].size()) - 1); });
    walk.line("PEDIT L");
    walk.line("F ");
    walk.line("LINE");
    walk.exact_point(280, 40);
    walk.exact_point(280, ey(f.r.back()));
    walk.line("");
    walk.line("layer new Skew_Egrisi_DAR set Skew_Egrisi_DAR ");
    walk.line("COLOR 4");
    walk.polyline(M, [&](int k) {
        return SheetPoint{ex((f.xc[k].front() + f.xc[k].back()) / 2), ey(f.r[k])};
    });
    walk.line("PEDIT");
    walk.line("L F ");

    // Views of the surface grid, origin (130, 40).
    auto face_edge = [&](bool last, auto map) {
        walk.polyline(M, [&](int k) { return map(last ? f.face[k].back() : f.face[k].front()); });
    };
    auto sections = [&](const std::vector<std::vector<Point3>>& side, auto map,
                        const std::string& option) {
        for (const auto& radius : side) {
            walk.polyline(static_cast<int>(radius.size()), [&](int w) { return map(radius[w]); });
            walk.line("PEDIT L");
            walk.line(option);
        }
    };
    auto reference_line = [&] {
        walk.line("LINE");
        walk.exact_point(130, 40);
        walk.exact_point(130, 40 + mm * f.r.back());
        walk.line("");
    };
    auto projected = [&](const Point3& p) { return SheetPoint{130 + mm * p.y, 40 + mm * p.z}; };
    walk.line("layer new Izdusum_alani set Izdusum_alani ");
    walk.line("COLOR 2");
    walk.line("COLOR 2");
    sections(f.face, projected, "F ");
    walk.line("COLOR 3");
    for (bool last : {false, true}) {
        face_edge(last, projected);
        walk.line("PEDIT L");
        walk.line("F ");
    }
    reference_line();

    auto side = [&](const Point3& p) { return SheetPoint{130 - mm * p.x, 40 + mm * p.z}; };
    walk.line("layer new Yan_Gorunus set Yan_Gorunus ");
    walk.line("COLOR 1");
    reference_line();
    walk.line("COLOR 5");
    sections(f.face, side, "F ");
    face_edge(false, side);
    walk.line("PEDIT");
    walk.repeat_last_polyline_point();
    walk.line("F ");
    walk.line("COLOR 6");
    sections(f.back, side, "F ");
    face_edge(true, side);
    walk.line("PEDIT L");
    walk.line("F ");

    auto top = [&](const Point3& p) { return SheetPoint{130 - mm * p.x, 40 - mm * p.y}; };
    walk.line("layer new Ust_Gorunus set Ust_Gorunus ");
    walk.line("COLOR 5");
    walk.line("LINE");
    walk.exact_point(110, 40);
    walk.exact_point(150, 40);
    walk.line("");
    walk.line("LINE");
    walk.exact_point(130, 72.5);
    walk.exact_point(130, 7.5);
    walk.line("");
    walk.line("COLOR 6");
    sections(f.face, top, "D ");
    walk.line("COLOR 7");
    sections(f.back, top, "D ");

    // Radius lines and their labels.
    walk.line("layer new Yaricaplar set Yaricaplar ");
    walk.line("COLOR 1");
    for (double r : f.r) {
        walk.line("LINE");
        walk.exact_point(70, ey(r));
        walk.exact_point(335, ey(r));
        walk.line("");
    }
    walk.line("STYLE COMPLEX COMPLEX 3.5 1 0 N N N");
    for (std::size_t k = 0; k < f.r.size(); ++k) {
        walk.line("TEXT");
        walk.exact_point(337, ey(f.r[k]));
        walk.line(radius_label(f, k));
    }

    walk.line("layer new Dis_Cerceve set Dis_Cerceve ");
    walk.line("COLOR 1");
    walk.line("LINE 10,10 387,10 387,242 10,242 C");
    walk.end();
}

// The point lines of every PLINE block, by layer, in script order.
std::map<std::string, std::vector<Lines>> polylines_by_layer(const Lines& script) {
    std::map<std::string, std::vector<Lines>> result;
    std::string layer;
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (script[i].rfind("layer new ", 0) == 0) {
            std::istringstream in(script[i]);
            std::string word;
            in >> word >> word >> layer;
        }
        if (script[i] != "PLINE") continue;
        Lines points;
        for (std::size_t j = i + 1; j < script.size() && !script[j].empty(); ++j)
            points.push_back(script[j]);
        result[layer].push_back(points);
    }
    return result;
}

const Lines kOpening3D = {"COLOR 1", "Zoom A"};
const Lines kClosing3D = {"Zoom E", "VPOINT -1,-1,1", "HIDE"};

class RealPanelData : public ::testing::Test {
protected:
    void SetUp() override {
        prepare_run(dir_.path(), "B4-55-D4.TSK");
        const auto run = run_program(KORVANTI_EXE, dir_.path());
        ASSERT_EQ(run.exit_status, 0) << run.output;
        ASSERT_TRUE(fs::exists(dir_.path() / "PERVDAT")) << run.output;
        real_ = read_back(dir_.path() / "PERVDAT");
        ASSERT_FALSE(HasFailure());
        const PervdatFixture& f = real_.data;
        ASSERT_EQ(f.D, 4.0);
        ASSERT_EQ(f.Z, 4);
        ASSERT_GE(f.r.size(), 3u);
        ASSERT_EQ(real_.NV2, 0);
        ASSERT_EQ(real_.NQ2, 0);
        ASSERT_GT(f.NH1, 0);
        ASSERT_LT(f.NH1, static_cast<int>(f.panels.size())) << "the mesh has blade panels";
    }

    // The drawing generator on the PERVDAT in the scratch directory.
    DrawingRun draw(const std::vector<std::string>& answers) {
        DrawingRun run = run_with_answers(dir_.path(), std::nullopt, answers);
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.alerts.empty()) << run.alerts.front();
        return run;
    }

    const PervdatFixture& data() const { return real_.data; }
    int NQ1() const { return static_cast<int>(real_.data.panels.size()); }

    ScratchDir dir_;
    RealPervdat real_;
};

TEST_F(RealPanelData, FormPlansAtTheScaleLimitOfAFourMetrePropeller) {
    const DrawingRun run = draw({"1", "0.1"});
    ASSERT_EQ(run.questions.size(), 2u);
    EXPECT_EQ(run.questions[0].prompt, "CIZIM SECENEGI GIRINIZ ");
    EXPECT_EQ(run.questions[1].prompt,
              "A3 KAGIDI CIZIM OLCEGINI GIRINIZ <OLCEK=1> - MINIMUM OLCEK 0.1 OLMALI");
    EXPECT_EQ(run.questions[1].default_text, "1");
    expect_form_plans(run.script, data(), 0.1);
    // The tip radius line is the top one, 200 mm above the origin.
    const std::string script = read_file(dir_.path() / "TELVARO_3B_CIZIMLER.SCR");
    EXPECT_NE(script.find("LINE\n70,240\n335,240\n\n"), std::string::npos);
    EXPECT_NE(script.find("LINE\n280,40\n280,240\n\n"), std::string::npos);
}

// No scale above the limit: 1 is drawn at the limit, and 0 keeps the scale
// of 1 it starts with, so it too is drawn at the limit. The limit is named
// in the prompt; clamping says nothing more.
TEST_F(RealPanelData, ScaleOneAndZeroDrawAtTheLimit) {
    const Lines at_limit = draw({"1", "0.1"}).script;
    for (const std::string answer : {"1", "0", "5"}) {
        const DrawingRun run = draw({"1", answer});
        EXPECT_EQ(run.questions.size(), 2u) << answer;
        EXPECT_EQ(run.script, at_limit) << "scale answer " << answer;
    }
    const DrawingRun just_over = draw({"1", "0.1001"});
    EXPECT_EQ(just_over.script, at_limit);
}

TEST_F(RealPanelData, HalfTheLimitDrawsEveryViewAtHalfSize) {
    const DrawingRun run = draw({"1", "0.05"});
    expect_form_plans(run.script, data(), 0.05);
    const std::string script = read_file(dir_.path() / "TELVARO_3B_CIZIMLER.SCR");
    EXPECT_NE(script.find("LINE\n70,140\n335,140\n\n"), std::string::npos);
    EXPECT_NE(script.find("CIRCLE\n"), std::string::npos);
    EXPECT_EQ(script.find("\n0.2\n"), std::string::npos)
        << "data point circles drawn at the scale limit";
}

TEST_F(RealPanelData, PreambleOnlyInFormPlanScripts) {
    const Lines plans = draw({"1", "0.1"}).script;
    ASSERT_GT(plans.size(), kPreamble.size());
    EXPECT_EQ(Lines(plans.begin(), plans.begin() + 7), kPreamble);
    for (const auto& answers :
         {std::vector<std::string>{"2", "3", "E"}, {"0", "1", "H"}, {"2", "2", "E"}}) {
        const Lines view = draw(answers).script;
        ASSERT_GE(view.size(), 5u);
        EXPECT_EQ(Lines(view.begin(), view.begin() + 2), kOpening3D);
        for (const auto& line : kPreamble)
            EXPECT_EQ(std::count(view.begin(), view.end(), line), 0) << line;
    }
}

TEST_F(RealPanelData, RadiusLinesFrom70To335LabelledAtTheRightEnd) {
    const Lines script = draw({"1", "0.1"}).script;
    Lines labels;
    for (std::size_t i = 0; i + 2 < script.size(); ++i) {
        if (script[i] == "LINE" && script[i + 1].rfind("70,", 0) == 0) {
            const std::string y = script[i + 1].substr(3);
            EXPECT_EQ(script[i + 2], "335," + y);
            EXPECT_EQ(script[i + 3], "");
        }
        if (script[i] == "TEXT") {
            EXPECT_EQ(script[i + 1].rfind("337,", 0), 0u) << script[i + 1];
            labels.push_back(script[i + 2]);
        }
    }
    // The report radii of the B-series blade, hub to tip.
    EXPECT_EQ(labels, (Lines{" r/R = 0.167", " r/R = 0.200", " r/R = 0.300", " r/R = 0.400",
                             " r/R = 0.500", " r/R = 0.600", " r/R = 0.700", " r/R = 0.800",
                             " r/R = 0.900", " r/R = 1.000"}));
    const auto tip = std::find(script.begin(), script.end(), " r/R = 1.000");
    ASSERT_NE(tip, script.end());
    EXPECT_EQ(*(tip - 1), "337,240");
    EXPECT_EQ(*(tip - 2), "TEXT");
}

TEST_F(RealPanelData, EveryPolylineEndsWithAnEnterBeforeItsPedit) {
    for (const std::string scale : {"0.1", "0.05"}) {
        const Lines script = draw({"1", scale}).script;
        int blocks = 0;
        for (std::size_t i = 0; i < script.size(); ++i) {
            if (script[i] != "PLINE") continue;
            ++blocks;
            std::size_t j = i + 1;
            while (j < script.size() && numbers(script[j]).size() == 2) ++j;
            EXPECT_GE(j - i - 1, 2u)
                << "polyline at line " << i + 1 << " has fewer than two points";
            ASSERT_LT(j + 1, script.size());
            EXPECT_EQ(script[j], "") << "polyline at line " << i + 1 << " not ended by an Enter";
            EXPECT_EQ(script[j + 1].rfind("PEDIT", 0), 0u)
                << "polyline at line " << i + 1 << ": " << script[j + 1];
        }
        // Expanded: 2 per radius, two edges, the skew curve; projected: 1 per
        // radius and two edges; side: 2 per radius and two edges; top: 2 per radius.
        const int M = static_cast<int>(data().r.size());
        EXPECT_EQ(blocks, 2 * M + 3 + M + 2 + 2 * M + 2 + 2 * M) << "scale " << scale;
    }
}

// The side view (X, Z) and the top view (X, Y) both draw X to the left: the
// same X gives the same sheet x in both, a point with larger X lies further
// left, and the side view shares the heights of the projected outline (Z).
TEST_F(RealPanelData, SideAndTopViewsMirrorX) {
    const PervdatFixture& f = data();
    const int M = static_cast<int>(f.r.size());
    const auto blocks = polylines_by_layer(draw({"1", "0.1"}).script);
    const auto& side = blocks.at("Yan_Gorunus");
    const auto& top = blocks.at("Ust_Gorunus");
    const auto& projected = blocks.at("Izdusum_alani");
    ASSERT_EQ(side.size(), static_cast<std::size_t>(2 * M + 2));
    ASSERT_EQ(top.size(), static_cast<std::size_t>(2 * M));
    ASSERT_EQ(projected.size(), static_cast<std::size_t>(M + 2));
    int pairs_compared = 0;
    for (int k = 0; k < M; ++k) {
        // Side view: face sections 0..M-1, the leading edge, back sections M+1..2M.
        for (int s = 0; s < 2; ++s) {
            const Lines& side_points = side[s == 0 ? k : M + 1 + k];
            const Lines& top_points = top[s * M + k];
            const auto& grid = s == 0 ? f.face[k] : f.back[k];
            ASSERT_EQ(side_points.size(), grid.size());
            ASSERT_EQ(top_points.size(), grid.size());
            for (std::size_t w = 0; w < grid.size(); ++w) {
                const auto a = numbers(side_points[w]);
                const auto b = numbers(top_points[w]);
                ASSERT_EQ(a.size(), 2u);
                ASSERT_EQ(b.size(), 2u);
                EXPECT_EQ(a[0], b[0]) << "radius " << k + 1 << " point " << w + 1;
                EXPECT_NEAR(a[0], 130 - 100 * grid[w].x, 0.5 + 1e-9);
                if (s == 0) {
                    EXPECT_EQ(a[1], numbers(projected[k][w])[1]) << "radius " << k + 1;
                }
                for (std::size_t v = 0; v < grid.size(); ++v) {
                    if (grid[w].x <= grid[v].x + 0.011) continue;  // more than a sheet unit apart
                    EXPECT_LT(a[0], numbers(side_points[v])[0]) << "radius " << k + 1;
                    ++pairs_compared;
                }
            }
        }
    }
    EXPECT_GT(pairs_compared, 100) << "the blade sections spread along X";
}

// The three-dimensional view, chosen by 2 or by 0.
TEST_F(RealPanelData, ZeroAndTwoBothChooseTheThreeDimensionalView) {
    for (const std::string panelling : {"1", "2", "3"}) {
        const DrawingRun by_two = draw({"2", panelling, "E"});
        const DrawingRun by_zero = draw({"0", panelling, "E"});
        EXPECT_EQ(by_zero.script, by_two.script) << "panelling " << panelling;
        EXPECT_EQ(by_zero.questions.size(), 3u);
    }
}

// Choice 1 draws panels NH1+1..NQ1, 2 draws 1..NH1, 3 all of them, each as
// read when the other blades are declined.
TEST_F(RealPanelData, PanellingChoicesDrawTheirPanelsAsRead) {
    const PervdatFixture& f = data();
    struct Case {
        std::string answer;
        int first, last;
    };
    for (const Case& c : {Case{"1", f.NH1 + 1, NQ1()}, Case{"2", 1, f.NH1}, Case{"3", 1, NQ1()}}) {
        const Lines script = draw({"2", c.answer, "H"}).script;
        ASSERT_GE(script.size(), 5u);
        EXPECT_EQ(Lines(script.begin(), script.begin() + 2), kOpening3D);
        EXPECT_EQ(Lines(script.end() - 3, script.end()), kClosing3D);
        const auto drawn = faces(script);
        ASSERT_EQ(drawn.size(), static_cast<std::size_t>(c.last - c.first + 1))
            << "choice " << c.answer;
        EXPECT_EQ(script.size(), 2 + 6 * drawn.size() + 3);
        for (int p = c.first; p <= c.last; ++p)
            for (int corner = 0; corner < 4; ++corner) {
                const Point3& v = f.vertices[f.panels[p - 1][corner] - 1];
                const auto& drawn_corner = drawn[p - c.first].corners[corner];
                EXPECT_EQ(drawn_corner, (std::vector<double>{v.x, v.y, v.z})) << "panel " << p;
            }
    }
}

// Every panel is written Z times in a row, the first copy as read and copy b
// turned by (b - 1)·2π/Z about the shaft axis: X and the distance from the
// axis stay, the angle in the Y-Z plane grows by the step.
TEST_F(RealPanelData, OtherBladesAreTheMeshTurnedByEqualSteps) {
    const PervdatFixture& f = data();
    const int Z = f.Z;
    const auto drawn = faces(draw({"2", "3", "E"}).script);
    ASSERT_EQ(drawn.size(), static_cast<std::size_t>(NQ1() * Z));
    const double step = 2 * std::numbers::pi / Z;
    for (int p = 0; p < NQ1(); ++p)
        for (int corner = 0; corner < 4; ++corner) {
            const Point3& v = f.vertices[f.panels[p][corner] - 1];
            const double R = std::hypot(v.y, v.z);
            EXPECT_EQ(drawn[p * Z].corners[corner], (std::vector<double>{v.x, v.y, v.z}))
                << "panel " << p + 1;
            for (int b = 1; b < Z; ++b) {
                const auto& turned = drawn[p * Z + b].corners[corner];
                const double phi = b * step;
                EXPECT_EQ(turned[0], v.x);
                EXPECT_NEAR(std::hypot(turned[1], turned[2]), R, 1e-9);
                EXPECT_NEAR(turned[1], v.y * std::cos(phi) - v.z * std::sin(phi), 1e-6);
                EXPECT_NEAR(turned[2], v.y * std::sin(phi) + v.z * std::cos(phi), 1e-6);
                if (R > 0.01) {
                    const double previous = std::atan2(drawn[p * Z + b - 1].corners[corner][2],
                                                       drawn[p * Z + b - 1].corners[corner][1]);
                    const double turn = std::remainder(std::atan2(turned[2], turned[1]) - previous,
                                                       2 * std::numbers::pi);
                    EXPECT_NEAR(turn, step, 1e-6) << "panel " << p + 1 << " copy " << b + 1;
                }
            }
            if (HasFailure()) return;
        }
}

// The mesh vertex nearest the plane Y = 0 away from the axis goes to
// (X, -R·sin φ, R·cos φ), to within its distance from that plane.
TEST_F(RealPanelData, VertexNearThePlaneYZeroTurnsToMinusRSinPhiRCosPhi) {
    const PervdatFixture& f = data();
    int nearest = -1;
    for (int v = 0; v < static_cast<int>(f.vertices.size()); ++v)
        if (f.vertices[v].z > 0.1 &&
            (nearest < 0 || std::fabs(f.vertices[v].y) < std::fabs(f.vertices[nearest].y)))
            nearest = v;
    ASSERT_GE(nearest, 0);
    const Point3 v = f.vertices[nearest];
    ASSERT_LT(std::fabs(v.y), 1e-3);
    int panel = -1, corner = -1;
    for (int p = 0; p < NQ1() && panel < 0; ++p)
        for (int c = 0; c < 4; ++c)
            if (f.panels[p][c] == nearest + 1) {
                panel = p;
                corner = c;
                break;
            }
    ASSERT_GE(panel, 0) << "vertex " << nearest + 1 << " is on no panel";
    const auto drawn = faces(draw({"2", "3", "E"}).script);
    ASSERT_EQ(drawn.size(), static_cast<std::size_t>(NQ1() * f.Z));
    const double tolerance = std::fabs(v.y) + 1e-6;
    for (int b = 0; b < f.Z; ++b) {
        const double phi = b * 2 * std::numbers::pi / f.Z;
        const auto& turned = drawn[panel * f.Z + b].corners[corner];
        EXPECT_EQ(turned[0], v.x);
        EXPECT_NEAR(turned[1], -v.z * std::sin(phi), tolerance) << "copy " << b + 1;
        EXPECT_NEAR(turned[2], v.z * std::cos(phi), tolerance) << "copy " << b + 1;
    }
}

// The calculator's mesh always has blade panels; here its PERVDAT is cut to
// the hub: NQ1 set to NH1 and the blade panels' lines removed (the vertex
// list and the strip table, which the drawing generator does not read, stay).
TEST_F(RealPanelData, BladeChoiceOnAHubOnlyMeshWritesOnlyTheFixedLines) {
    const PervdatFixture& f = data();
    Lines lines = real_.lines;
    char counts[32];
    std::snprintf(counts, sizeof counts, "%5d%5d%5d%5d%5d", static_cast<int>(f.vertices.size()),
                  f.NH1, 0, 0, f.NH1);
    lines[real_.counts_line] = counts;
    const auto first_blade_panel =
        lines.begin() +
        static_cast<std::ptrdiff_t>(real_.counts_line + 1 + f.vertices.size() + f.NH1);
    lines.erase(first_blade_panel, first_blade_panel + (NQ1() - f.NH1));
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    write_file(dir_.path() / "PERVDAT", text);

    const Lines fixed = {"COLOR 1", "Zoom A", "Zoom E", "VPOINT -1,-1,1", "HIDE"};
    for (const std::string other_blades : {"E", "H"})
        EXPECT_EQ(draw({"2", "1", other_blades}).script, fixed) << other_blades;
    // The hub that is left is still drawn whole.
    EXPECT_EQ(faces(draw({"2", "3", "H"}).script).size(), static_cast<std::size_t>(f.NH1));
    EXPECT_EQ(faces(draw({"2", "2", "E"}).script).size(), static_cast<std::size_t>(f.NH1 * f.Z));
}

// The real program on the console (no display), answers on its standard
// input, writes the script the drawing logic writes for the same answers.
class RealProgram : public RealPanelData {
protected:
    void SetUp() override {
        if (const char* display = std::getenv("DISPLAY")) saved_display_ = display;
        unsetenv("DISPLAY");
        RealPanelData::SetUp();
    }
    void TearDown() override {
        if (!saved_display_.empty()) setenv("DISPLAY", saved_display_.c_str(), 1);
    }

    Lines program_script(const std::string& input) {
        fs::remove(dir_.path() / "TELVARO_3B_CIZIMLER.SCR");
        const auto run = run_program(TELVARO_EXE, dir_.path(), input);
        EXPECT_EQ(run.exit_status, 0) << run.output;
        output_ = run.output;
        if (!fs::exists(dir_.path() / "TELVARO_3B_CIZIMLER.SCR")) return {};
        return read_lines(dir_.path() / "TELVARO_3B_CIZIMLER.SCR");
    }

    std::string saved_display_;
    std::string output_;
};

TEST_F(RealProgram, FormPlansOnTheConsole) {
    const Lines script = program_script("1\n1\n");
    EXPECT_NE(output_.find(
                  "A3 KAGIDI CIZIM OLCEGINI GIRINIZ <OLCEK=1> - MINIMUM OLCEK 0.1 OLMALI [1]: 1\n"),
              std::string::npos)
        << output_;
    expect_form_plans(script, data(), 0.1);
    EXPECT_EQ(script, draw({"1", "1"}).script);
}

TEST_F(RealProgram, ThreeDimensionalViewOnTheConsole) {
    const Lines script = program_script("2\n\n\n");  // the defaults: blade and hub, every blade
    EXPECT_NE(
        output_.find(
            "ÇİZİM SEÇENEĞİ GİRİŞİ [3]: \nDİĞER KANATLARI ÇİZMEK İSTER MİSİNİZ (E/H) <E> [E]: \n"),
        std::string::npos)
        << output_;
    EXPECT_EQ(faces(script).size(), static_cast<std::size_t>(NQ1() * data().Z));
    EXPECT_EQ(script, draw({"2", "3", "E"}).script);
}

}  // namespace
}  // namespace telvaro::testing
