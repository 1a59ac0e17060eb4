// The command line read in process: the numbers as the task file's reader
// takes them, the blade range, and the water whatever the order of its
// options.
#include <gtest/gtest.h>

#include "openwater/options.h"

namespace korvanti::openwater {
namespace {

TEST(OpenWaterOptions, NumbersRangesAndWater) {
    const Options o = parse_options({"--thrust", "2.5D2", "--speed=6", "--rpm", "+150", "--blades",
                                     "3-6", "--immersion", "3", "--viscosity", "1e-6", "--water",
                                     "fresh", "--choose", "5"});
    EXPECT_TRUE(o.selection());
    EXPECT_DOUBLE_EQ(*o.thrust, 250);
    EXPECT_DOUBLE_EQ(*o.rpm, 150);
    EXPECT_EQ(*o.blades_low, 3);
    EXPECT_EQ(*o.blades_high, 6);
    EXPECT_EQ(*o.choose, 5);
    EXPECT_DOUBLE_EQ(o.water.density, 999.1);
    EXPECT_DOUBLE_EQ(o.water.viscosity, 1e-6);  // given before --water, still holds
    EXPECT_EQ(series_from_text("ka"), 2);
    EXPECT_EQ(series_from_text("7"), 7);
    EXPECT_FALSE(series_from_text("8"));
    EXPECT_THROW(parse_options({"--thrust", "1", "--speed", "6", "--rpm", "100", "--blades", "4",
                                "--area-ratio", "0.5", "--choose", "5"}),
                 UsageError);
    EXPECT_THROW(parse_options({"--speed", "1e999", "--rpm", "1"}), UsageError);
    EXPECT_THROW(parse_options({"--rpm", "nan", "--speed", "1"}), UsageError);
}

}  // namespace
}  // namespace korvanti::openwater
