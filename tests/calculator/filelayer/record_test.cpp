// Unit tests of the record-template interpreter: exact texts for the
// descriptors, the end-of-values and reversion rules, and the templates the
// Parts quote.
#include "filelayer/record.h"

#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <sstream>
#include <stdexcept>

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

TEST(RecordF, TiesGoAwayFromZeroOnTheExactBinaryValue) {
    EXPECT_EQ(one("(F5.2)", 0.125f), " 0.13\n");
    EXPECT_EQ(one("(F5.2)", -0.125f), "-0.13\n");
    EXPECT_EQ(one("(F5.2)", 0.375f), " 0.38\n");
    EXPECT_EQ(one("(F3.0)", 0.5f), " 1.\n");
    EXPECT_EQ(one("(F3.0)", 1.5f), " 2.\n");
    EXPECT_EQ(one("(F3.0)", 2.5f), " 3.\n");
    EXPECT_EQ(one("(F3.0)", -2.5f), "-3.\n");
    EXPECT_EQ(one("(F6.1)", 0.25f), "   0.3\n");
    // Not ties: the float lies below (0.35f = 0.3499999940...) or above the half.
    EXPECT_EQ(one("(F6.1)", 0.35f), "   0.3\n");
    EXPECT_EQ(one("(F6.1)", 0.05f), "   0.1\n");
    EXPECT_EQ(one("(F8.3)", 1.0005f), "   1.000\n");   // 1.00049996...
    EXPECT_EQ(one("(F20.15)", 0.1f), "   0.100000001490116\n");
    EXPECT_EQ(one("(F20.15)", 1.0f / 65536), "   0.000015258789063\n");   // ...0625 exactly
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
    EXPECT_EQ(one("(F6.2)", 999.996f), "******\n");   // rounds to 1000.00
    EXPECT_EQ(one("(F6.2)", 999.995f), "999.99\n");   // 999.99499...
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
    EXPECT_EQ(one("(F0.3)", 12.0625f), "12.063\n");
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
    EXPECT_EQ(one("(E9.2)", 0.125f), " 0.13E+00\n");   // tie, away from zero
    EXPECT_EQ(one("(E9.2)", -0.375f), "-0.38E+00\n");
    EXPECT_EQ(one("(E12.1)", 0.25f), "     0.3E+00\n");
    EXPECT_EQ(one("(E12.4)", 9.9995f), "  0.1000E+02\n");
    EXPECT_EQ(one("(E12.4)", 0.99995f), "  0.9999E+00\n");   // 0.99994999...
    EXPECT_EQ(one("(E12.6)", 1234565.0f), "0.123457E+07\n");
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
    EXPECT_EQ(format_record("('        TEK KANADA AIT DEGERLER ' )"), "        TEK KANADA AIT DEGERLER \n");
    EXPECT_EQ(format_record("(i3,f6.2,a,e10.3)", {1, 2.5f, "x", 0.5f}), "  1  2.50x 0.500E+00\n");
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
        "(' !',3X,'Wageningen B, Ka, Kc, Gawn, KCA ve Newton-Rader, Au Serisi Pervanelerin',2X,'!')");
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
    EXPECT_EQ(format_record("(' X(1)=',F20.15,/,' X   =',F20.15,/,' X(N)=',F20.15)", {0.5f, 1.0f, 2.0f}),
              " X(1)=   0.500000000000000\n X   =   1.000000000000000\n X(N)=   2.000000000000000\n");
    EXPECT_EQ(format_record("()"), "\n");
}

TEST(RecordLayout, HeaderTemplateWithTrailingSlash) {
    std::string rec = format_record("(1X,'ZONE T=\"PRESS. SIDE OF HUB\", I=',I3,', J=',I3,',C=',A12,/)",
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
    std::string first = format_record("(1X,I2,2X,F6.2,2X,F8.3,3X,A,3X,A)", {1, 20.0f, 12.5f, "  ---", "   ---"});
    EXPECT_EQ(first, "  1   20.00    12.500     ---      ---\n");
    EXPECT_EQ(format_record("(2X,A,2X,A)", {"ab"}), "  ab  \n");
    EXPECT_EQ(format_record("(2X,'a',2X,I3,'b')"), "  a  \n");
    EXPECT_EQ(format_record("(F5.2,' m',/,' next',F5.2,'x')", {1.0f}), " 1.00 m\n next\n");
    EXPECT_EQ(format_record("(F5.2,1X,F5.2)"), "\n");
}

TEST(RecordFewerValues, SeriesTitleWithOneValue) {
    std::string rec = format_record(
        "(9X,'WAGENINGEN B ',F5.3,2X,'PERVANE GEOMETRISI',/,59('='),/,'  r/R     c/D     a/D     b/D    P/D  "
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
    EXPECT_EQ(format_record("(5I5)", {1, 2, 3, 4, 5, 6, 7}), "    1    2    3    4    5\n    6    7\n");
    EXPECT_EQ(format_record("(I4,2(I3,F5.1))", {1, 2, 3.0f, 4, 5.0f, 6, 7.0f, 8, 9.0f}),
              "   1  2  3.0  4  5.0\n  6  7.0  8  9.0\n");
    EXPECT_EQ(format_record("(A,2(I2,1X),I3)", {"x", 1, 2, 3, 4, 5, 6, 7}), "x 1  2   3\n 4  5   6\n 7 \n");
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
    for (const char* bad : {"F5.3", "(F5.3", "F5.3)", "(F5)", "(F.3)", "(Q3)", "('abc)", "(3'x')", "(,F5.3)",
                            "(F5.3,)", "(F5.3,,I2)", "(0X)", "(X)", "(2())", "(E10.0)", "(E0.3)", "(A0)",
                            "(I)", "(I3.2)", "(F5.3)x", "(F5.3 I2)", "(2(I3)"}) {
        EXPECT_THROW(format_record(bad), std::logic_error) << bad;
    }
}

TEST(RecordFaults, ValuesForATemplateWithoutDataDescriptors) {
    EXPECT_THROW(format_record("(59('='))", {1}), std::logic_error);
    // The series title takes one value; a second would restart at 59('=').
    EXPECT_THROW(format_record("(9X,'AU(MAU) ',F5.3,2X,'X',/,59('='),/,'r/R')", {0.5f, 0.6f}), std::logic_error);
}

// ------------------------------------------------------------- streams

TEST(RecordStreams, WriteRecordAndWriteLine) {
    std::ostringstream out;
    write_record(out, "(1X,I2,2X,F6.2)", {3, 1.5f});
    std::vector<RecordValue> v{1.0f, 2.0f};
    write_record(out, "(2(E14.8,1X))", std::span<const RecordValue>(v));
    write_line(out, " VARIABLES = \"X\",\"Y\",\"Z\"");
    write_line(out, "");
    EXPECT_EQ(out.str(), "  3    1.50\n0.10000000E+01 0.20000000E+01 \n VARIABLES = \"X\",\"Y\",\"Z\"\n\n");
}

// ------------------------------------------------------------- exactness

// An independent reference for Fw.d: the exact decimal expansion from
// printf, rounded by hand with ties away from zero.
std::string reference_fixed(float x, int w, int d) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.200f", static_cast<double>(std::fabs(x)));
    std::string s(buf);
    std::size_t point = s.find('.');
    std::string digits = s.substr(0, point) + s.substr(point + 1, d);
    bool up = s[point + 1 + d] >= '5';
    if (up) {
        int j = static_cast<int>(digits.size()) - 1;
        while (j >= 0 && digits[j] == '9') digits[j--] = '0';
        if (j < 0) digits.insert(digits.begin(), '1');
        else ++digits[j];
    }
    std::string ip = digits.substr(0, digits.size() - d);
    std::string fp = digits.substr(digits.size() - d);
    ip.erase(0, std::min(ip.find_first_not_of('0'), ip.size()));
    std::string body = (std::signbit(x) ? "-" : "") + ip + "." + fp;
    if (static_cast<int>(body.size()) > w) return std::string(w, '*');
    if (ip.empty() && static_cast<int>(body.size()) < w) body.insert(std::signbit(x) ? 1 : 0, "0");
    return std::string(w - body.size(), ' ') + body;
}

TEST(RecordExactness, FixedMatchesTheExactDecimalExpansion) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<std::uint32_t> bits;
    std::uniform_int_distribution<int> exponent(100, 160);   // about 1e-8 .. 1e10
    const std::pair<int, int> fields[] = {{8, 4}, {10, 5}, {14, 8}, {7, 4}, {6, 2}, {20, 15}, {5, 0}, {12, 10}};
    for (int k = 0; k < 20000; ++k) {
        std::uint32_t b = (bits(rng) & 0x807FFFFFu) | (static_cast<std::uint32_t>(exponent(rng)) << 23);
        float x = std::bit_cast<float>(b);
        auto [w, d] = fields[k % 8];
        std::string format = "(F" + std::to_string(w) + "." + std::to_string(d) + ")";
        ASSERT_EQ(one(format, x), reference_fixed(x, w, d) + "\n") << format << " " << x;
    }
    // Exact ties at every number of decimals: odd multiples of 2^-(d+1).
    for (int d = 0; d <= 12; ++d) {
        for (int odd = 1; odd < 2000; odd += 2) {
            float x = std::ldexp(static_cast<float>(odd), -(d + 1));
            for (float v : {x, -x}) {
                std::string format = "(F20." + std::to_string(d) + ")";
                ASSERT_EQ(one(format, v), reference_fixed(v, 20, d) + "\n") << format << " " << v;
            }
        }
    }
}

// ------------------------------------------------------------- speed

TEST(RecordSpeed, TwentyThousandRecordsAreFast) {
    std::ostringstream out;
    std::vector<RecordValue> point{1.2345678f, -0.0123456f, 0.5f};
    std::vector<RecordValue> row;
    for (int i = 0; i < 20; ++i) row.emplace_back(0.05f * static_cast<float>(i));
    std::vector<RecordValue> hub{0.1234f, 0.2345f};
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20000; ++i) {
        switch (i % 4) {
        case 0: write_record(out, "(3(F14.8,1X))", point); break;
        case 1: write_record(out, "(3(E12.6,1X))", hub); break;
        case 2: write_record(out, "(1X,I2,2X,F6.2,2X,F8.3,1X,F8.2,1X,F8.2)", {i % 99, 1.5f, 2.5f, 3.5f, 4.5f}); break;
        default: write_record(out, "('r/R',20(F7.4,1X))", row); break;
        }
    }
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("20000 records in %.2f ms\n", ms);
    EXPECT_LT(ms, 100.0);   // generous for loaded or unoptimised builds; typically a few ms
    EXPECT_GT(out.str().size(), 20000u * 30);
}

}  // namespace
}  // namespace korvanti
