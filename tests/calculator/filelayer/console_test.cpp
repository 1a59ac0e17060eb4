#include "filelayer/console.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "filelayer/errors.h"
#include "support/test_support.h"

namespace korvanti {
namespace {

TEST(Console, PauseShowsTheDefaultTextAndConsumesOneLine) {
    std::ostringstream out;
    std::istringstream in("\nnext\n");
    Console console(out, in);
    console.pause();
    EXPECT_EQ(out.str(), "Pause - Please enter a blank line (to continue) or a DOS command.\n");
    std::string line;
    ASSERT_TRUE(console.keyboard_line(line));
    EXPECT_EQ(line, "next");
}

TEST(Console, EndOfInputAtAPauseCountsAsEnter) {
    std::ostringstream out;
    std::istringstream in("");
    Console console(out, in);
    console.pause(" metin");
    EXPECT_EQ(out.str(), " metin\n");
}

TEST(Console, ACommandTypedAtAPauseRunsOnlyFromATerminal) {
    testing::ScratchDir dir;
    std::ostringstream out;
    std::istringstream piped("touch made-by-pause\n");
    {
        Console console(out, piped, false);
        console.pause();
    }
    EXPECT_FALSE(std::filesystem::exists("made-by-pause"));
    std::istringstream typed("touch made-by-pause\n");
    {
        Console console(out, typed, true);
        console.pause();
    }
    EXPECT_TRUE(std::filesystem::exists("made-by-pause"));
}

TEST(Console, StopShowsItsTextAndUnwinds) {
    std::ostringstream out;
    std::istringstream in;
    Console console(out, in);
    EXPECT_THROW(console.stop(), RunStop);
    EXPECT_EQ(out.str(), "Stop - Program terminated.\n");
    try {
        console.stop("problem at 2 .line - stop");
    } catch (const RunStop& s) {
        EXPECT_EQ(s.text(), "problem at 2 .line - stop");
    }
}

}  // namespace
}  // namespace korvanti
