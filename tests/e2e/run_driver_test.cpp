// Runs the real calculator in a scratch working directory, as a user would.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace korvanti::testing {
namespace {

namespace fs = std::filesystem;

TEST(RunDriver, BannerSeparatorAndNoticeFrameTheResultFile) {
    ScratchDir dir;
    prepare_run(dir.path(), "B4-55.TSK");
    ProgramRun run = run_program(KORVANTI_EXE, dir.path());
    EXPECT_EQ(run.exit_status, 0) << run.output;
    auto lines = read_lines(dir.path() / "Korvanti.SON");
    ASSERT_GT(lines.size(), 29u);
    EXPECT_EQ(lines[0], " " + std::string(78, '='));
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], std::string(59, '='));
    size_t n = lines.size();
    EXPECT_EQ(lines[n - 1], "   " + std::string(42, '-') + " ");
    EXPECT_EQ(lines[n - 16], lines[n - 1]);
    for (size_t k = n - 20; k < n - 16; ++k) EXPECT_EQ(lines[k], "");
}

TEST(RunDriver, ConsoleShowsBannerMenuProgressAndClosingPause) {
    ScratchDir dir;
    prepare_run(dir.path(), "B4-55.TSK");
    ProgramRun run = run_program(KORVANTI_EXE, dir.path());
    const std::string& out = run.output;
    EXPECT_EQ(out.find(" " + std::string(78, '=')), 0u);
    std::string menu_line = "     <6> NEWTON-RADER Ear=0.48, 0.71, 0.95";
    menu_line.resize(49, ' ');
    EXPECT_NE(out.find("\n" + menu_line + "\n"), std::string::npos);
    std::string progress = " **** PROGRAM CALISIYOR. BIRAZ BEKLEYIN.  *****";
    progress.resize(49, ' ');
    EXPECT_NE(out.find("\n" + progress + "\n"), std::string::npos);
    EXPECT_NE(out.find("\n PROGRAM CALISMASI BITTI.  SONLANDIRMAK ICIN `ENTER` TUSUNA BASINIZ\n"
                       "Stop - Program terminated.\n"),
              std::string::npos)
        << out;
}

TEST(RunDriver, MissingTaskFileIsAnInputError) {
    ScratchDir dir;
    ProgramRun run = run_program(KORVANTI_EXE, dir.path());
    EXPECT_NE(run.exit_status, 0);
    EXPECT_NE(run.output.find("Korvanti.TSK"), std::string::npos) << run.output;
}

TEST(RunDriver, BadValueLineLeavesOnlyTheBanner) {
    ScratchDir dir;
    prepare_run(dir.path(), "B4-55.TSK");
    auto lines = read_lines(dir.path() / "Korvanti.TSK");
    lines[42] = "dort 0.55";
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    write_file(dir.path() / "Korvanti.TSK", text);
    ProgramRun run = run_program(KORVANTI_EXE, dir.path());
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_NE(run.output.find("Korvanti.TSK, satir 43"), std::string::npos) << run.output;
    EXPECT_EQ(read_lines(dir.path() / "Korvanti.SON").size(), 7u);
}

TEST(RunDriver, DosLineEndsReadTheSame) {
    ScratchDir dir;
    prepare_run(dir.path(), "B4-55.TSK");
    auto lines = read_lines(dir.path() / "Korvanti.TSK");
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    write_file(dir.path() / "Korvanti.TSK", text);
    ProgramRun run = run_program(KORVANTI_EXE, dir.path());
    EXPECT_EQ(run.exit_status, 0) << run.output;
}

}  // namespace
}  // namespace korvanti::testing
