// Option 1: the form plans of the small propeller, checked against sheet
// coordinates worked out by hand (x = x0 + s·1000·a rounded, y = y0 + s·1000·b).
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "drawing_fixture.h"
#include "form_plans.h"
#include "support/test_support.h"

namespace telvaro::testing {
namespace {

using korvanti::testing::ScratchDir;
using Lines = std::vector<std::string>;

// The lines from the first occurrence of `first` on, `count` of them.
Lines block(const Lines& script, const std::string& first, std::size_t count) {
    auto at = std::find(script.begin(), script.end(), first);
    EXPECT_NE(at, script.end()) << "missing: " << first;
    if (at == script.end() || static_cast<std::size_t>(script.end() - at) < count) return {};
    return Lines(at, at + static_cast<std::ptrdiff_t>(count));
}

DrawingRun form_plans(const std::string& scale_answer, double D = 4.0) {
    ScratchDir dir;
    PervdatFixture f = small_propeller();
    f.D = D;
    return run_with_answers(dir.path(), pervdat_text(f), {"1", scale_answer});
}

// `count` lines from the first run of `first` lines after the line `marker`.
Lines block_after(const Lines& script, const std::string& marker, const Lines& first,
                  std::size_t count) {
    const auto from = std::find(script.begin(), script.end(), marker);
    const auto at = std::search(from, script.end(), first.begin(), first.end());
    EXPECT_NE(at, script.end()) << "missing after " << marker << ": " << first.front();
    if (at == script.end() || static_cast<std::size_t>(script.end() - at) < count) return {};
    return Lines(at, at + static_cast<std::ptrdiff_t>(count));
}

double tip_reference_line_y(const Lines& script) {
    const Lines line = block(script, "280,40", 2);
    return line.size() == 2 ? point_values(line[1])[1] : -1;
}

TEST(FormPlanScale, LimitIsTheScaleThatDrawsTheRadius200mmLong) {
    EXPECT_DOUBLE_EQ(scale_limit(4.0), 0.1);
    EXPECT_DOUBLE_EQ(scale_limit(1.0), 0.4);
}

TEST(FormPlanScale, AnswersAtFourMetresDiameter) {
    const DrawingRun at_one = form_plans("1");
    ASSERT_EQ(at_one.status, 0);
    ASSERT_EQ(at_one.questions.size(), 2u);
    EXPECT_EQ(at_one.questions[1].prompt,
              "A3 KAGIDI CIZIM OLCEGINI GIRINIZ <OLCEK=1> - MINIMUM OLCEK 0.1 OLMALI");
    EXPECT_EQ(at_one.questions[1].title, " ");
    EXPECT_EQ(at_one.questions[1].default_text, "1");
    EXPECT_DOUBLE_EQ(tip_reference_line_y(at_one.script), 240);  // clamped to 0.1
    EXPECT_DOUBLE_EQ(tip_reference_line_y(form_plans("0.1").script), 240);
    EXPECT_DOUBLE_EQ(tip_reference_line_y(form_plans("0.05").script), 140);
    EXPECT_DOUBLE_EQ(tip_reference_line_y(form_plans("0").script), 240);  // 0 keeps 1, clamped
    EXPECT_EQ(form_plans("0.05").script, form_plans(" 0.05 ").script);
}

TEST(FormPlanScale, SmallPropellerIsClampedToItsOwnLimit) {
    EXPECT_DOUBLE_EQ(tip_reference_line_y(form_plans("1", 1.0).script), 40 + 0.4 * 1000 * 2);
    EXPECT_DOUBLE_EQ(tip_reference_line_y(form_plans("0.3", 1.0).script), 40 + 0.3 * 1000 * 2);
}

TEST(FormPlanScale, NegativeScaleIsAskedAgain) {
    ScratchDir dir;
    const DrawingRun run =
        run_with_answers(dir.path(), pervdat_text(small_propeller()), {"1", "-0.05", "0.05"});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.questions.size(), 3u);
    EXPECT_EQ(run.alerts.size(), 1u);
    EXPECT_DOUBLE_EQ(tip_reference_line_y(run.script), 140);
}

class FormPlans : public ::testing::Test {
protected:
    void SetUp() override {
        run_ = form_plans("1");
        ASSERT_EQ(run_.status, 0);
        script_ = run_.script;
    }
    DrawingRun run_;
    Lines script_;
};

TEST_F(FormPlans, PreambleOpensTheScriptAndTheFrameClosesIt) {
    const Lines preamble = {"ltscale 10",
                            "OSMODE 0",
                            "SNAP OFF",
                            "erase w 0,0 397,252  limits 0,0 397,252",
                            "grid 10 zoom a layer set 0",
                            " regenauto off",
                            "COLOR 4"};
    ASSERT_GT(script_.size(), 10u);
    EXPECT_EQ(Lines(script_.begin(), script_.begin() + 7), preamble);
    EXPECT_EQ(Lines(script_.end() - 3, script_.end()),
              (Lines{"layer new Dis_Cerceve set Dis_Cerceve ", "COLOR 1",
                     "LINE 10,10 387,10 387,242 10,242 C"}));
}

TEST_F(FormPlans, LayersInViewOrder) {
    Lines layers;
    for (const auto& line : script_)
        if (line.rfind("layer new ", 0) == 0) layers.push_back(line);
    EXPECT_EQ(
        layers,
        (Lines{"layer new Duzlenmis_acinim_alani set Duzlenmis_acinim_alani ",
               "layer new Duzlenmis_acinim_alani_data_noktalari set "
               "Duzlenmis_acinim_alani_data_noktalari ",
               "layer new Skew_Egrisi_DAR set Skew_Egrisi_DAR ",
               "layer new Izdusum_alani set Izdusum_alani ",
               "layer new Yan_Gorunus set Yan_Gorunus ", "layer new Ust_Gorunus set Ust_Gorunus ",
               "layer new Yaricaplar set Yaricaplar ", "layer new Dis_Cerceve set Dis_Cerceve "}));
}

TEST_F(FormPlans, ExpandedSectionsAtOrigin280And40) {
    // Radius 1: xc 0.123, 0, -0.117 -> 292.3, 280, 268.3 rounded; ys 0.15, 0.17 -> 55, 57.
    EXPECT_EQ(block(script_, "layer new Duzlenmis_acinim_alani set Duzlenmis_acinim_alani ", 16),
              (Lines{"layer new Duzlenmis_acinim_alani set Duzlenmis_acinim_alani ", "COLOR 5",
                     "PLINE", "292,55", "280,57", "268,55", "", "PEDIT L", "F ", "PLINE", "292,55",
                     "280,54", "268,55", "", "PEDIT L", "F "}));
    // Radius 2, four points: ordinates 1.001 and 1.03 give y 140.1 and 143.
    EXPECT_EQ(block(script_, "310,140.1", 4),
              (Lines{"310,140.1", "290,143", "275,142", "256,140.1"}));
}

TEST_F(FormPlans, DataPointCirclesHaveTheRadiusSD2) {
    const Lines circles = block(script_, "CIRCLE", 6);
    EXPECT_EQ(circles, (Lines{"CIRCLE", "292,55", "0.2", "CIRCLE", "280,57", "0.2"}));
    EXPECT_EQ(std::count(script_.begin(), script_.end(), "CIRCLE"), 2 * (3 + 4 + 3));
}

TEST_F(FormPlans, EdgeCurvesReferenceLineAndSkewCurve) {
    EXPECT_EQ(block(script_, "COLOR 3", 21),
              (Lines{"COLOR 3",   "PLINE",   "292,55",
                     "310,140.1", "285,240", "",
                     "PEDIT",     "285,240", "F ",
                     "PLINE",     "268,55",  "256,140.1",
                     "275,240",   "",        "PEDIT L",
                     "F ",        "LINE",    "280,40",
                     "280,240",   "",        "layer new Skew_Egrisi_DAR set Skew_Egrisi_DAR "}));
    // Mid-chord of radius 2: (0.30 - 0.24)/2 = 0.03 -> x 283 at y 40 + 100.
    EXPECT_EQ(block(script_, "layer new Skew_Egrisi_DAR set Skew_Egrisi_DAR ", 9),
              (Lines{"layer new Skew_Egrisi_DAR set Skew_Egrisi_DAR ", "COLOR 4", "PLINE", "280,55",
                     "283,140", "280,240", "", "PEDIT", "L F "}));
}

TEST_F(FormPlans, ProjectedOutlineInTheDiscPlane) {
    const std::string layer = "layer new Izdusum_alani set Izdusum_alani ";
    EXPECT_EQ(block(script_, layer, 10), (Lines{layer, "COLOR 2", "COLOR 2", "PLINE", "122,53",
                                                "130,55", "138,53", "", "PEDIT L", "F "}));
    EXPECT_EQ(block_after(script_, layer, {"COLOR 3"}, 19),
              (Lines{"COLOR 3", "PLINE", "122,53", "105,137", "126,239.9", "", "PEDIT L", "F ",
                     "PLINE", "138,53", "160,135", "135,239.9", "", "PEDIT L", "F ", "LINE",
                     "130,40", "130,240", ""}));
}

// Side view: x = 130 - 100·X, so the face point with X = 0.05 lies left of
// the one with X = -0.05.
TEST_F(FormPlans, SideViewMirrorsX) {
    const std::string layer = "layer new Yan_Gorunus set Yan_Gorunus ";
    EXPECT_EQ(block(script_, layer, 13),
              (Lines{layer, "COLOR 1", "LINE", "130,40", "130,240", "", "COLOR 5", "PLINE",
                     "125,53", "130,55", "135,53", "", "PEDIT L"}));
    EXPECT_EQ(block_after(script_, layer, {"PLINE", "125,53", "118,137"}, 14),
              (Lines{"PLINE", "125,53", "118,137", "127,239.9", "", "PEDIT", "127,239.9", "F ",
                     "COLOR 6", "PLINE", "125,53", "129,55", "135,53", ""}));
    EXPECT_EQ(block_after(script_, layer, {"PLINE", "135,53", "140,135"}, 7),
              (Lines{"PLINE", "135,53", "140,135", "133,239.9", "", "PEDIT L", "F "}));
}

// Top view: x = 130 - 100·X, y = 40 - 100·Y.
TEST_F(FormPlans, TopViewMirrorsXAndY) {
    EXPECT_EQ(block(script_, "layer new Ust_Gorunus set Ust_Gorunus ", 17),
              (Lines{"layer new Ust_Gorunus set Ust_Gorunus ", "COLOR 5", "LINE", "110,40",
                     "150,40", "", "LINE", "130,72.5", "130,7.5", "", "COLOR 6", "PLINE", "125,48",
                     "130,40", "135,32", "", "PEDIT L"}));
    EXPECT_EQ(block(script_, "118,65", 5), (Lines{"118,65", "128,35", "140,10", "", "PEDIT L"}));
    EXPECT_EQ(block(script_, "COLOR 7", 6),
              (Lines{"COLOR 7", "PLINE", "125,48", "129,40", "135,32", ""}));
    auto top = std::find(script_.begin(), script_.end(), "layer new Ust_Gorunus set Ust_Gorunus ");
    EXPECT_EQ(std::count(top, script_.end(), "D "), 6);
}

TEST_F(FormPlans, RadiusLinesFrom70To335AndLabels) {
    EXPECT_EQ(block(script_, "layer new Yaricaplar set Yaricaplar ", 24),
              (Lines{"layer new Yaricaplar set Yaricaplar ",
                     "COLOR 1",
                     "LINE",
                     "70,55",
                     "335,55",
                     "",
                     "LINE",
                     "70,140",
                     "335,140",
                     "",
                     "LINE",
                     "70,240",
                     "335,240",
                     "",
                     "STYLE COMPLEX COMPLEX 3.5 1 0 N N N",
                     "TEXT",
                     "337,55",
                     " r/R = 0.075",
                     "TEXT",
                     "337,140",
                     " r/R = 0.500",
                     "TEXT",
                     "337,240",
                     " r/R = 1.000"}));
}

// Every PLINE is followed by point lines only, then the Enter, then PEDIT.
TEST_F(FormPlans, EveryPolylineEndsWithAnEnterBeforeItsPedit) {
    const std::regex point(R"(-?\d+,-?\d+(\.\d+)?)");
    int polylines = 0;
    for (std::size_t i = 0; i < script_.size(); ++i) {
        if (script_[i] != "PLINE") continue;
        ++polylines;
        std::size_t j = i + 1;
        while (j < script_.size() && std::regex_match(script_[j], point)) ++j;
        ASSERT_LT(j + 1, script_.size());
        EXPECT_GT(j, i + 1) << "polyline without points at line " << i + 1;
        EXPECT_EQ(script_[j], "") << "line " << j + 1;
        EXPECT_EQ(script_[j + 1].rfind("PEDIT", 0), 0u) << "line " << j + 2;
    }
    // Expanded 2 per radius + 2 edges + skew; projected 1 per radius + 2;
    // side 2 per radius + 2; top 2 per radius.
    EXPECT_EQ(polylines, 6 + 3 + 3 + 2 + 6 + 2 + 6);
}

TEST(RadiusLabel, ThreeDigitsOfTheRadiusRatio) {
    PanelData d;
    d.M = 4;
    d.r(1) = 0.3504;  // 350.4 -> 350
    d.r(2) = 0.0499;  // 49.9 -> 50, padded
    d.r(3) = 0.5;
    d.r(4) = 1.0;
    EXPECT_EQ(radius_label(d, 1), " r/R = 0.350");
    EXPECT_EQ(radius_label(d, 2), " r/R = 0.050");
    EXPECT_EQ(radius_label(d, 3), " r/R = 0.500");
    EXPECT_EQ(radius_label(d, 4), " r/R = 1.000");
}

}  // namespace
}  // namespace telvaro::testing
