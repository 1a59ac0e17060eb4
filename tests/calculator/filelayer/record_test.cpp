// Unit tests of the record-template interpreter: exact texts for the
// descriptors, the end-of-values and reversion rules, and the system's record
// templates.
#include "filelayer/record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvanti {
namespace {

std::string one(std::string_view format, RecordValue v) { return format_record(format, {v}); }

// Lines of a record without their '\n' (the record must end with one).
std::vector<std::string> lines_of(const std::string& record) {
    std::vector<std::string> lines;
    EXPECT_FALSE(record.empty());
    EXPECT_EQ(record.back(), '\n');
    std::size_t start = 0;
    for (std::size_t j = 0; j < record.size(); ++j) {
        if (record[j] == '\n') {
            lines.push_back(record.substr(start, j - start));
            start = j + 1;
        }
    }
    return lines;
}

// ------------------------------------------------------------- Fw.d

TEST(RecordF, PlainValues) {
    EXPECT_EQ(one("(F10.5)", 3.25f), "   3.25000\n");
    EXPECT_EQ(one("(F10.5)", -3.25f), "  -3.25000\n");
    EXPECT_EQ(one("(F7.4)", 0.1429f), " 0.1429\n");
    EXPECT_EQ(one("(F8.0)", 1234.4f), "   1234.\n");
    EXPECT_EQ(one("(F6.2)", 0.0f), "  0.00\n");
}

TEST(RecordF, TiesGoToEvenOnTheExactBinaryValue) {
    EXPECT_EQ(one("(F5.2)", 0.125f), " 0.12\n");
    EXPECT_EQ(one("(F5.2)", -0.125f), "-0.12\n");
    EXPECT_EQ(one("(F5.2)", 0.375f), " 0.38\n");
    EXPECT_EQ(one("(F5.2)", -0.375f), "-0.38\n");
    EXPECT_EQ(one("(F3.0)", 0.5f), " 0.\n");
    EXPECT_EQ(one("(F3.0)", -0.5f), "-0.\n");
    EXPECT_EQ(one("(F3.0)", 1.5f), " 2.\n");
    EXPECT_EQ(one("(F3.0)", 2.5f), " 2.\n");
    EXPECT_EQ(one("(F3.0)", -2.5f), "-2.\n");
    EXPECT_EQ(one("(F3.0)", 3.5f), " 4.\n");
    EXPECT_EQ(one("(F6.1)", 0.25f), "   0.2\n");
    EXPECT_EQ(one("(F6.1)", 0.75f), "   0.8\n");
    EXPECT_EQ(one("(F6.2)", 9.875f), "  9.88\n");
    EXPECT_EQ(one("(F6.2)", 9.625f), "  9.62\n");
    EXPECT_EQ(one("(F6.2)", 1.0f / 65536 + 9.625f), "  9.63\n");  // just above the tie
    EXPECT_EQ(one("(F6.2)", 9.625f - 1.0f / 65536), "  9.62\n");  // just below it
    // A tie that carries through nines into a new leading digit.
    EXPECT_EQ(one("(F5.0)", 999.5f), "1000.\n");
    EXPECT_EQ(one("(F5.0)", 998.5f), " 998.\n");
    EXPECT_EQ(one("(F20.15)", 1.0f / 65536), "   0.000015258789062\n");  // ...0625 exactly
    EXPECT_EQ(one("(F20.15)", 3.0f / 65536), "   0.000045776367188\n");  // ...1875 exactly
    // Not ties: the float lies below (0.35f = 0.3499999940...) or above the half
    // (99.995f = 99.99500274...).
    EXPECT_EQ(one("(F5.2)", 99.995f), "*****\n");
    EXPECT_EQ(one("(F6.1)", 0.35f), "   0.3\n");
    EXPECT_EQ(one("(F6.1)", 0.05f), "   0.1\n");
    EXPECT_EQ(one("(F8.3)", 1.0005f), "   1.000\n");  // 1.00049996...
    EXPECT_EQ(one("(F20.15)", 0.1f), "   0.100000001490116\n");
}

TEST(RecordF, NegativeValuesThatRoundToZeroKeepTheirSign) {
    EXPECT_EQ(one("(F6.3)", -0.0001f), "-0.000\n");
    EXPECT_EQ(one("(F6.3)", -0.0f), "-0.000\n");
    EXPECT_EQ(one("(F5.3)", -0.0001f), "-.000\n");
    EXPECT_EQ(one("(F3.1)", -0.04f), "-.0\n");
    EXPECT_EQ(one("(F6.3)", 0.0001f), " 0.000\n");
}

TEST(RecordF, LeadingZeroOnlyWhenThereIsRoom) {
    EXPECT_EQ(one("(F4.3)", 0.5f), ".500\n");
    EXPECT_EQ(one("(F5.3)", 0.5f), "0.500\n");
    EXPECT_EQ(one("(F6.3)", 0.5f), " 0.500\n");
    EXPECT_EQ(one("(F5.3)", -0.5f), "-.500\n");
    EXPECT_EQ(one("(F6.3)", -0.5f), "-0.500\n");
    EXPECT_EQ(one("(F2.1)", 0.5f), ".5\n");
    EXPECT_EQ(one("(F2.1)", 0.04f), ".0\n");
    // Without decimals the zero is the only digit and must be there.
    EXPECT_EQ(one("(F2.0)", 0.2f), "0.\n");
    EXPECT_EQ(one("(F1.0)", 0.2f), "*\n");
    EXPECT_EQ(one("(F3.0)", -0.2f), "-0.\n");
}

TEST(RecordF, OverflowFillsTheField) {
    EXPECT_EQ(one("(F5.3)", 12.0f), "*****\n");
    EXPECT_EQ(one("(F4.3)", -0.5f), "****\n");
    EXPECT_EQ(one("(F6.2)", 999.996f), "******\n");  // rounds to 1000.00
    EXPECT_EQ(one("(F6.2)", 999.995f), "999.99\n");  // 999.99499...
    EXPECT_EQ(one("(F6.2)", 999.994f), "999.99\n");
    EXPECT_EQ(one("(F10.3)", std::numeric_limits<float>::max()), "**********\n");
    EXPECT_EQ(one("(F3.3)", 0.0f), "***\n");
}

TEST(RecordF, HugeAndTinyAreExact) {
    EXPECT_EQ(one("(F50.3)", std::numeric_limits<float>::max()),
              "       340282346638528859811704183484516925440.000\n");
    EXPECT_EQ(one("(F45.30)", 1.0e9f), "    1000000000.000000000000000000000000000000\n");
    EXPECT_EQ(one("(F45.40)", 0.1f), "   0.1000000014901161193847656250000000000000\n");
    EXPECT_EQ(one("(F12.3)", std::numeric_limits<float>::denorm_min()), "       0.000\n");
    EXPECT_EQ(one("(F12.3)", -std::numeric_limits<float>::denorm_min()), "      -0.000\n");
    EXPECT_EQ(one("(F8.1)", 16777216.0f), "********\n");
    EXPECT_EQ(one("(F10.1)", 16777216.0f), "16777216.0\n");
}

TEST(RecordF, ZeroWidthIsTheShortestForm) {
    EXPECT_EQ(one("(F0.3)", 1.5f), "1.500\n");
    EXPECT_EQ(one("(F0.3)", 0.5f), ".500\n");
    EXPECT_EQ(one("(F0.3)", -0.0001f), "-.000\n");
    EXPECT_EQ(one("(F0.0)", 0.2f), "0.\n");
    EXPECT_EQ(one("(F0.3)", 12.0625f), "12.062\n");
    EXPECT_EQ(one("(F0.3)", -12.1875f), "-12.188\n");
}

TEST(RecordF, InfinityAndNaNAsGfortranWritesThem) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(one("(F2.1)", inf), "**\n");
    EXPECT_EQ(one("(F3.1)", inf), "Inf\n");
    EXPECT_EQ(one("(F8.1)", inf), "Infinity\n");
    EXPECT_EQ(one("(F12.1)", inf), "    Infinity\n");
    EXPECT_EQ(one("(F3.1)", -inf), "***\n");
    EXPECT_EQ(one("(F8.1)", -inf), "    -Inf\n");
    EXPECT_EQ(one("(F9.1)", -inf), "-Infinity\n");
    EXPECT_EQ(one("(F6.1)", nan), "   NaN\n");
    EXPECT_EQ(one("(E12.4)", -nan), "         NaN\n");
}

// ------------------------------------------------------------- Ew.d

TEST(RecordE, GfortranForm) {
    EXPECT_EQ(one("(E14.8)", 123.456f), "0.12345600E+03\n");
    EXPECT_EQ(one("(E14.8)", -123.456f), "-.12345600E+03\n");
    EXPECT_EQ(one("(E15.8)", -123.456f), "-0.12345600E+03\n");
    EXPECT_EQ(one("(E12.6)", 1.0f), "0.100000E+01\n");
    EXPECT_EQ(one("(E12.6)", -1.0f), "-.100000E+01\n");
    EXPECT_EQ(one("(E12.6)", 0.0f), "0.000000E+00\n");
    EXPECT_EQ(one("(E10.3)", -0.0f), "-0.000E+00\n");
    EXPECT_EQ(one("(E9.3)", 0.125f), "0.125E+00\n");
    EXPECT_EQ(one("(E8.3)", 1.0f), ".100E+01\n");
    EXPECT_EQ(one("(E8.3)", -1.0f), "********\n");
    EXPECT_EQ(one("(E6.3)", 1.0f), "******\n");
    EXPECT_EQ(one("(E14.8)", 1.0e-10f), "0.10000000E-09\n");
}

TEST(RecordE, RoundingAndCarryIntoTheExponent) {
    EXPECT_EQ(one("(E9.2)", 0.125f), " 0.12E+00\n");  // tie, to the even digit
    EXPECT_EQ(one("(E9.2)", -0.125f), "-0.12E+00\n");
    EXPECT_EQ(one("(E9.2)", -0.375f), "-0.38E+00\n");
    EXPECT_EQ(one("(E12.1)", 0.25f), "     0.2E+00\n");
    EXPECT_EQ(one("(E12.1)", 0.75f), "     0.8E+00\n");
    EXPECT_EQ(one("(E12.1)", 2.5f), "     0.2E+01\n");
    EXPECT_EQ(one("(E12.1)", 9.5f), "     0.1E+02\n");  // even tie carrying into the exponent
    EXPECT_EQ(one("(E12.4)", 9.9995f), "  0.1000E+02\n");
    EXPECT_EQ(one("(E12.4)", 0.99995f), "  0.9999E+00\n");  // 0.99994999...
    EXPECT_EQ(one("(E12.6)", 1234565.0f), "0.123456E+07\n");
    EXPECT_EQ(one("(E12.6)", 1234575.0f), "0.123458E+07\n");
    EXPECT_EQ(one("(E12.6)", 999999.5f), "0.100000E+07\n");
    EXPECT_EQ(one("(E12.6)", 1.0e6f), "0.100000E+07\n");
    EXPECT_EQ(one("(E12.6)", 999999.0f), "0.999999E+06\n");
}

TEST(RecordE, ExtremeFloats) {
    EXPECT_EQ(one("(E12.6)", std::numeric_limits<float>::max()), "0.340282E+39\n");
    EXPECT_EQ(one("(E12.6)", std::numeric_limits<float>::min()), "0.117549E-37\n");
    EXPECT_EQ(one("(E12.4)", 1.0e-40f), "  0.1000E-39\n");
    EXPECT_EQ(one("(E12.6)", std::numeric_limits<float>::denorm_min()), "0.140130E-44\n");
    EXPECT_EQ(one("(E40.35)", 0.1f), ".10000000149011611938476562500000000E+00\n");
}

// ------------------------------------------------------------- Iw, A

TEST(RecordI, RightJustifiedOrStars) {
    EXPECT_EQ(one("(I4)", 31), "  31\n");
    EXPECT_EQ(one("(I4)", -31), " -31\n");
    EXPECT_EQ(one("(I3)", -99), "-99\n");
    EXPECT_EQ(one("(I3)", 0), "  0\n");
    EXPECT_EQ(one("(I3)", 1234), "***\n");
    EXPECT_EQ(one("(I2)", -12), "**\n");
    EXPECT_EQ(one("(I0)", -5), "-5\n");
    EXPECT_EQ(one("(I11)", std::numeric_limits<int>::min()), "-2147483648\n");
    EXPECT_EQ(format_record("(25I3)", {1, 2, 3}), "  1  2  3\n");
}

TEST(RecordA, AsIsOrFittedToTheWidth) {
    EXPECT_EQ(one("(A)", std::string("abc")), "abc\n");
    EXPECT_EQ(one("(A3)", std::string("abcdef")), "abc\n");
    EXPECT_EQ(one("(A8)", std::string("abc")), "     abc\n");
    EXPECT_EQ(one("(A25)", std::string("WAGENINGEN B 4.550")), "       WAGENINGEN B 4.550\n");
    EXPECT_EQ(one("(A12)", std::string("BLUE        ")), "BLUE        \n");
    EXPECT_EQ(one("(A)", std::string("")), "\n");
    EXPECT_EQ(format_record("(1X,A7,'|')", {"(m)"}), "     (m)|\n");
}

// ------------------------------------------------------------- literals and layout

TEST(RecordLayout, LiteralsBlanksAndRepeatedCharacters) {
    EXPECT_EQ(format_record("('it''s',1X,\"say \"\"hi\"\"\")"), "it's say \"hi\"\n");
    EXPECT_EQ(format_record("('a\"b',\"c'd\")"), "a\"bc'd\n");
    EXPECT_EQ(format_record("(3('ab'),2X,'|')"), "ababab  |\n");
    EXPECT_EQ(format_record("(2(1X,2('-')))"), " -- --\n");
    EXPECT_EQ(format_record("(   16X,'(INTERPOLE EDILMIS)    ')"),
              std::string(16, ' ') + "(INTERPOLE EDILMIS)    \n");
    EXPECT_EQ(format_record("('        TEK KANADA AIT DEGERLER ' )"),
              "        TEK KANADA AIT DEGERLER \n");
    EXPECT_EQ(format_record("(i3,f6.2,a,e10.3)", {1, 2.5f, "x", 0.5f}), "  1  2.50x 0.500E+00\n");
}

TEST(RecordLayout, LongRecordsComeOutWhole) {
    // A record longer than any working buffer: 100 fields of 10 characters.
    std::vector<RecordValue> values;
    std::string expected;
    for (int i = 0; i < 100; ++i) {
        float v = 0.125f * static_cast<float>(i) - 3.0f;
        values.emplace_back(v);
        std::string field = one("(F10.5)", v);
        expected += field.substr(0, field.size() - 1);
    }
    EXPECT_EQ(format_record("(100F10.5)", values), expected + "\n");

    // Fields and texts wider than it, between short ones.
    std::string long_text(700, 'k');
    EXPECT_EQ(format_record("(I3,A,I3)", {7, long_text, 8}), "  7" + long_text + "  8\n");
    EXPECT_EQ(format_record("(A3,1X,A800,'|')", {std::string("abcdef"), long_text}),
              "abc " + std::string(100, ' ') + long_text + "|\n");
    EXPECT_EQ(one("(F600.2)", -1.5f), std::string(595, ' ') + "-1.50\n");
    EXPECT_EQ(one("(I600)", -15), std::string(597, ' ') + "-15\n");
    EXPECT_EQ(one("(E600.3)", 1.5f), std::string(591, ' ') + "0.150E+01\n");
    EXPECT_EQ(format_record("(600('*'),F4.1)", {2.0f}), std::string(600, '*') + " 2.0\n");

    // Many records in a row through the same stream keep their order.
    std::ostringstream out;
    std::string joined;
    for (int i = 0; i < 300; ++i) {
        write_record(out, "(I5,F12.4,A)",
                     {i, 0.5f * static_cast<float>(i), std::string(i % 7, 'x')});
        joined += format_record("(I5,F12.4,A)",
                                {i, 0.5f * static_cast<float>(i), std::string(i % 7, 'x')});
    }
    EXPECT_EQ(out.str(), joined);
}

TEST(RecordLayout, BannerLinesAre79Characters) {
    std::string blank = format_record("(' !',76X,'!')");
    EXPECT_EQ(blank, " !" + std::string(76, ' ') + "!\n");
    EXPECT_EQ(blank.size(), 80u);
    std::string title = format_record("(' !',20X,'Geometrilerini Hesap Programi',27X,'!')");
    EXPECT_EQ(title.size(), 80u);
    EXPECT_EQ(title.substr(0, 2), " !");
    EXPECT_EQ(title[78], '!');
    std::string series = format_record(
        "(' !',3X,'Wageningen B, Ka, Kc, Gawn, KCA ve Newton-Rader, Au Serisi "
        "Pervanelerin',2X,'!')");
    EXPECT_EQ(series.size(), 80u);
    EXPECT_EQ(format_record("(1X,78('='))"), " " + std::string(78, '=') + "\n");
}

TEST(RecordLayout, SlashesEndLines) {
    EXPECT_EQ(format_record("(/,59('='))"), "\n" + std::string(59, '=') + "\n");
    EXPECT_EQ(format_record("(59('='))"), std::string(59, '=') + "\n");
    EXPECT_EQ(format_record("(//)"), "\n\n\n");
    EXPECT_EQ(format_record("(2/)"), "\n\n\n");
    EXPECT_EQ(format_record("(4/)"), "\n\n\n\n\n");
    EXPECT_EQ(format_record("(3/,16X,'PERVANE KESIT OFSETLERI')"),
              "\n\n\n" + std::string(16, ' ') + "PERVANE KESIT OFSETLERI\n");
    EXPECT_EQ(format_record("('a'/'b'//'c')"), "a\nb\n\nc\n");
    EXPECT_EQ(
        format_record("(' X(1)=',F20.15,/,' X   =',F20.15,/,' X(N)=',F20.15)", {0.5f, 1.0f, 2.0f}),
        " X(1)=   0.500000000000000\n X   =   1.000000000000000\n X(N)=   2.000000000000000\n");
    EXPECT_EQ(format_record("()"), "\n");
}

TEST(RecordLayout, HeaderTemplateWithTrailingSlash) {
    std::string rec =
        format_record("(1X,'ZONE T=\"PRESS. SIDE OF HUB\", I=',I3,', J=',I3,',C=',A12,/)",
                      {10, 39, "BLUE        "});
    EXPECT_EQ(rec, " ZONE T=\"PRESS. SIDE OF HUB\", I= 10, J= 39,C=BLUE        \n\n");
    rec = format_record("(/,1X,'ZONE T=\"SUCTI. SIDE OF BLADE\", I=',I3,', J=',I3,',C=',A12,/)",
                        {11, 11, "RED         "});
    EXPECT_EQ(rec, "\n ZONE T=\"SUCTI. SIDE OF BLADE\", I= 11, J= 11,C=RED         \n\n");
}

// ------------------------------------------------------------- fewer values

TEST(RecordFewerValues, GoOnThroughTextsUpToTheNextDataDescriptor) {
    // Three values: three 15-character fields, the last 1X included.
    std::string point = format_record("(3(F14.8,1X))", {1.0f, -2.5f, 0.125f});
    EXPECT_EQ(point, "    1.00000000    -2.50000000     0.12500000 \n");
    EXPECT_EQ(point.size(), 46u);
    // Hub profile: two values, two 13-character fields.
    std::string hub = format_record("(3(E12.6,1X))", {0.25f, -0.5f});
    EXPECT_EQ(hub, "0.250000E+00 -.500000E+00 \n");
    EXPECT_EQ(hub.size(), 27u);
    // Station 1 of the mass report: the 3X before each A counts.
    std::string first =
        format_record("(1X,I2,2X,F6.2,2X,F8.3,3X,A,3X,A)", {1, 20.0f, 12.5f, "  ---", "   ---"});
    EXPECT_EQ(first, "  1   20.00    12.500     ---      ---\n");
    EXPECT_EQ(format_record("(2X,A,2X,A)", {"ab"}), "  ab  \n");
    EXPECT_EQ(format_record("(2X,'a',2X,I3,'b')"), "  a  \n");
    EXPECT_EQ(format_record("(F5.2,' m',/,' next',F5.2,'x')", {1.0f}), " 1.00 m\n next\n");
    EXPECT_EQ(format_record("(F5.2,1X,F5.2)"), "\n");
}

TEST(RecordFewerValues, SeriesTitleWithOneValue) {
    std::string rec = format_record(
        "(9X,'WAGENINGEN B ',F5.3,2X,'PERVANE GEOMETRISI',/,59('='),/,'  r/R     c/D     a/D     "
        "b/D    P/D  "
        "theta    iT/D    tm/D')",
        {0.55f});
    EXPECT_EQ(rec, "         WAGENINGEN B 0.550  PERVANE GEOMETRISI\n" + std::string(59, '=') +
                       "\n  r/R     c/D     a/D     b/D    P/D  theta    iT/D    tm/D\n");
}

// ------------------------------------------------------------- more values

TEST(RecordReversion, RestartsAtTheLastTopLevelGroup) {
    std::vector<RecordValue> values;
    for (int i = 1; i <= 25; ++i) values.emplace_back(static_cast<float>(i) / 7.0f);
    auto lines = lines_of(format_record("('r/R',20(F7.4,1X))", values));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 3u + 20 * 8);
    EXPECT_EQ(lines[0].substr(0, 19), "r/R 0.1429  0.2857 ");
    EXPECT_EQ(lines[1], " 3.0000  3.1429  3.2857  3.4286  3.5714 ");

    values.resize(40);
    for (int i = 25; i < 40; ++i) values[i] = 1.0f;
    lines = lines_of(format_record("('xc',1X,20(F7.4,1X))", values));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 3u + 20 * 8);
    EXPECT_EQ(lines[1].size(), 20u * 8);
    EXPECT_EQ(lines[1].substr(0, 16), " 3.0000  3.1429 ");
}

TEST(RecordReversion, WholeTemplateWithoutGroup) {
    EXPECT_EQ(format_record("(I10,3F10.5)", {1, 2.0f, 3.0f, 4.0f, 5, 6.0f}),
              "         1   2.00000   3.00000   4.00000\n         5   6.00000\n");
    EXPECT_EQ(format_record("(3F10.5)", {1.0f}), "   1.00000\n");
    EXPECT_EQ(format_record("(5I5)", {1, 2, 3, 4, 5, 6, 7}),
              "    1    2    3    4    5\n    6    7\n");
    EXPECT_EQ(format_record("(I4,2(I3,F5.1))", {1, 2, 3.0f, 4, 5.0f, 6, 7.0f, 8, 9.0f}),
              "   1  2  3.0  4  5.0\n  6  7.0  8  9.0\n");
    EXPECT_EQ(format_record("(A,2(I2,1X),I3)", {"x", 1, 2, 3, 4, 5, 6, 7}),
              "x 1  2   3\n 4  5   6\n 7 \n");
    std::vector<RecordValue> many(30, RecordValue(7));
    auto lines = lines_of(format_record("(25I3)", many));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 75u);
    EXPECT_EQ(lines[1], "  7  7  7  7  7");
}

TEST(RecordReversion, GroupRepeatCountIsPartOfTheRestart) {
    EXPECT_EQ(format_record("('L',2(I2),'|')", {1, 2, 3, 4, 5}), "L 1 2|\n 3 4|\n 5\n");
    // Reversion at 3(F6.4,2X), then the rest of the template.
    std::vector<RecordValue> v(10, RecordValue(0.5f));
    auto lines = lines_of(format_record("(F5.3,2X,3(F6.4,2X),F5.3,2X,F5.1,2X,F6.3,2X,F6.4)", v));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "0.500  0.5000  0.5000  0.5000  0.500    0.5   0.500  0.5000");
    EXPECT_EQ(lines[1], "0.5000  0.5000  ");
}

// ------------------------------------------------------------- faults

TEST(RecordFaults, WrongValueTypeIsALogicError) {
    EXPECT_THROW(format_record("(I3)", {1.0f}), std::logic_error);
    EXPECT_THROW(format_record("(F5.2)", {1}), std::logic_error);
    EXPECT_THROW(format_record("(E12.4)", {"x"}), std::logic_error);
    EXPECT_THROW(format_record("(A)", {3}), std::logic_error);
    try {
        format_record("(1X,I3,F5.2)", {1, 2});
        FAIL();
    } catch (const std::logic_error& e) {
        std::string what = e.what();
        EXPECT_NE(what.find("F5.2"), std::string::npos) << what;
        EXPECT_NE(what.find("value 2"), std::string::npos) << what;
    }
}

TEST(RecordFaults, MalformedTemplatesAreLogicErrors) {
    for (const char* bad :
         {"F5.3",    "(F5.3",   "F5.3)",      "(F5)",    "(F.3)",     "(Q3)",  "('abc)",  "(3'x')",
          "(,F5.3)", "(F5.3,)", "(F5.3,,I2)", "(0X)",    "(X)",       "(2())", "(E10.0)", "(E0.3)",
          "(A0)",    "(I)",     "(I3.2)",     "(F5.3)x", "(F5.3 I2)", "(2(I3)"}) {
        EXPECT_THROW(format_record(bad), std::logic_error) << bad;
    }
}

TEST(RecordFaults, ValuesForATemplateWithoutDataDescriptors) {
    EXPECT_THROW(format_record("(59('='))", {1}), std::logic_error);
    // The series title takes one value; a second would restart at 59('=').
    EXPECT_THROW(format_record("(9X,'AU(MAU) ',F5.3,2X,'X',/,59('='),/,'r/R')", {0.5f, 0.6f}),
                 std::logic_error);
}

// ------------------------------------------------------------- streams

TEST(RecordStreams, WriteRecordAndWriteLine) {
    std::ostringstream out;
    write_record(out, "(1X,I2,2X,F6.2)", {3, 1.5f});
    std::vector<RecordValue> v{1.0f, 2.0f};
    write_record(out, "(2(E14.8,1X))", std::span<const RecordValue>(v));
    write_line(out, " VARIABLES = \"X\",\"Y\",\"Z\"");
    write_line(out, "");
    EXPECT_EQ(out.str(),
              "  3    1.50\n0.10000000E+01 0.20000000E+01 \n VARIABLES = \"X\",\"Y\",\"Z\"\n\n");
}

// ------------------------------------------------------------- exactness

// Whether the kept digits, followed by the exact dropped digits `rest`, round
// up to the nearest with ties to the even last kept digit.
bool reference_round_up(const std::string& kept, const std::string& rest) {
    if (rest.empty() || rest[0] < '5') return false;
    if (rest[0] > '5') return true;
    if (rest.find_first_not_of('0', 1) != std::string::npos) return true;
    return (kept.back() - '0') % 2 == 1;
}

// Adds one to a digit string, growing it on a carry out of the first digit.
void reference_increment(std::string& digits) {
    int j = static_cast<int>(digits.size()) - 1;
    while (j >= 0 && digits[j] == '9') digits[j--] = '0';
    if (j < 0)
        digits.insert(digits.begin(), '1');
    else
        ++digits[j];
}

// An independent reference for Fw.d: the exact decimal expansion from
// printf, rounded by hand to the nearest with ties to even.
std::string reference_fixed(float x, int w, int d) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.200f", static_cast<double>(std::fabs(x)));
    std::string s(buf);
    std::size_t point = s.find('.');
    std::string digits = s.substr(0, point) + s.substr(point + 1, d);
    if (reference_round_up(digits, s.substr(point + 1 + d))) reference_increment(digits);
    std::string ip = digits.substr(0, digits.size() - d);
    std::string fp = digits.substr(digits.size() - d);
    ip.erase(0, std::min(ip.find_first_not_of('0'), ip.size()));
    std::string body = (std::signbit(x) ? "-" : "") + ip + "." + fp;
    if (static_cast<int>(body.size()) > w) return std::string(w, '*');
    if (ip.empty() && static_cast<int>(body.size()) < w) body.insert(std::signbit(x) ? 1 : 0, "0");
    return std::string(w - body.size(), ' ') + body;
}

// An independent reference for Ew.d of a nonzero finite float, the same way.
std::string reference_exp(float x, int w, int d) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.150e", static_cast<double>(std::fabs(x)));
    std::string s(buf);
    std::size_t e = s.find('e');
    std::string all = s.substr(0, 1) + s.substr(2, e - 2);  // exact: a float has at most 112 digits
    int p = std::atoi(s.c_str() + e + 1) + 1;               // |x| = 0.all * 10^p
    std::string digits = all.substr(0, d);
    if (reference_round_up(digits, all.substr(d))) {
        reference_increment(digits);
        if (static_cast<int>(digits.size()) > d) {
            digits.pop_back();
            ++p;
        }
    }
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "E%c%02d", p < 0 ? '-' : '+', std::abs(p));
    std::string body = (std::signbit(x) ? "-." : ".") + digits + exponent;
    if (static_cast<int>(body.size()) > w) return std::string(w, '*');
    if (static_cast<int>(body.size()) < w) body.insert(std::signbit(x) ? 1 : 0, "0");
    return std::string(w - body.size(), ' ') + body;
}

// The digits of a written number, without sign, point, blanks or newline.
std::uint64_t digits_value(const std::string& text) {
    std::uint64_t v = 0;
    for (char c : text)
        if (c >= '0' && c <= '9') v = v * 10 + static_cast<std::uint64_t>(c - '0');
    return v;
}

// Fw.d of `count` random floats with biased exponents in [low, high] against
// the exact decimal expansion, the fields taken in turn.
void fixed_matches_expansion(std::uint32_t seed, int low, int high,
                             std::span<const std::pair<int, int>> fields, int count) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::uint32_t> bits;
    std::uniform_int_distribution<int> exponent(low, high);
    for (int k = 0; k < count; ++k) {
        std::uint32_t b =
            (bits(rng) & 0x807FFFFFu) | (static_cast<std::uint32_t>(exponent(rng)) << 23);
        float x = std::bit_cast<float>(b);
        auto [w, d] = fields[static_cast<std::size_t>(k) % fields.size()];
        std::string format = "(F" + std::to_string(w) + "." + std::to_string(d) + ")";
        ASSERT_EQ(one(format, x), reference_fixed(x, w, d) + "\n") << format << " " << x;
    }
}

TEST(RecordExactness, FixedMatchesTheExactDecimalExpansion) {
    const std::pair<int, int> fields[] = {{8, 4}, {10, 5},  {14, 8}, {7, 4},
                                          {6, 2}, {20, 15}, {5, 0},  {12, 10}};
    fixed_matches_expansion(12345, 100, 160, fields, 20000);  // about 1e-8 .. 1e10
}

TEST(RecordExactness, FieldsAcrossTheLimitsOfTheStackBuffers) {
    // The digits of a field are built on the stack up to 46 decimals and a
    // record up to 256 characters; wider ones go to the heap. The text must
    // not depend on where they were built.
    const std::pair<int, int> fields[] = {{50, 45}, {52, 46}, {54, 47}, {56, 48},
                                          {255, 8}, {256, 8}, {257, 8}, {300, 47}};
    fixed_matches_expansion(777, 90, 170, fields, 8000);  // about 1e-12 .. 1e13
}

TEST(RecordExactness, FixedTiesGoToEvenAtEveryNumberOfDecimals) {
    // x = odd * 2^-(d+1) is an exact tie of Fw.d: x * 10^d = odd * 5^d / 2 lies
    // halfway between h = (odd * 5^d - 1) / 2 and h + 1; the even one is written.
    std::uint64_t pow5 = 1;
    for (int d = 0; d <= 20; ++d, pow5 *= 5) {
        std::string format = "(F40." + std::to_string(d) + ")";
        for (std::uint64_t odd = 1; odd < 2000; odd += 2) {
            float x = std::ldexp(static_cast<float>(odd), -(d + 1));
            std::uint64_t h = (odd * pow5 - 1) / 2;
            std::uint64_t expected = h % 2 == 0 ? h : h + 1;
            for (float v : {x, -x}) {
                std::string text = one(format, v);
                ASSERT_EQ(digits_value(text), expected)
                    << format << " " << v << " [" << text << "]";
                ASSERT_EQ(text, reference_fixed(v, 40, d) + "\n") << format << " " << v;
            }
        }
    }
    // Long fields, on to the smallest subnormal (the exact slow path included).
    for (int d = 21; d <= 148; ++d) {
        int w = d + 4;
        std::string format = "(F" + std::to_string(w) + "." + std::to_string(d) + ")";
        for (int odd : {1, 3, 5, 7, 9, 11, 13, 15, 99, 101, 12345, 16777215}) {
            float x = std::ldexp(static_cast<float>(odd), -(d + 1));
            if (x == 0.0f || std::ldexp(x, d + 1) != static_cast<float>(odd))
                continue;  // not exact
            for (float v : {x, -x})
                ASSERT_EQ(one(format, v), reference_fixed(v, w, d) + "\n") << format << " " << v;
        }
    }
}

TEST(RecordExactness, ExpMatchesTheExactDecimalExpansion) {
    std::mt19937 rng(54321);
    std::uniform_int_distribution<std::uint32_t> bits;
    std::uniform_int_distribution<std::uint32_t> exponent(1, 254);
    const std::pair<int, int> fields[] = {{12, 6},  {14, 8},  {9, 2}, {12, 1},
                                          {40, 35}, {20, 12}, {11, 4}};
    for (int k = 0; k < 20000; ++k) {
        std::uint32_t b = (bits(rng) & 0x807FFFFFu) | (exponent(rng) << 23);
        float x = std::bit_cast<float>(b);
        auto [w, d] = fields[k % 7];
        std::string format = "(E" + std::to_string(w) + "." + std::to_string(d) + ")";
        ASSERT_EQ(one(format, x), reference_exp(x, w, d) + "\n") << format << " " << x;
    }
}

TEST(RecordExactness, ExpTiesGoToEvenAtEveryNumberOfDigits) {
    // odd * 2^-k has an exact expansion ending in 5; with one digit fewer than
    // it has, Ew.d meets an exact tie.
    int ties = 0;
    for (int k = 1; k <= 149; ++k) {
        for (int odd : {1, 3, 5, 7, 9, 11, 13, 15, 19, 97, 12345, 16777215}) {
            float x = std::ldexp(static_cast<float>(odd), -k);
            if (x == 0.0f || std::ldexp(x, k) != static_cast<float>(odd)) continue;
            char buf[400];
            std::snprintf(buf, sizeof buf, "%.150e", static_cast<double>(x));
            std::string mantissa(buf, std::string(buf).find('e'));
            mantissa.erase(1, 1);
            mantissa.erase(mantissa.find_last_not_of('0') + 1);
            int d = static_cast<int>(mantissa.size()) - 1;
            ASSERT_EQ(mantissa.back(), '5') << x;
            if (d < 1) continue;
            int w = d + 8;
            std::string format = "(E" + std::to_string(w) + "." + std::to_string(d) + ")";
            for (float v : {x, -x}) {
                std::string text = one(format, v);
                ASSERT_EQ(text, reference_exp(v, w, d) + "\n") << format << " " << v;
                // The kept digits are the tie's digits without the 5, up by one
                // only when the last of them is odd.
                std::string kept = mantissa.substr(0, static_cast<std::size_t>(d));
                if ((kept.back() - '0') % 2 == 1) reference_increment(kept);
                ASSERT_NE(text.find(kept.substr(0, static_cast<std::size_t>(d)) + "E"),
                          std::string::npos)
                    << format << " " << v << " [" << text << "]";
                ++ties;
            }
        }
    }
    EXPECT_GT(ties, 2000);
}

// ------------------------------------------------------------- speed

TEST(RecordSpeed, TwentyThousandRecordsAreFast) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "a time measured under AddressSanitizer says nothing of the writer's speed";
#endif
    std::ostringstream out;
    std::vector<RecordValue> point{1.2345678f, -0.0123456f, 0.5f};
    std::vector<RecordValue> row;
    for (int i = 0; i < 20; ++i) row.emplace_back(0.05f * static_cast<float>(i));
    std::vector<RecordValue> hub{0.1234f, 0.2345f};
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20000; ++i) {
        switch (i % 4) {
            case 0:
                write_record(out, "(3(F14.8,1X))", point);
                break;
            case 1:
                write_record(out, "(3(E12.6,1X))", hub);
                break;
            case 2:
                write_record(out, "(1X,I2,2X,F6.2,2X,F8.3,1X,F8.2,1X,F8.2)",
                             {i % 99, 1.5f, 2.5f, 3.5f, 4.5f});
                break;
            default:
                write_record(out, "('r/R',20(F7.4,1X))", row);
                break;
        }
    }
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("20000 records in %.2f ms\n", ms);
    EXPECT_LT(ms, 100.0);  // generous for loaded or unoptimised builds; typically a few ms
    EXPECT_GT(out.str().size(), 20000u * 30);
}

}  // namespace
}  // namespace korvanti

namespace korvanti {
namespace {

// Fw.d with up to 12 decimals takes a shorter way than the general
// std::to_chars; both must give the same digits, ties and the edge of the
// shorter way (|x|*10^d near 1e18) included.
std::string fixed_reference(float x, int w, int d) {
    char digits[128];
    char* end = std::to_chars(digits, digits + sizeof digits, std::fabs(static_cast<double>(x)),
                              std::chars_format::fixed, d)
                    .ptr;
    std::string text = (std::signbit(x) ? "-" : "") + std::string(digits, end);
    if (d == 0) text += '.';
    return static_cast<int>(text.size()) > w ? std::string(static_cast<std::size_t>(w), '*')
                                             : std::string(w - text.size(), ' ') + text;
}

TEST(FixedFewDecimals, AgreesWithTheGeneralConversion) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::uint32_t> bits;
    std::uniform_real_distribution<double> exponent(-14.0, 19.0);
    for (int n = 0; n < 200000; ++n) {
        const int d = n % 13;
        // Random bit patterns, values of every magnitude, and exact ties
        // (an odd number of halves of the last decimal: k/2 * 10^-d).
        float x = std::bit_cast<float>(bits(random));
        if (n % 3 == 1) x = static_cast<float>(std::pow(10.0, exponent(random)));
        if (n % 3 == 2)
            x = static_cast<float>((2 * (bits(random) % 4096) + 1) / 2.0 / std::pow(10.0, d));
        if (!std::isfinite(x)) continue;
        if (n % 2 == 1) x = -x;
        ASSERT_EQ(format_fixed(x, 60, d), fixed_reference(x, 60, d)) << x << " F60." << d;
    }
    for (int d = 0; d <= 12; ++d)
        for (float x :
             {0.0f, -0.0f, 0.125f, 0.375f, 2.5f, 1e18f / static_cast<float>(std::pow(10.0, d)),
              std::nextafter(1e18f, 0.0f) / static_cast<float>(std::pow(10.0, d))})
            EXPECT_EQ(format_fixed(x, 60, d), fixed_reference(x, 60, d)) << x << " F60." << d;
}

}  // namespace
}  // namespace korvanti
