// Reading PERVDAT: the record order of the calculator's file, free-form
// values, and one clear message for every kind of damage.
#include <gtest/gtest.h>

#include <sstream>

#include "drawing_fixture.h"
#include "panel_data.h"

namespace telvaro::testing {
namespace {

PanelData read_text(const std::string& text, std::optional<std::string>* error = nullptr) {
    PanelData data;
    std::istringstream in(text);
    auto message = read_panel_data(in, data);
    if (error != nullptr)
        *error = message;
    else
        EXPECT_FALSE(message) << *message;
    return data;
}

TEST(PanelDataReading, EveryRecordLandsInItsTable) {
    const PanelData d = read_text(pervdat_text(small_propeller()));
    EXPECT_EQ(d.M, 3);
    EXPECT_EQ(d.NP(1), 3);
    EXPECT_EQ(d.NP(2), 4);
    EXPECT_EQ(d.NCH(2), 3);
    EXPECT_DOUBLE_EQ(d.xc(1, 1), 0.123);
    EXPECT_DOUBLE_EQ(d.xc(2, 4), -0.24);
    EXPECT_DOUBLE_EQ(d.ys(2, 2), 1.03);
    EXPECT_DOUBLE_EQ(d.yp(2, 2), 0.995);
    EXPECT_DOUBLE_EQ(d.r(3), 2.0);
    EXPECT_DOUBLE_EQ(d.tmax_from_le(2), 0.2);
    EXPECT_DOUBLE_EQ(d.S(kFace, kY, 2, 3), 0.30);
    EXPECT_DOUBLE_EQ(d.S(kBack, kX, 2, 2), 0.03);
    EXPECT_DOUBLE_EQ(d.S(kBack, kZ, 3, 1), 1.999);
    EXPECT_EQ(d.Z, 4);
    EXPECT_DOUBLE_EQ(d.EAR, 0.55);
    EXPECT_DOUBLE_EQ(d.D, 4.0);
    EXPECT_DOUBLE_EQ(d.P_D, 1.0);
    EXPECT_DOUBLE_EQ(d.tmax_line(2, 2, 1), 0.01);
    EXPECT_DOUBLE_EQ(d.tmax_line(3, 1, 3), 2.0);
    EXPECT_EQ(d.NV1, 6);
    EXPECT_EQ(d.NQ1, 3);
    EXPECT_EQ(d.NV2, 0);
    EXPECT_EQ(d.NQ2, 0);
    EXPECT_EQ(d.NH1, 1);
    EXPECT_DOUBLE_EQ(d.vertex(5, 2), -0.2);
    EXPECT_DOUBLE_EQ(d.vertex(1, 3), 0.5);
    EXPECT_EQ(d.panel(2, 1), 2);
    EXPECT_EQ(d.panel(3, 4), 6);
}

// Commas, values of one record spread over two lines, and DOS line ends read
// as the plain file does.
TEST(PanelDataReading, FreeFormLayoutReadsTheSameValues) {
    const std::string plain = pervdat_text(small_propeller());
    std::istringstream lines(plain);
    std::string free_form, line;
    while (std::getline(lines, line)) {
        std::istringstream values(line);
        std::vector<std::string> v;
        std::string value;
        while (values >> value) v.push_back(value);
        for (std::size_t i = 0; i < v.size(); ++i)
            free_form +=
                v[i] + (i + 2 >= v.size() ? "\r\n" : ",");  // last value on a line of its own
    }
    const PanelData a = read_text(plain);
    const PanelData b = read_text(free_form);
    EXPECT_EQ(b.NP(2), 4);
    EXPECT_EQ(b.NH1, a.NH1);
    EXPECT_DOUBLE_EQ(b.yp(2, 3), a.yp(2, 3));
    EXPECT_DOUBLE_EQ(b.S(kBack, kZ, 3, 3), a.S(kBack, kZ, 3, 3));
    EXPECT_DOUBLE_EQ(b.tmax_line(3, 2, 1), a.tmax_line(3, 2, 1));
    EXPECT_DOUBLE_EQ(b.vertex(6, 3), a.vertex(6, 3));
    EXPECT_EQ(b.panel(3, 4), a.panel(3, 4));
}

TEST(PanelDataReading, SurplusValuesOnALineAreIgnored) {
    const std::string text = replace_once(pervdat_text(small_propeller()), "    3\n    3    3\n",
                                          "    3   99\n    3    3   77\n");
    const PanelData d = read_text(text);
    EXPECT_EQ(d.M, 3);
    EXPECT_EQ(d.NP(1), 3);
    EXPECT_DOUBLE_EQ(d.xc(1, 1), 0.123);
}

struct Damage {
    const char* name;
    std::string from, to;
    std::string message;
};

// Line numbers of the fixture: M on line 1; radius 2 starts on line 9 (its
// suction lines 10 to 13); radii on 25 to 27; Z on 85, D on 86; the counts on
// 93; vertices 94 to 99; panels 100 to 102.
TEST(PanelDataReading, DamagedFilesGiveOneMessageNamingLineAndItem) {
    const std::vector<Damage> cases = {
        {"non-number", "   0.10000   1.03000", "   0.10000   1.O3000",
         "PERVDAT satir 11: ys(2,2) icin sayi bekleniyordu, \"1.O3000\" bulundu"},
        {"overflowed field", "   2.00000\n   0.10000", "**********\n   0.10000",
         "PERVDAT satir 27: yaricap r(3) icin sayi bekleniyordu, \"**********\" bulundu"},
        {"too many radii", "    3\n    3    3\n", "   31\n    3    3\n",
         "PERVDAT satir 1: yaricap sayisi M = 31, 1 ile 30 arasinda olmali"},
        {"no radii", "    3\n    3    3\n", "    0\n    3    3\n",
         "PERVDAT satir 1: yaricap sayisi M = 0, 1 ile 30 arasinda olmali"},
        {"count not whole", "    3\n    3    3\n", "  3.0\n    3    3\n",
         "PERVDAT satir 1: yaricap sayisi M icin tamsayi bekleniyordu, \"3.0\" bulundu"},
        {"too many section points", "    4    3\n", "   31    3\n",
         "PERVDAT satir 9: NP(2) = 31, 1 ile 30 arasinda olmali"},
        {"too many surface points", "    4    3\n", "    4   31\n",
         "PERVDAT satir 9: NCH(2) = 31, 1 ile 30 arasinda olmali"},
        {"zero diameter", "   4.00000   1.00000", "   0.00000   1.00000",
         "PERVDAT satir 86: cap D = 0, sifirdan buyuk olmali"},
        {"no blades", "         4   0.55000", "         0   0.55000",
         "PERVDAT satir 85: kanat sayisi Z = 0, 1 ile 20 arasinda olmali"},
        {"too many vertices", "    6    3    0    0    1", " 3001    3    0    0    1",
         "PERVDAT satir 93: dugum sayisi NV1 = 3001, 0 ile 3000 arasinda olmali"},
        {"second mesh too big", "    6    3    0    0    1", "    6    3 2001    0    1",
         "PERVDAT satir 93: ikinci ag dugum sayisi NV2 = 2001, 0 ile 2000 arasinda olmali"},
        {"more hub panels than panels", "    6    3    0    0    1", "    6    3    0    0    4",
         "PERVDAT satir 93: gobek panel sayisi NH1 = 4, 0 ile 3 arasinda olmali"},
        {"vertex beyond the list", "    2    1    5    6", "    2    1    7    6",
         "PERVDAT satir 101: panel 2 kose 3 dugum numarasi = 7, 1 ile 6 arasinda olmali"},
        {"vertex number zero", "    1    2    3    4", "    0    2    3    4",
         "PERVDAT satir 100: panel 1 kose 1 dugum numarasi = 0, 1 ile 6 arasinda olmali"},
    };
    const std::string good = pervdat_text(small_propeller());
    for (const Damage& damage : cases) {
        std::optional<std::string> error;
        read_text(replace_once(good, damage.from, damage.to), &error);
        ASSERT_TRUE(error) << damage.name;
        EXPECT_EQ(*error, damage.message) << damage.name;
    }
}

// Cutting the file after any line of records 1 to 12 leaves it short; the
// strip table after them is not needed.
TEST(PanelDataReading, FileCutAnywhereBeforeTheStripTableIsShort) {
    const std::string good = pervdat_text(small_propeller());
    std::vector<std::size_t> line_ends;
    for (std::size_t i = 0; i < good.size(); ++i)
        if (good[i] == '\n') line_ends.push_back(i + 1);
    ASSERT_GT(line_ends.size(), 102u);
    for (std::size_t lines = 0; lines < 102; ++lines) {
        std::optional<std::string> error;
        read_text(good.substr(0, lines == 0 ? 0 : line_ends[lines - 1]), &error);
        ASSERT_TRUE(error) << "cut after " << lines << " lines";
        EXPECT_EQ(error->rfind("PERVDAT eksik: ", 0), 0u) << *error;
        EXPECT_NE(error->find("(" + std::to_string(lines) + " satir okundu)"), std::string::npos)
            << *error;
    }
    read_text(good.substr(0, line_ends[101]));
}

TEST(PanelDataReading, ShortMessageNamesTheMissingItem) {
    std::optional<std::string> error;
    read_text("    3\n    3    3\n   0.12300   0.15000\n   0.00000\n", &error);
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, "PERVDAT eksik: ys(1,2) okunamadan dosya bitti (4 satir okundu)");
}

}  // namespace
}  // namespace telvaro::testing
