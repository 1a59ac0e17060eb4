// decimal_text against printf: the numbers of the script are printf's "%.*f"
// with the decimals for the significant digits asked, trailing zeros cut;
// shortest_text reads back as the value it was given.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "script.h"

namespace telvaro {
namespace {

// The same text worked out with snprintf.
std::string printf_decimal_text(double value, int significant) {
    if (!std::isfinite(value) || value == 0) return "0";
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::clamp(significant - 1 - exponent, 0, 40);
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    if (text.find_first_not_of("-0") == std::string::npos) return "0";
    return text;
}

TEST(DecimalText, TiesGoToTheEvenDigitAsInPrintf) {
    EXPECT_EQ(decimal_text(0.125, 2), "0.12");
    EXPECT_EQ(decimal_text(0.375, 2), "0.38");
    EXPECT_EQ(decimal_text(-0.125, 2), "-0.12");
    EXPECT_EQ(decimal_text(2.5, 1), "2");
    EXPECT_EQ(decimal_text(3.5, 1), "4");
    EXPECT_EQ(decimal_text(1e-9, 1), "0.000000001");
    EXPECT_EQ(decimal_text(0.1, 17), "0.10000000000000001");
    EXPECT_EQ(decimal_text(9.9999999999999995e-8), "0.0000001");
}

TEST(DecimalText, ExtremeValues) {
    for (double v :
         {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
          std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(), 1e300,
          1.8446744073709552e19, 1.8446744073709550e19, 123456789012345678.0,
          std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(decimal_text(v), printf_decimal_text(v, 15)) << v;
}

// Just below a power of ten std::log10 may round up to the power itself;
// the text must follow its exponent all the same.
TEST(DecimalText, AgreesWithPrintfNextToPowersOfTen) {
    for (int k = -40; k <= 40; ++k) {
        const double power = std::pow(10.0, k);
        double below = power;
        double above = power;
        for (int step = 0; step < 40; ++step) {
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, 1e300);
            for (double v : {below, above, -below, -above, power * (1 - 1e-12), power * (1 + 1e-12),
                             power * (1 - 2e-12), power * (1 + 2e-12)})
                for (int significant : {1, 6, 15, 17})
                    ASSERT_EQ(decimal_text(v, significant), printf_decimal_text(v, significant))
                        << "value " << v << ", " << significant << " significant digits";
        }
    }
}

TEST(DecimalText, AgreesWithPrintfOnManyValues) {
    std::mt19937_64 rng(2024);
    for (int i = 0; i < 300000; ++i) {
        double v = 0;
        switch (i % 5) {
            case 0:
                v = std::bit_cast<double>(rng());
                break;
            case 1:  // many exact ties
                v = static_cast<double>(static_cast<std::int64_t>(rng() % 20000001) - 10000000) /
                    static_cast<double>(std::uint64_t{1} << (rng() % 30));
                break;
            case 2:
                v = std::ldexp(static_cast<double>(rng() >> 11),
                               static_cast<int>(rng() % 200) - 150);
                if (rng() & 1) v = -v;
                break;
            case 3:
                v = std::uniform_real_distribution<double>(-2000, 2000)(rng);
                break;
            default:
                v = std::round(std::uniform_real_distribution<double>(-500, 500)(rng) * 1e6) / 1e6;
                break;
        }
        const int significant = i % 7 == 0 ? static_cast<int>(rng() % 20) + 1 : 15;
        ASSERT_EQ(decimal_text(v, significant), printf_decimal_text(v, significant))
            << "value " << v << ", " << significant << " significant digits";
    }
}

TEST(ShortestText, ReadsBackAsTheValueInPlainDecimals) {
    EXPECT_EQ(shortest_text(-0.01072), "-0.01072");
    EXPECT_EQ(shortest_text(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(shortest_text(-0.0), "0");
    EXPECT_EQ(shortest_text(1e-7), "0.0000001");
    EXPECT_EQ(shortest_text(12345678.5), "12345678.5");
    EXPECT_EQ(shortest_text(std::numeric_limits<double>::quiet_NaN()), "0");
    std::mt19937_64 rng(14);
    for (int i = 0; i < 100000; ++i) {
        double v = std::bit_cast<double>(rng());
        if (!std::isfinite(v)) continue;
        const std::string text = shortest_text(v);
        ASSERT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        if (v != 0) {
            ASSERT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
        }
        // No shorter text of the same kind reads back: the last digit is needed.
        if (text.find('.') != std::string::npos && text.size() > 3) {
            const std::string cut = text.substr(0, text.size() - 1);
            ASSERT_NE(std::strtod(cut.c_str(), nullptr), v) << text;
        }
    }
}

}  // namespace
}  // namespace telvaro
