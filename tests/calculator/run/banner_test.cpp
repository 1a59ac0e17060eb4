#include "run/banner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "filelayer/console.h"

namespace korvanti {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

TEST(Banner, SevenLinesOf79CharactersToConsoleAndResult) {
    std::ostringstream console, result;
    std::istringstream in;
    Console to_console(console, in);
    show_banner(result, to_console);
    EXPECT_EQ(console.str(), result.str());
    auto lines = lines_of(result.str());
    ASSERT_EQ(lines.size(), 7u);
    for (const auto& line : lines) EXPECT_EQ(line.size(), 79u) << line;
    EXPECT_EQ(lines[0], " " + std::string(78, '='));
    EXPECT_EQ(lines[6], lines[0]);
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(lines[k][1], '!');
        EXPECT_EQ(lines[k][78], '!');
    }
    EXPECT_EQ(lines[1].substr(0, 46), " ! Program: Korvanti  Versiyon: 29/06/2012   -");
    EXPECT_EQ(lines[3],
              " !   Wageningen B, Ka, Kc, Gawn, KCA ve Newton-Rader, Au Serisi Pervanelerin  !");
    EXPECT_EQ(lines[5], " !" + std::string(20, ' ') + "Geometrilerini Hesap Programi" +
                            std::string(27, ' ') + "!");
}

TEST(AuthorNotice, BlankLinesThenSixteenFramedLinesOf46) {
    std::ostringstream out;
    write_author_notice(out, 4);
    auto lines = lines_of(out.str());
    ASSERT_EQ(lines.size(), 20u);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(lines[k], "");
    const std::string border = "   " + std::string(42, '-') + " ";
    EXPECT_EQ(lines[4], border);
    EXPECT_EQ(lines[19], border);
    for (int k = 5; k < 19; ++k) {
        ASSERT_EQ(lines[k].size(), 46u) << lines[k];
        EXPECT_EQ(lines[k].substr(0, 3), "  |");
        EXPECT_EQ(lines[k][45], '|');
    }
    EXPECT_NE(lines[9].find("@example.org"), std::string::npos);
    EXPECT_EQ(lines[12], "  |" + std::string(42, ' ') + "|");
}

}  // namespace
}  // namespace korvanti
