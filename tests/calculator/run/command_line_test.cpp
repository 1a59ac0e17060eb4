// Korvanti's option parser and the task file it writes, in process. The real
// program with its options, and every bad option, are run in tests/e2e.
#include "run/command_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "filelayer/errors.h"
#include "filelayer/freeformat.h"
#include "geometry/task_file.h"
#include "model/blade_model.h"

namespace korvanti {
namespace {

std::string usage_error_of(const std::vector<std::string>& arguments) {
    try {
        parse_calculator_command(arguments);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "";
}

// The written task file read back by the task file's own reader.
BladeModel read_back(const TaskValues& values) {
    std::istringstream text(task_file_text(values));
    FreeFormatReader task(text, "Korvanti.TSK");
    BladeModel model;
    read_run_parameters(task, model);
    read_report_parameters(task, model);
    return model;
}

TEST(CommandLineParser, ValuesReadBackExactlyAsGiven) {
    const CalculatorCommand command = parse_calculator_command(
        {"--series", "kc101", "--area-ratio=0.725", "--pitch-ratio", "1.5D-1", "--diameter",
         "+2.75", "--hand=left", "--nose-tail", "--report-radii=22", "--no-pause", "-C", "out"});
    ASSERT_TRUE(command.task.has_value());
    EXPECT_EQ(command.action, CalculatorCommand::Action::run);
    EXPECT_TRUE(command.no_pause);
    EXPECT_EQ(command.directory, "out");
    const BladeModel model = read_back(*command.task);
    EXPECT_EQ(model.series, Series::kc101_gawn);
    EXPECT_EQ(model.blade_count, 3);  // left out for a three-bladed series
    EXPECT_EQ(model.area_ratio, 0.725f);
    EXPECT_EQ(model.pitch_ratio, 0.15f);  // the Fortran D exponent, as in the file
    EXPECT_EQ(model.diameter, 2.75f);
    EXPECT_TRUE(model.left_hand());
    EXPECT_EQ(model.nose_tail_option, 1);
    EXPECT_EQ(model.section_report_mode, ReportMode::equally_spaced);
    EXPECT_EQ(model.section_report_radii, 22);
}

TEST(CommandLineParser, DefaultsAndTheLastOfRepeatedOptions) {
    const CalculatorCommand command =
        parse_calculator_command({"--series=2", "--series=B", "--blades=5", "--blades=6",
                                  "--area-ratio=0.8", "--pitch-ratio=1", "--diameter=3"});
    ASSERT_TRUE(command.task.has_value());
    EXPECT_FALSE(command.no_pause);
    const BladeModel model = read_back(*command.task);
    EXPECT_EQ(model.series, Series::wageningen_b);
    EXPECT_EQ(model.blade_count, 6);
    EXPECT_FALSE(model.left_hand());
    EXPECT_EQ(model.nose_tail_option, 0);
    EXPECT_EQ(model.section_report_mode, ReportMode::file_stations);

    // Without run values no task file is written; -C and --no-pause alone.
    const CalculatorCommand plain = parse_calculator_command({"--no-pause", "--directory=d"});
    EXPECT_FALSE(plain.task.has_value());
    EXPECT_TRUE(plain.no_pause);
    EXPECT_EQ(plain.directory, "d");
}

TEST(CommandLineParser, HelpAndVersionEndTheReading) {
    EXPECT_EQ(parse_calculator_command({"--help", "--bogus"}).action,
              CalculatorCommand::Action::help);
    EXPECT_EQ(parse_calculator_command({"-h"}).action, CalculatorCommand::Action::help);
    EXPECT_EQ(parse_calculator_command({"--vers"}).action, CalculatorCommand::Action::version);
    // An option before them is still read.
    EXPECT_NE(usage_error_of({"--bogus", "--help"}), "");
}

// "--" ends the options: what follows is an argument, which Korvanti does not take.
TEST(CommandLineParser, ArgumentsAfterTheEndOfOptionsAreRejected) {
    EXPECT_EQ(usage_error_of({"--", "--series=B"}),
              " HATA: beklenmeyen arguman '--series=B': Korvanti yalnizca secenek alir; "
              "secenekler: Korvanti --help");
    EXPECT_EQ(usage_error_of({"-C"}), " HATA: -C (--directory) secenegi bir deger bekliyor");
}

// The option messages are the task file's, for the same values.
TEST(CommandLineParser, ValueMessagesAreThoseOfTheTaskFile) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--blades=21"}, blades_and_area_problem(21, 1.0f)},
        {{"--area-ratio=-1"}, blades_and_area_problem(1, -1.0f)},
        {{"--pitch-ratio=0"}, pitch_and_diameter_problem(0.0f, 1.0f)},
        {{"--diameter=-inf"}, pitch_and_diameter_problem(1.0f, -INFINITY)},
        {{"--report-radii=1"}, report_mode_problem(2, 1)},
        {{"--series=0"}, series_number_problem(0)},
    };
    for (const auto& [arguments, problem] : cases) {
        ASSERT_FALSE(problem.empty()) << arguments[0];
        const std::string option = arguments[0].substr(0, arguments[0].find('='));
        EXPECT_EQ(usage_error_of(arguments), " HATA: " + option + " secenegi: " + problem);
    }
}

}  // namespace
}  // namespace korvanti
