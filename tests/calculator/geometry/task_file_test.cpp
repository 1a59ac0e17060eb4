#include "geometry/task_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "filelayer/errors.h"

namespace korvanti {
namespace {

// A task file of `count` lines numbered in their text, with the given value lines.
std::string task_text(const std::vector<std::pair<int, std::string>>& values, int count = 70) {
    std::string text;
    for (int line = 1; line <= count; ++line) {
        std::string content = "aciklama satiri " + std::to_string(line);
        for (const auto& [number, value] : values)
            if (number == line) content = value;
        text += content + "\n";
    }
    return text;
}

const std::vector<std::pair<int, std::string>> b4_55 = {
    {40, "1"}, {43, "4 0.55"}, {47, "1"}, {50, "1.0 2.0"}, {57, "0"}, {67, "2 11"}};

TEST(TaskFile, ReadsTheValueLines) {
    std::istringstream in(task_text(b4_55));
    FreeFormatReader task(in, "Korvanti.TSK");
    BladeModel model;
    read_run_parameters(task, model);
    EXPECT_EQ(task.line_number(), 50);
    read_report_parameters(task, model);
    EXPECT_EQ(task.line_number(), 67);
    EXPECT_EQ(model.series, Series::wageningen_b);
    EXPECT_EQ(model.blade_count, 4);
    EXPECT_EQ(model.area_ratio, 0.55f);
    EXPECT_EQ(model.handedness, 1.0f);
    EXPECT_FALSE(model.left_hand());
    EXPECT_EQ(model.pitch_ratio, 1.0f);
    EXPECT_EQ(model.diameter, 2.0f);
    EXPECT_EQ(model.nose_tail_option, 0);
    EXPECT_EQ(model.section_report_mode, ReportMode::equally_spaced);
    EXPECT_EQ(model.section_report_radii, 11);
}

TEST(TaskFile, LineWithOnlyTheBladeCountShiftsTheLaterReads) {
    // Ear is taken from line 44; handedness then from line 48, P/D and D from 51.
    std::istringstream in(task_text(
        {{40, "1"}, {43, "4"}, {44, "0.6"}, {47, "9 9"}, {48, "0"}, {50, "9 9"}, {51, "1.2 3.0"}}));
    FreeFormatReader task(in, "Korvanti.TSK");
    BladeModel model;
    read_run_parameters(task, model);
    EXPECT_EQ(model.area_ratio, 0.6f);
    EXPECT_EQ(model.handedness, 0.0f);
    EXPECT_TRUE(model.left_hand());
    EXPECT_EQ(model.pitch_ratio, 1.2f);
    EXPECT_EQ(model.diameter, 3.0f);
    EXPECT_EQ(task.line_number(), 51);
}

TEST(TaskFile, ExtraValuesAndHalfHandedness) {
    std::istringstream in(
        task_text({{40, "1"}, {43, "4 0.55"}, {47, "0.5"}, {50, "1.0 2.0 ! cap metre"}}));
    FreeFormatReader task(in, "Korvanti.TSK");
    BladeModel model;
    read_run_parameters(task, model);
    EXPECT_FALSE(model.left_hand());
    EXPECT_EQ(model.diameter, 2.0f);
}

struct BadTask {
    std::vector<std::pair<int, std::string>> lines;
    bool fails_in_report_lines;
    std::string message;
};

class TaskFileRejects : public ::testing::TestWithParam<BadTask> {};

TEST_P(TaskFileRejects, WithAMessageNamingTheLine) {
    std::istringstream in(task_text(GetParam().lines));
    FreeFormatReader task(in, "Korvanti.TSK");
    BladeModel model;
    try {
        read_run_parameters(task, model);
        ASSERT_TRUE(GetParam().fails_in_report_lines) << "accepted lines 40-50";
        read_report_parameters(task, model);
        FAIL() << "accepted";
    } catch (const InputError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
}

std::vector<std::pair<int, std::string>> with(int line, const std::string& value) {
    auto lines = b4_55;
    for (auto& [n, v] : lines)
        if (n == line) v = value;
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TaskFileRejects,
    ::testing::Values(
        BadTask{with(40, "0"), false, "satir 40: seri numarasi 1 ile 7"},
        BadTask{with(40, "8"), false, "satir 40"}, BadTask{with(40, "B"), false, "satir 40"},
        BadTask{with(43, "0 0.55"), false, "satir 43: kanat sayisi"},
        BadTask{with(43, "21 0.55"), false, "satir 43: kanat sayisi Z en cok 20"},
        BadTask{with(43, "2147483647 0.55"), false, "satir 43: kanat sayisi Z en cok"},
        BadTask{with(43, "4 inf"), false, "satir 43: sonlu bir sayi"},
        BadTask{with(43, "4 nan"), false, "satir 43: sonlu bir sayi"},
        BadTask{with(47, "nan"), false, "satir 47: sonlu bir sayi"},
        BadTask{with(50, "inf 2.0"), false, "satir 50: sonlu bir sayi"},
        BadTask{with(50, "1.0 Infinity"), false, "satir 50: sonlu bir sayi"},
        BadTask{with(50, "1.0 -nan"), false, "satir 50: sonlu bir sayi"},
        BadTask{with(43, "4 0"), false, "satir 43: acinim"},
        BadTask{with(43, "4 -0.5"), false, "satir 43"},
        BadTask{with(50, "0 2.0"), false, "satir 50: hatve"},
        BadTask{with(50, "1.0 -2"), false, "satir 50: pervane capi"},
        BadTask{with(50, "1.0 0"), false, "satir 50"}, BadTask{with(57, "x"), true, "satir 57"},
        BadTask{with(67, "3 11"), true, "satir 67: kesit raporu modu"},
        BadTask{with(67, "2 2"), true, "satir 67: mod 2"},
        BadTask{with(67, "2 23"), true, "satir 67"}));

TEST(TaskFile, TwentyBladesAreTheMost) {
    std::istringstream in(task_text(with(43, "20 0.55")));
    FreeFormatReader task(in, "Korvanti.TSK");
    BladeModel model;
    EXPECT_NO_THROW(read_run_parameters(task, model));
    EXPECT_EQ(model.blade_count, 20);
}

TEST(TaskFile, AnInfiniteHandednessIsRefusedThoughItLiesBelowTheHalf) {
    std::istringstream in(task_text(with(47, "-inf")));
    FreeFormatReader task(in, "Korvanti.TSK");
    BladeModel model;
    EXPECT_THROW(read_run_parameters(task, model), InputError);
}

TEST(TaskFile, ModeOneIgnoresTheRadiusCount) {
    std::istringstream in(task_text(with(67, "1 0")));
    FreeFormatReader task(in, "Korvanti.TSK");
    BladeModel model;
    read_run_parameters(task, model);
    EXPECT_NO_THROW(read_report_parameters(task, model));
}

TEST(TaskFile, ShortFileIsAnInputError) {
    std::istringstream in(task_text(b4_55, 45));
    FreeFormatReader task(in, "Korvanti.TSK");
    BladeModel model;
    EXPECT_THROW(read_run_parameters(task, model), InputError);
}

}  // namespace
}  // namespace korvanti
