// What the run shows when a numerical routine finds no solution: the
// routine's lines, a pause where it asks for one, then the stop.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "numeric/numeric_failure.h"
#include "run/run_driver.h"

namespace korvanti {
namespace {

std::string shown(const NumericFailure& failure, std::istringstream& keyboard) {
    std::ostringstream out;
    Console console(out, keyboard);
    EXPECT_THROW(stop_after_numeric_failure(failure, console), RunStop);
    return out.str();
}

TEST(NumericFailureStop, SingularMatrixPausesThenStops) {
    std::istringstream keyboard("\nnot read\n");
    EXPECT_EQ(shown(SingularMatrix(), keyboard), "Singular matrix.\nStop - Program terminated.\n");
    std::string rest;
    std::getline(keyboard, rest);
    EXPECT_EQ(rest, "not read");  // the pause took exactly one line
}

TEST(NumericFailureStop, CircleFailuresShowTheirLinesAndStop) {
    std::istringstream keyboard("\n");
    EXPECT_EQ(shown(CollinearPoints(), keyboard),
              "\n three point lie in a straight line\n these can not be create a circle\n"
              " no possible solution\nStop - Program terminated.\n");
    EXPECT_EQ(shown(ZeroPivot(2), keyboard),
              " problem at           2  .line - stop\nStop - Program terminated.\n");
    EXPECT_EQ(keyboard.peek(), '\n');  // neither waited for a line
}

}  // namespace
}  // namespace korvanti
