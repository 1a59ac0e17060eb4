// Option 2: the panel mesh as 3DFACE entities, copies turned about the shaft
// axis by (b - 1)·2π/Z with π = 3.1415927.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "drawing_fixture.h"
#include "support/test_support.h"

namespace telvaro::testing {
namespace {

using korvanti::testing::ScratchDir;
using Lines = std::vector<std::string>;

const Lines kOpening = {"COLOR 1", "Zoom A"};
const Lines kClosing = {"Zoom E", "VPOINT -1,-1,1", "HIDE"};

DrawingRun panel_view(const std::vector<std::string>& answers,
                      const PervdatFixture& f = small_propeller()) {
    ScratchDir dir;
    return run_with_answers(dir.path(), pervdat_text(f), answers);
}

TEST(PanelView, ZeroChoosesTheThreeDimensionalView) {
    const DrawingRun run = panel_view({"0", "1", "H"});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.printed[0], "CIZIM SECENEGINI GIRIN");
    EXPECT_EQ(run.printed[1], "<1> PERVANE FORM PLANLARI");
    EXPECT_EQ(run.printed[2], "<2> 3D GORUNUM");
    EXPECT_EQ(run.printed[3], "<1> KANAT PANELLEMESI");
    EXPECT_EQ(run.printed[4], "<2> GOBEK PANELLEMESI");
    EXPECT_EQ(run.printed[5], "<3> KANAT ve GOBEK PANELLEMESI");
    ASSERT_EQ(run.questions.size(), 3u);
    EXPECT_EQ(run.questions[1].prompt, "ÇİZİM SEÇENEĞİ GİRİŞİ");
    EXPECT_EQ(run.questions[1].default_text, "3");
    EXPECT_EQ(run.questions[2].prompt, "DİĞER KANATLARI ÇİZMEK İSTER MİSİNİZ (E/H) <E>");
    EXPECT_EQ(run.questions[2].default_text, "E");
    for (const auto& q : run.questions) EXPECT_EQ(q.title, " ");
    EXPECT_EQ(std::count(run.script.begin(), run.script.end(), "ltscale 10"), 0)
        << "no preamble in 3D";
}

TEST(PanelView, BladePanelsOnceAsRead) {
    const DrawingRun run = panel_view({"2", "1", "H"});
    ASSERT_EQ(run.status, 0);
    // Panels 2 (vertices 2 1 5 6) and 3 (1 5 6 6), unchanged.
    EXPECT_EQ(run.script,
              (Lines{"COLOR 1", "Zoom A", "3DFACE", "-0.1,0,0.5", "0.1,0,0.5", "0.05,-0.2,1",
                     "-0.05,0.2,1", "", "3DFACE", "0.1,0,0.5", "0.05,-0.2,1", "-0.05,0.2,1",
                     "-0.05,0.2,1", "", "Zoom E", "VPOINT -1,-1,1", "HIDE"}));
}

TEST(PanelView, PanelRangesOfTheChoices) {
    EXPECT_EQ(faces(panel_view({"2", "2", "H"}).script).size(), 1u);  // hub
    EXPECT_EQ(faces(panel_view({"2", "3", "H"}).script).size(), 3u);
    EXPECT_EQ(faces(panel_view({"2", "4", "H"}).script).size(), 3u);
    EXPECT_EQ(faces(panel_view({"2", "5", "h"}).script).size(), 3u);
    EXPECT_EQ(faces(panel_view({"2", "0", ""}).script).size(), 3u);  // 0 counts as 4, empty as no
    const DrawingRun repeated = panel_view({"2", "6", "-1", "2.5", "1", "H"});
    EXPECT_EQ(repeated.questions.size(), 6u);
    EXPECT_EQ(faces(repeated.script).size(), 2u);
}

TEST(PanelView, HubOnlyMeshHasNoBladeFacesButTheFixedLines) {
    PervdatFixture f = small_propeller();
    f.NH1 = 3;
    const DrawingRun run = panel_view({"2", "1", "E"}, f);
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.script, (Lines{"COLOR 1", "Zoom A", "Zoom E", "VPOINT -1,-1,1", "HIDE"}));
}

TEST(PanelView, OtherBladesWriteZCopiesPanelByPanel) {
    for (const std::string yes : {"E", "e", "0", " E "}) {
        const DrawingRun run = panel_view({"2", "1", yes});
        ASSERT_EQ(run.status, 0);
        EXPECT_EQ(Lines(run.script.begin(), run.script.begin() + 2), kOpening);
        EXPECT_EQ(Lines(run.script.end() - 3, run.script.end()), kClosing);
        const auto f = faces(run.script);
        ASSERT_EQ(f.size(), 8u) << yes;
        // X does not change under the turn: panel 2 starts at vertex 2 (X -0.1),
        // panel 3 at vertex 1 (X 0.1).
        for (int i = 0; i < 8; ++i) EXPECT_DOUBLE_EQ(f[i].corners[0][0], i < 4 ? -0.1 : 0.1) << i;
    }
}

TEST(PanelView, EveryCopyIsTheFirstTurnedAboutTheShaft) {
    const PervdatFixture fixture = small_propeller();
    const auto f = faces(panel_view({"2", "3", "E"}).script);
    ASSERT_EQ(f.size(), 12u);
    const double pi = 3.1415927;
    for (int p = 0; p < 3; ++p) {
        for (int c = 0; c < 4; ++c) {
            const Point3 v = fixture.vertices[fixture.panels[p][c] - 1];
            // The first copy is the mesh as read.
            EXPECT_DOUBLE_EQ(f[4 * p].corners[c][0], v.x);
            EXPECT_DOUBLE_EQ(f[4 * p].corners[c][1], v.y);
            EXPECT_DOUBLE_EQ(f[4 * p].corners[c][2], v.z);
            for (int b = 2; b <= 4; ++b) {
                const auto& turned = f[4 * p + b - 1].corners[c];
                const double phi = (b - 1) * 2 * pi / 4;
                EXPECT_DOUBLE_EQ(turned[0], v.x);
                EXPECT_NEAR(turned[1], v.y * std::cos(phi) - v.z * std::sin(phi), 1e-13);
                EXPECT_NEAR(turned[2], v.y * std::sin(phi) + v.z * std::cos(phi), 1e-13);
                EXPECT_NEAR(std::hypot(turned[1], turned[2]), std::hypot(v.y, v.z), 1e-12);
            }
        }
    }
}

// Vertex 1 is (0.1, 0, 0.5); on a three-bladed propeller its copies lie at
// (0.1, -0.5·sin φ, 0.5·cos φ) for φ = 2π/3 and 4π/3.
TEST(PanelView, VertexOnTheZAxisTurnsToMinusRSinPhiRCosPhi) {
    PervdatFixture fixture = small_propeller();
    fixture.Z = 3;
    const auto f = faces(panel_view({"2", "2", "E"}, fixture).script);
    ASSERT_EQ(f.size(), 3u);
    const double pi = 3.1415927;
    for (int b = 1; b <= 3; ++b) {
        const double phi = (b - 1) * 2 * pi / 3;
        EXPECT_DOUBLE_EQ(f[b - 1].corners[0][0], 0.1);
        EXPECT_NEAR(f[b - 1].corners[0][1], -0.5 * std::sin(phi), 1e-14);
        EXPECT_NEAR(f[b - 1].corners[0][2], 0.5 * std::cos(phi), 1e-14);
    }
    EXPECT_NEAR(f[1].corners[0][1], -0.4330127, 1e-7);
    EXPECT_NEAR(f[1].corners[0][2], -0.25, 1e-7);
}

}  // namespace
}  // namespace telvaro::testing
