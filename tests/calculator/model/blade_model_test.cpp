// The series numbers of the task file and what they decide.
#include "model/blade_model.h"

#include <gtest/gtest.h>

namespace korvanti {
namespace {

// The offsets file adds a root station for the Wageningen series 1 to 3
// only; the series 4 to 6 are three-bladed; AU is neither.
TEST(Series, RootStationAndThreeBladesFollowTheSeriesNumber) {
    for (int number = 1; number <= 7; ++number) {
        const Series series = static_cast<Series>(number);
        EXPECT_EQ(has_root_station(series), number <= 3) << number;
        EXPECT_EQ(is_three_bladed(series), number >= 4 && number <= 6) << number;
    }
    EXPECT_EQ(static_cast<int>(Series::au), 7);
    EXPECT_EQ(static_cast<int>(ReportMode::equally_spaced), 2);
}

}  // namespace
}  // namespace korvanti
