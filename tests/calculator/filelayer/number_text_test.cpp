#include "filelayer/number_text.h"

#include <gtest/gtest.h>

namespace korvanti {
namespace {

TEST(IntegerToText, DigitsWithoutBlanks) {
    EXPECT_EQ(integer_to_text(5), "5");
    EXPECT_EQ(integer_to_text(-12), "-12");
    EXPECT_EQ(integer_to_text(0), "0");
    EXPECT_EQ(integer_to_text(1234567), "1234567");
    EXPECT_EQ(integer_to_text(12345678), "*******");  // I7 overflows
}

TEST(RealToText, F10_6AndTheWidening) {
    int digits = 3;
    EXPECT_EQ(real_to_text(1.0f, digits, 6), "1.000000");
    EXPECT_EQ(real_to_text(0.0f, digits, 6), "0.000000");
    EXPECT_EQ(real_to_text(-0.5f, digits, 6), "-0.500000");
    EXPECT_EQ(digits, 3);
    EXPECT_EQ(real_to_text(1234.5f, digits, 6), "1234.500000");
    EXPECT_EQ(digits, 4);  // the caller sees the widened count
    int two = 2;
    EXPECT_EQ(real_to_text(123.25f, two, 2), "123.25");
    EXPECT_EQ(two, 3);
}

TEST(RealToText, NegativeValuesAreNotWidened) {
    int digits = 3;
    EXPECT_EQ(real_to_text(-100.0f, digits, 6), "**********");
    EXPECT_EQ(real_to_text(-99.5f, digits, 6), "-99.500000");
}

}  // namespace
}  // namespace korvanti
