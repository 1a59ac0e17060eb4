#include "common/list_input.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace korvanti {
namespace {

// The items of one record of `count` items (fewer at the end of the input).
std::vector<std::string> record(ListInput& input, int count) {
    input.begin_record();
    std::vector<std::string> items;
    for (int k = 0; k < count; ++k)
        if (const auto item = input.next_item()) items.emplace_back(*item);
    return items;
}

using Items = std::vector<std::string>;

TEST(ListInput, RecordsStartOnAFreshLineGoOnAndDropTheirSurplus) {
    std::istringstream text("1 2,3\t4 surplus\r\n5,,6\n\n7\ntitle line\n8 9\n");
    ListInput input(text);
    EXPECT_EQ(record(input, 4), (Items{"1", "2", "3", "4"}));
    EXPECT_EQ(record(input, 3), (Items{"5", "6", "7"}));  // an empty line between
    EXPECT_EQ(input.line_number(), 4);
    EXPECT_EQ(input.whole_line(), "title line");
    EXPECT_EQ(record(input, 1), (Items{"8"}));
    EXPECT_EQ(record(input, 1), Items{});  // the end of the input
    EXPECT_FALSE(input.whole_line());
    EXPECT_EQ(input.line_number(), 6);
}

TEST(ListInput, ASlashEndsARecordOnlyWhereTheReaderAsksForIt) {
    std::istringstream with("1 2.5/ 3\n4\n");
    ListInput ending(with, true);
    EXPECT_EQ(record(ending, 3), (Items{"1", "2.5", "/"}));
    EXPECT_EQ(record(ending, 1), (Items{"4"}));

    std::istringstream without("1 2.5/ 3\n");
    ListInput plain(without);
    EXPECT_EQ(record(plain, 3), (Items{"1", "2.5/", "3"}));
}

TEST(ListInput, RealsWithAFortranDExponent) {
    double value = 0;
    EXPECT_TRUE(read_real_with_d_exponent("1.25D+02", value));
    EXPECT_EQ(value, 125.0);
    EXPECT_TRUE(read_real_with_d_exponent("+2.5d-1", value));
    EXPECT_EQ(value, 0.25);
    EXPECT_TRUE(read_real_with_d_exponent("-3", value));
    EXPECT_EQ(value, -3.0);
    for (const char* bad : {"+", "1.5x", "--1", "", "1.0/"})
        EXPECT_FALSE(read_real_with_d_exponent(bad, value)) << bad;
}

}  // namespace
}  // namespace korvanti
