// Korvanti.TSK as korvanti-openwater reads it (the value lines, list-directed,
// errors naming the line) and writes it (the layout of the shipped examples).
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "openwater/task_file.h"
#include "support/test_support.h"

namespace korvanti::openwater {
namespace {

using korvanti::testing::read_file;
using korvanti::testing::source_path;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string with_line(const std::string& example, int number, const std::string& line) {
    std::vector<std::string> lines = lines_of(read_file(source_path("examples/" + example)));
    lines.at(static_cast<size_t>(number - 1)) = line;
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    return text;
}

std::string error_of(const std::string& text) {
    try {
        parse_task_file(text);
    } catch (const TaskFileError& e) {
        return e.what();
    }
    return "no error";
}

TEST(TaskFileReading, TheShippedExamples) {
    const TaskValues b = parse_task_file(read_file(source_path("examples/B4-55.TSK")));
    EXPECT_EQ(b.series, 1);
    EXPECT_EQ(b.blades, 4);
    EXPECT_DOUBLE_EQ(b.area_ratio, 0.55);
    EXPECT_DOUBLE_EQ(b.pitch_ratio, 1.0);
    EXPECT_DOUBLE_EQ(b.diameter, 2.0);
    const TaskValues ka = parse_task_file(read_file(source_path("examples/Ka4-70.TSK")));
    EXPECT_EQ(ka.series, 2);
    EXPECT_DOUBLE_EQ(ka.area_ratio, 0.70);
    // As the calculator reads it: commas, a D exponent, a record going on
    // to the next line.
    const TaskValues commas = parse_task_file(with_line("B4-55.TSK", 50, "0.9D0, 2.5"));
    EXPECT_DOUBLE_EQ(commas.pitch_ratio, 0.9);
    EXPECT_DOUBLE_EQ(commas.diameter, 2.5);
}

TEST(TaskFileReading, ErrorsNameTheLine) {
    EXPECT_EQ(error_of(with_line("B4-55.TSK", 43, "4   abc")),
              "Korvanti.TSK line 43: the expanded area ratio Ear expected (a number), read 'abc'");
    EXPECT_EQ(error_of(with_line("B4-55.TSK", 43, "4.5   0.55")),
              "Korvanti.TSK line 43: the blade count Z expected (a whole number), read '4.5'");
    EXPECT_EQ(error_of(with_line("B4-55.TSK", 40, "9")),
              "Korvanti.TSK line 40: the series number must be from 1 to 7, read 9");
    EXPECT_EQ(error_of(with_line("B4-55.TSK", 50, "1.0   -2")),
              "Korvanti.TSK line 50: the diameter D must be above zero");
    EXPECT_EQ(error_of(with_line("B4-55.TSK", 50, "0   2")),
              "Korvanti.TSK line 50: the pitch ratio P/D must be above zero");
    EXPECT_EQ(error_of(with_line("B4-55.TSK", 43, "0   0.55")),
              "Korvanti.TSK line 43: the blade count Z must be from 1 to 20, read 0");
    EXPECT_EQ(error_of("short\nfile\n"),
              "Korvanti.TSK: the file ends at line 2, before its value lines");
    std::string cut = read_file(source_path("examples/B4-55.TSK"));
    cut = cut.substr(0, cut.find("1.0   2.0"));
    EXPECT_EQ(error_of(cut), "Korvanti.TSK line 49: the pitch ratio P/D expected, the file ends");
}

// Written whole in the layout of the examples: only the value lines and the
// description line differ, and the file reads back to its values.
TEST(TaskFileWriting, TheLayoutOfTheExamples) {
    TaskText t;
    t.series = 1;
    t.blades = 5;
    t.area_ratio = "0.6123";
    t.pitch_ratio = "0.9876";
    t.diameter = "3.2100";
    t.description = " ACIK SU SECIMI (korvanti-openwater): T=250 kN";
    const std::vector<std::string> written = lines_of(task_file_text(t));
    const std::vector<std::string> example = lines_of(read_file(source_path("examples/B4-55.TSK")));
    ASSERT_EQ(written.size(), example.size());
    for (size_t i = 0; i < written.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        if (number == 34 || number == 43 || number == 50) continue;
        EXPECT_EQ(written[i], example[i]) << "line " << number;
    }
    EXPECT_EQ(written[33], t.description);
    EXPECT_EQ(written[42], "5   0.6123");
    EXPECT_EQ(written[49], "0.9876   3.2100");
    const TaskValues back = parse_task_file(task_file_text(t));
    EXPECT_EQ(back.blades, 5);
    EXPECT_DOUBLE_EQ(back.area_ratio, 0.6123);
    EXPECT_DOUBLE_EQ(back.pitch_ratio, 0.9876);
    EXPECT_DOUBLE_EQ(back.diameter, 3.21);
}

}  // namespace
}  // namespace korvanti::openwater
