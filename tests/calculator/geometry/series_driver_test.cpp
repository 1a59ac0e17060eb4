// The series driver on B-series propellers: pitch, label, printed tables,
// hands, the nose-tail option; the range checks and the AU dialogue.
#include "geometry/series_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "geometry/task_file.h"
#include "support/test_support.h"

namespace korvanti {
namespace {

using testing::ScratchDir;

struct Task {
    int series = 1;
    std::string blades = "4 0.55";
    std::string hand = "1";
    std::string pitch = "1.0 2.0";
    std::string nose_tail = "0";
};

std::string task_text(const Task& t) {
    std::string text;
    for (int line = 1; line <= 68; ++line) {
        std::string content = " aciklama " + std::to_string(line);
        if (line == 40) content = std::to_string(t.series);
        if (line == 43) content = t.blades;
        if (line == 47) content = t.hand;
        if (line == 50) content = t.pitch;
        if (line == 57) content = t.nose_tail;
        if (line == 67) content = "1 11";
        text += content + "\n";
    }
    return text;
}

struct DriverRun {
    BladeModel model;
    std::string result;
    std::string console;
    std::string input_left;
    bool stopped = false;
    int task_line = 0;
};

void run_driver(const Task& t, DriverRun& run, const std::string& keyboard = "") {
    ScratchDir dir;
    std::filesystem::copy_file(testing::source_path("data/WAGBPROP.DAT"),
                               dir.path() / "WAGBPROP.DAT");
    std::istringstream task_stream(task_text(t));
    FreeFormatReader task(task_stream, "Korvanti.TSK");
    std::ostringstream result, out;
    std::istringstream in(keyboard);
    Console console(out, in);
    read_run_parameters(task, run.model);
    try {
        run_series_driver(run.model, task, result, console);
    } catch (const RunStop&) {
        run.stopped = true;
    }
    run.task_line = task.line_number();
    run.result = result.str();
    run.console = out.str();
    std::string rest;
    std::getline(in, rest, '\0');
    run.input_left = rest;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(SeriesDriver, B4_55PitchLabelAndModel) {
    DriverRun run;
    run_driver(Task{}, run);
    const BladeModel& m = run.model;
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ(run.task_line, 67);
    EXPECT_EQ(m.series_label, " WAGENINGEN B 4.550      ");
    EXPECT_EQ(m.series_label.size(), 25u);
    ASSERT_EQ(m.station_count, 9);
    ASSERT_EQ(m.point_count, 20);
    const float reduction[] = {0.822f, 0.887f, 0.95f, 0.992f, 1, 1, 1, 1, 1};
    for (int i = 1; i <= 9; ++i) {
        EXPECT_FLOAT_EQ(m.P(i), reduction[i - 1] * 2.0f) << i;
        EXPECT_EQ(m.c(i), m.xc(i, 20) - m.xc(i, 1)) << i;
    }
    EXPECT_EQ(m.section_report_mode, ReportMode::file_stations);
    EXPECT_EQ(m.section_report_radii, 11);
    EXPECT_EQ(run.console, "\n");
}

TEST(SeriesDriver, FiveBladesKeepTheNominalPitch) {
    DriverRun run;
    Task t;
    t.blades = "5 0.75";
    t.pitch = "0.8 3.0";
    run_driver(t, run);
    for (int i = 1; i <= run.model.station_count; ++i) EXPECT_FLOAT_EQ(run.model.P(i), 2.4f) << i;
    EXPECT_EQ(run.model.series_label, " WAGENINGEN B 5.750      ");
}

TEST(SeriesDriver, GeometryTableOfB4_55) {
    DriverRun run;
    run_driver(Task{}, run);
    auto lines = lines_of(run.result);
    ASSERT_GT(lines.size(), 14u);
    EXPECT_EQ(lines[0], "         WAGENINGEN B 4.550  PERVANE GEOMETRISI");
    EXPECT_EQ(lines[1], std::string(59, '='));
    EXPECT_EQ(lines[2], "  r/R     c/D     a/D     b/D    P/D  theta    iT/D    tm/D");
    // r/R 0.2: c/D = 1.662·0.55/4 = 0.228525, a/D = 0.617·c/D, b/D = 0.35·c/D,
    // P/D 0.822, theta = (0.117·c/r)·cos(atan(1.644/0.4π))·180/π = 9.3,
    // iT/D = tan 15°·0.1, tm/D = 0.0526 - 4·0.004.
    EXPECT_EQ(lines[3], "0.200  0.2285  0.1410  0.0800  0.822    9.3   0.027  0.0366");
    EXPECT_EQ(lines[4].substr(0, 36), "0.300  0.2588  0.1586  0.0906  0.887");
    EXPECT_EQ(lines[11].substr(0, 36), "1.000  0.0000  0.0000  0.0000  1.000");
    EXPECT_EQ(lines[11].substr(45), " 0.134  0.0030");
    EXPECT_EQ(lines[12], std::string(59, '='));
}

TEST(SeriesDriver, OffsetTableAndLegendOfTheBSeries) {
    DriverRun run;
    run_driver(Task{}, run);
    auto lines = lines_of(run.result);
    // 13 lines of geometry table, then the offset table.
    ASSERT_EQ(lines.size(), 13u + 5u + 80u + 20u);
    EXPECT_EQ(lines[13], "");
    EXPECT_EQ(lines[14], "                PERVANE OFSETI - SAG PERVANE");
    EXPECT_EQ(lines[15], std::string(90, '='));
    EXPECT_EQ(lines[16],
              "r/R 0.2000  0.3000  0.4000  0.5000  0.6000  0.7000  0.8000  0.9000  1.0000 ");
    EXPECT_EQ(lines[17], std::string(90, '='));
    for (int j = 0; j < 20; ++j) {
        const size_t k = 18 + static_cast<size_t>(4 * j);
        EXPECT_EQ(lines[k].substr(0, 3), "xc ");
        EXPECT_EQ(lines[k + 1].substr(0, 3), "yb ");
        EXPECT_EQ(lines[k + 2].substr(0, 3), "yf ");
        EXPECT_EQ(lines[k + 3], std::string(90, '-'));
        EXPECT_EQ(lines[k].size(), 3u + 9u * 8u);
    }
    // Max-thickness row of the root: face 0, back tm/D·D = 0.0732.
    EXPECT_EQ(lines[18 + 4 * 9 + 1].substr(0, 11), "yb  0.0732 ");
    EXPECT_EQ(lines[18 + 4 * 9 + 2].substr(0, 11), "yf  0.0000 ");
    const size_t legend = 18 + 80;
    EXPECT_EQ(lines[legend], "");
    EXPECT_EQ(lines[legend + 2], "");
    EXPECT_EQ(lines[legend + 3], " .......  ACIKLAMALAR ........");
    EXPECT_EQ(lines[legend + 9], " a     = r yaricapinda onder kenar ile doguray hatti");
    EXPECT_EQ(lines.back(), "    Not: Tum uzunluklar metre (m) cinsinden alimistir");
    EXPECT_EQ(lines.size(), legend + 20);
}

TEST(SeriesDriver, NoseTailOptionTurnsOrdinatesOnly) {
    DriverRun plain, turned;
    run_driver(Task{}, plain);
    Task t;
    t.nose_tail = "1";
    run_driver(t, turned);
    EXPECT_EQ(turned.model.nose_tail_option, 1);
    const BladeModel& a = plain.model;
    const BladeModel& b = turned.model;
    bool pitch_changed = false;
    for (int i = 1; i <= a.station_count; ++i) {
        EXPECT_EQ(a.c(i), b.c(i));
        for (int j = 1; j <= a.point_count; ++j) EXPECT_EQ(a.xc(i, j), b.xc(i, j));
        // The mean line starts at 0 at the trailing edge and, the nose-tail
        // line now being the chord, ends at 0 at the leading edge.
        EXPECT_NEAR((b.yb(i, 1) + b.yf(i, 1)) / 2, 0.0f, 1e-8f) << i;
        EXPECT_NEAR((b.yb(i, 20) + b.yf(i, 20)) / 2, 0.0f, 1e-6f) << i;
        // Thickness survives the turn up to cos alpha.
        EXPECT_NEAR(b.yb(i, 10) - b.yf(i, 10), a.yb(i, 10) - a.yf(i, 10), 2e-5f) << i;
        if (std::fabs(a.P(i) - b.P(i)) > 1e-3f) pitch_changed = true;
    }
    EXPECT_TRUE(pitch_changed);
    // Root: the mean line rises from the trailing edge to the leading edge by
    // (mN - m1); the pitch grows by the angle of that rise.
    const float m1 = (a.yb(1, 1) + a.yf(1, 1)) / 2, mN = (a.yb(1, 20) + a.yf(1, 20)) / 2;
    const double alpha = std::atan2(double(mN - m1), double(a.c(1)));
    const double two_pi_r = 2 * M_PI * a.r(1);
    const double phi = std::atan2(double(a.P(1)), two_pi_r);
    EXPECT_NEAR(b.P(1), two_pi_r * std::tan(phi + alpha), 1e-5);
}

TEST(SeriesDriver, WideTableGoesOnWithoutItsLabel) {
    BladeModel m;
    m.series = Series::wageningen_ka;
    m.diameter = 2.0f;
    m.handedness = 1.0f;
    m.station_count = 22;
    m.point_count = 1;
    for (int i = 1; i <= 22; ++i) {
        m.r(i) = 0.05f * static_cast<float>(i - 1);
        m.xc(i, 1) = 0.5f;
    }
    std::ostringstream out;
    write_offset_table(m, out);
    auto lines = lines_of(out.str());
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[1], "                PERVANE OFSETI - SAG PERVANE");
    EXPECT_EQ(lines[2], std::string(74, '='));
    EXPECT_EQ(lines[3].substr(0, 19), "r/R 0.0000  0.0500 ");
    EXPECT_EQ(lines[3].size(), 3u + 20u * 8u);
    EXPECT_EQ(lines[4], " 1.0000  1.0500 ");
    EXPECT_EQ(lines[5], std::string(74, '='));
    EXPECT_EQ(lines[6].size(), 3u + 20u * 8u);
    EXPECT_EQ(lines[7], " 0.5000  0.5000 ");
    EXPECT_EQ(lines[9], " 0.0000  0.0000 ");
    EXPECT_EQ(lines[12], std::string(74, '-'));
}

// --- range checks and the AU dialogue --------------------------------------

const char* const stop_tail =
    "Pause - Please enter a blank line (to continue) or a DOS command.\n"
    "Stop - Program terminated.\n";

void expect_range_stop(const Task& t, const std::string& message) {
    DriverRun run;
    run_driver(t, run, "\n");
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(run.console, "\n\n\n" + message + stop_tail);
    EXPECT_EQ(run.result, "");
    EXPECT_EQ(run.task_line, 50);
}

TEST(SeriesDriverRange, NewtonRaderAreaBeforePitch) {
    const std::string area =
        " NEWTON-RADER SERISI PERVANELERIN ACINIM ALANLARI\n"
        " Ear=0.48, 0.71, 0.95 DIR. \n"
        " Ear DEGERINI SINIRLAR DAHILINDE GIRINIZ - STOP\n";
    const std::string pitch =
        " NEWTON-RADER SERISI PERVANELERIN PIC IRANLARI\n"
        "  Ear      Yuz pici orani -  P/D \n"
        " 0.48     1.05  1.26  1.67  2.08 \n"
        " 0.71     1.05  1.25  1.66  2.06 \n"
        " 0.95     1.04  1.24  1.65  2.04 \n"
        "\n"
        " P/D DEGERINI SINIRLAR DAHILINDE GIRINIZ - STOP\n";
    Task t;
    t.series = 6;
    t.blades = "3 0.71";
    t.pitch = "2.1 2.0";
    expect_range_stop(t, pitch);
    t.pitch = "1.0 2.0";
    expect_range_stop(t, pitch);
    t.blades = "3 0.96";
    t.pitch = "2.1 2.0";
    expect_range_stop(t, area);
    t.blades = "3 0.47";
    expect_range_stop(t, area);
}

TEST(SeriesDriverRange, LimitsThemselvesPassTheChecks) {
    // Ear 0.5 and 1.1 of series 4 pass the check: whatever the series routine
    // then does, the range message is not shown.
    for (const char* blades : {"4 0.5", "4 1.1"}) {
        Task t;
        t.series = 4;
        t.blades = blades;
        DriverRun run;
        try {
            run_driver(t, run, "\n");
        } catch (const InputError&) {
        }
        EXPECT_EQ(run.console.find("ACINIM ALANI ORANLARI"), std::string::npos) << blades;
    }
}

TEST(SeriesDriverAU, QuestionWaitsForANonBlankAnswer) {
    Task t;
    t.series = 7;
    DriverRun run;
    try {
        run_driver(t, run, "\n   \nE\nnext line\n");
    } catch (const InputError&) {
    }
    EXPECT_EQ(run.console.substr(0, 3), "\n\n\n");
    EXPECT_NE(run.console.find("\n        AU(MAU) SERISI PERVANELERIN OZELLIKLERI\n"
                               " Z   :      4             5            6            7\n"),
              std::string::npos)
        << run.console;
    EXPECT_NE(run.console.find("\n       Mevcut Pervane Degerleri\n"
                               "      Z = 4; P/D =1.00; Ear =0.550      "
                               "Mevcut Pervane Degerlerini Onayliyor musun? (E/H)\n"),
              std::string::npos)
        << run.console;
    // The two blank lines and the answer "E" were read, nothing more.
    EXPECT_EQ(run.input_left, "next line\n");
    EXPECT_EQ(run.model.series_label, " AU(MAU) 4.550           ");
}

}  // namespace
}  // namespace korvanti
