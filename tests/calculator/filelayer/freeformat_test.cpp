#include "filelayer/freeformat.h"

#include <gtest/gtest.h>

#include <sstream>

#include "filelayer/errors.h"

namespace korvanti {
namespace {

TEST(FreeFormatReader, ReadsBlankAndCommaSeparatedValuesAndIgnoresSurplus) {
    std::istringstream in("4, 0.55  extra words\n1\n");
    FreeFormatReader reader(in, "T");
    int z = 0;
    float ear = 0.0f;
    reader.read("z ear", z, ear);
    EXPECT_EQ(z, 4);
    EXPECT_EQ(ear, 0.55f);
    float hand = 0.0f;
    reader.read("hand", hand);  // the surplus words of line 1 are gone
    EXPECT_EQ(hand, 1.0f);
    EXPECT_EQ(reader.line_number(), 2);
}

TEST(FreeFormatReader, TooFewValuesGoOnToTheNextLines) {
    std::istringstream in("4\n\n0.55\nnext\n");
    FreeFormatReader reader(in, "T");
    int z = 0;
    float ear = 0.0f;
    reader.read("z ear", z, ear);
    EXPECT_EQ(ear, 0.55f);
    EXPECT_EQ(reader.line_number(), 3);
}

TEST(FreeFormatReader, AcceptsFortranRealForms) {
    std::istringstream in("1 1. .5 -2.5E1 1.5D-1 +3 2*0.25\n");
    FreeFormatReader reader(in, "T");
    float a, b, c, d, e, f, g, h;
    reader.read("reals", a, b, c, d, e, f, g, h);
    EXPECT_EQ(a, 1.0f);
    EXPECT_EQ(b, 1.0f);
    EXPECT_EQ(c, 0.5f);
    EXPECT_EQ(d, -25.0f);
    EXPECT_EQ(e, 0.15f);
    EXPECT_EQ(f, 3.0f);
    EXPECT_EQ(g, 0.25f);
    EXPECT_EQ(h, 0.25f);
}

TEST(FreeFormatReader, CarriageReturnsOfDosFilesAreIgnored) {
    std::istringstream in("text\r\n4 0.55\r\n");
    FreeFormatReader reader(in, "T");
    reader.skip_lines(1);
    int z = 0;
    float ear = 0.0f;
    reader.read("z ear", z, ear);
    EXPECT_EQ(z, 4);
    EXPECT_EQ(ear, 0.55f);
}

TEST(FreeFormatReader, ReadTextTakesAFixedWidth) {
    std::istringstream in(" WAGENINGEN B 4.550\nx\n");
    FreeFormatReader reader(in, "T");
    EXPECT_EQ(reader.read_text(25, "label"), " WAGENINGEN B 4.550      ");
}

struct BadRead {
    const char* text;
    const char* message_part;
};

class FreeFormatReaderErrors : public ::testing::TestWithParam<BadRead> {};

TEST_P(FreeFormatReaderErrors, NameTheFileTheLineAndTheProblem) {
    std::istringstream in(GetParam().text);
    FreeFormatReader reader(in, "Korvanti.TSK");
    reader.skip_lines(1);
    int z = 0;
    float ear = 0.0f;
    try {
        reader.read("kanat sayisi", z, ear);
        FAIL() << "no error";
    } catch (const InputError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message_part), std::string::npos)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("Korvanti.TSK"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FreeFormatReaderErrors,
    ::testing::Values(BadRead{"h\nabc 0.5\n",
                              "satir 2: kanat sayisi bekleniyordu; 'abc' bir tamsayi degil"},
                      BadRead{"h\n4.0 0.5\n", "'4.0' bir tamsayi degil"},
                      BadRead{"h\n4 x\n", "'x' bir sayi degil"},
                      BadRead{"h\n4\n", "dosyasi 2 satirdan sonra bitiyor"},
                      BadRead{"h\n", "dosyasi 1 satirdan sonra bitiyor"},
                      BadRead{"h\n4 1-\n", "'1-' bir sayi degil"}));

TEST(FreeFormatReader, SkippingPastTheEndIsAnInputError) {
    std::istringstream in("a\nb\n");
    FreeFormatReader reader(in, "F");
    EXPECT_THROW(reader.skip_lines(3), InputError);
}

}  // namespace
}  // namespace korvanti

namespace korvanti {
namespace {

TEST(FreeFormatReader, SkippingPastTheEndSaysWhereTheFileEnds) {
    std::istringstream in("a\nb\n");
    FreeFormatReader reader(in, "Korvanti.TSK");
    try {
        reader.skip_lines(5);
        FAIL() << "no error";
    } catch (const InputError& e) {
        EXPECT_EQ(
            std::string(e.what()),
            " HATA: Korvanti.TSK dosyasi 2 satirdan sonra bitiyor; baska satirlar bekleniyordu");
    }
}

}  // namespace
}  // namespace korvanti
