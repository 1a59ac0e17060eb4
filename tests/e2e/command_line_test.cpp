// The command lines of both programs, run as a user or a script would run
// them: run values as options against the equivalent task file, drawings
// chosen by options against the same answers typed in, --help and
// --version, -C, the B-series tables found beside an installed Korvanti, and
// the sweep script of examples/. Bad options are rows of the bad-input
// catalogue.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/child_process.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {

namespace fs = std::filesystem;

const fs::path source_dir = KORVANTI_SOURCE_DIR;
const fs::path b4_55_reference = source_dir / "tests/regression/reference/B4-55";

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> items;
    for (std::string item; in >> item;) items.push_back(item);
    return items;
}

ChildResult run_with(const std::string& exe, const fs::path& dir,
                     std::vector<std::string> arguments, const std::string& input = "") {
    ChildOptions options;
    options.arguments = std::move(arguments);
    options.input = input;
    return run_child(exe, dir, options);
}

// The options that say what lines 40 to 67 of an example task file say. The
// series goes by name or by number, and the blade count of a three-bladed
// series is left out, so that both ways are run.
std::vector<std::string> options_of(const std::vector<std::string>& task, bool series_by_name) {
    const auto line = [&](int number) { return words(task.at(static_cast<size_t>(number - 1))); };
    const int series = std::stoi(line(40).at(0));
    const char* names[] = {"B", "Ka", "Kc", "KC101", "Gawn", "NR", "AU"};
    std::vector<std::string> options = {
        "--series", series_by_name ? names[series - 1] : std::to_string(series)};
    const bool three_bladed = series >= 4 && series <= 6;
    if (!(three_bladed && line(43).at(0) == "3"))
        options.insert(options.end(), {"--blades", line(43).at(0)});
    options.insert(options.end(), {"--area-ratio=" + line(43).at(1), "--pitch-ratio",
                                   line(50).at(0), "--diameter", line(50).at(1)});
    if (std::stof(line(47).at(0)) < 0.5f) options.insert(options.end(), {"--hand", "left"});
    if (line(57).at(0) == "1") options.push_back("--nose-tail");
    if (line(67).at(0) == "2") options.insert(options.end(), {"--report-radii", line(67).at(1)});
    return options;
}

std::vector<fs::path> example_task_files() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(source_dir / "examples"))
        if (entry.path().extension() == ".TSK") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Every example (all seven series, both hands, both report modes, the
// nose-tail option) run once on its task file and once from options in a
// directory holding another task file: the written task file has the
// example's lines (line 34 describes the run), and every output file and the
// console are the same byte for byte.
TEST(KorvantiOptions, GiveTheRunOfTheEquivalentTaskFile) {
    const std::string data = read_file(source_dir / "data/WAGBPROP.DAT");
    const auto examples = example_task_files();
    ASSERT_EQ(examples.size(), 20u);
    bool by_name = false;
    std::set<std::string> series_seen;
    for (const fs::path& example : examples) {
        SCOPED_TRACE(example.filename().string());
        const auto task = read_lines(example);
        ASSERT_EQ(task.size(), 68u);
        series_seen.insert(words(task[39]).at(0));
        by_name = !by_name;
        const auto options = options_of(task, by_name);

        ScratchDir from_file;
        write_file(from_file.path() / "Korvanti.TSK", read_file(example));
        write_file(from_file.path() / "WAGBPROP.DAT", data);
        const ChildResult file_run = run_with(KORVANTI_EXE, from_file.path(), {});

        ScratchDir from_options;
        write_file(from_options.path() / "Korvanti.TSK", read_file(examples.front()));
        write_file(from_options.path() / "WAGBPROP.DAT", data);
        const ChildResult option_run = run_with(KORVANTI_EXE, from_options.path(), options);

        ASSERT_EQ(file_run.exit_status, 0) << file_run.output;
        ASSERT_EQ(option_run.exit_status, 0) << option_run.output;
        EXPECT_EQ(option_run.output, file_run.output);
        EXPECT_EQ(names_in(from_options.path()), names_in(from_file.path()));
        for (const std::string& name : calculator_outputs)
            EXPECT_TRUE(read_file(from_options.path() / name) == read_file(from_file.path() / name))
                << name << " differs";

        const auto written = read_lines(from_options.path() / "Korvanti.TSK");
        ASSERT_EQ(written.size(), task.size());
        for (size_t k = 0; k < task.size(); ++k) {
            const int number = static_cast<int>(k) + 1;
            if (number == 34)
                EXPECT_EQ(written[k].rfind(" KOMUT SATIRINDAN: ", 0), 0u) << written[k];
            else if (std::set<int>{40, 43, 47, 50, 57}.count(number) != 0)
                EXPECT_EQ(words(written[k]), words(task[k])) << "line " << number;
            else if (number == 67 && words(task[k]).at(0) == "1")
                EXPECT_EQ(words(written[k]).at(0), "1") << "line 67";
            else
                EXPECT_EQ(written[k], task[k]) << "line " << number;
        }
    }
    EXPECT_EQ(series_seen.size(), 7u);
}

TEST(KorvantiOptions, DescribeTheRunOnLine34) {
    ScratchDir dir;
    const ChildResult run = run_with(
        KORVANTI_EXE, dir.path(),
        {"--series=ka", "--blades=4", "--area-ratio=0.70", "--pitch-ratio=1.0", "--diameter=2.0",
         "--hand=left", "--nose-tail", "--report-radii=11", "--no-pause"});
    ASSERT_EQ(run.exit_status, 0) << run.output;
    const auto task = read_lines(dir.path() / "Korvanti.TSK");
    EXPECT_EQ(task.at(33),
              " KOMUT SATIRINDAN: Wageningen Ka nozullu, Z=4, Ear=0.70, P/D=1.0, D=2.0 m, sol el, "
              "burun-kuyruk hatti, rapor modu 2 (11 yaricap)");
    EXPECT_EQ(task.at(39), "2");
    EXPECT_EQ(task.at(42), "4   0.70");
    EXPECT_EQ(task.at(46), "0");
    EXPECT_EQ(task.at(49), "1.0   2.0");
    EXPECT_EQ(task.at(56), "1");
    EXPECT_EQ(task.at(66), "2   11");
}

// A series check stops the run: the values were valid for the task file, so
// the task file is written; the run ends with status 1, as on the file.
TEST(KorvantiOptions, SeriesStopEndsWithStatusOne) {
    ScratchDir dir;
    const ChildResult run =
        run_with(KORVANTI_EXE, dir.path(),
                 {"--series=Gawn", "--area-ratio=0.05", "--pitch-ratio=1.0", "--diameter=2.0"});
    EXPECT_EQ(run.exit_status, 1) << run.output;
    EXPECT_NE(run.output.find(" Ear DEGERINI SINIRLAR DAHILINDE GIRINIZ - STOP\n"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(read_lines(dir.path() / "Korvanti.TSK").at(42), "3   0.05");
    EXPECT_EQ(names_in(dir.path()), (std::set<std::string>{"Korvanti.SON", "Korvanti.TSK"}));
}

// The program on a terminal (a pseudo-terminal), its output read as it comes.
class TerminalRun {
public:
    TerminalRun(const fs::path& dir, const std::vector<std::string>& arguments) {
        std::vector<char*> argv{const_cast<char*>(KORVANTI_EXE)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        pid_ = forkpty(&terminal_, nullptr, nullptr, nullptr);
        if (pid_ == 0) {
            if (chdir(dir.c_str()) != 0) _exit(126);
            execv(KORVANTI_EXE, argv.data());
            _exit(127);
        }
    }
    ~TerminalRun() {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (terminal_ >= 0) close(terminal_);
    }
    TerminalRun(const TerminalRun&) = delete;
    TerminalRun& operator=(const TerminalRun&) = delete;

    // Reads until the output holds `text` or nothing comes for `wait_ms`.
    bool wait_for(const std::string& text, int wait_ms = 10000) {
        char buffer[4096];
        while (output_.find(text) == std::string::npos) {
            pollfd fd{terminal_, POLLIN, 0};
            if (poll(&fd, 1, wait_ms) <= 0) return false;
            const ssize_t n = read(terminal_, buffer, sizeof buffer);
            if (n <= 0) return false;
            output_.append(buffer, static_cast<size_t>(n));
        }
        return true;
    }
    // The exit status once the program has ended within `wait_ms`; -1 otherwise.
    int status_within(int wait_ms) {
        for (int waited = 0; waited <= wait_ms; waited += 10) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                ended_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(10000);
        }
        return -1;
    }
    void type(const std::string& text) {
        ASSERT_EQ(write(terminal_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    const std::string& output() const { return output_; }

private:
    int terminal_ = -1;
    pid_t pid_ = -1;
    bool ended_ = false;
    std::string output_;
};

// On a terminal a finished run waits at its pause for Enter; with --no-pause
// it ends at once, as it does whenever standard input is not a terminal.
TEST(KorvantiOptions, NoPauseEndsWithoutEnterOnATerminal) {
    const std::string pause_text = "SONLANDIRMAK ICIN `ENTER` TUSUNA BASINIZ";
    ScratchDir dir;
    prepare_run(dir.path(), "B4-55.TSK");
    {
        TerminalRun run(dir.path(), {});
        ASSERT_TRUE(run.wait_for(pause_text)) << run.output();
        EXPECT_EQ(run.status_within(300), -1) << "no wait at the pause";
        run.type("\n");
        EXPECT_TRUE(run.wait_for("Stop - Program terminated.")) << run.output();
        EXPECT_EQ(run.status_within(10000), 0) << run.output();
    }
    {
        TerminalRun run(dir.path(), {"--no-pause"});
        EXPECT_TRUE(run.wait_for("Stop - Program terminated.")) << run.output();
        EXPECT_EQ(run.status_within(10000), 0) << run.output();
        EXPECT_NE(run.output().find(pause_text), std::string::npos);
    }
}

// -C: the files go to the directory named, relative to the working one.
TEST(KorvantiOptions, DirectoryOptionRunsThere) {
    ScratchDir dir;
    fs::create_directories(dir.path() / "sweep/B4-55");
    write_file(dir.path() / "sweep/B4-55/WAGBPROP.DAT",
               read_file(source_dir / "data/WAGBPROP.DAT"));
    const ChildResult run =
        run_with(KORVANTI_EXE, dir.path(),
                 {"-C", "sweep/B4-55", "--series=1", "--blades=4", "--area-ratio=0.55",
                  "--pitch-ratio=1.0", "--diameter=2.0", "--no-pause"});
    ASSERT_EQ(run.exit_status, 0) << run.output;
    EXPECT_EQ(names_in(dir.path()), std::set<std::string>{"sweep"});
    for (const std::string& name : calculator_outputs)
        EXPECT_TRUE(read_file(dir.path() / "sweep/B4-55" / name) ==
                    read_file(b4_55_reference / name))
            << name << " differs from the reviewed B4-55 reference";

    // Without run values, -C runs on the task file that is there.
    const ChildResult again = run_with(KORVANTI_EXE, dir.path(), {"--directory=sweep/B4-55"});
    EXPECT_EQ(again.exit_status, 0) << again.output;
    EXPECT_EQ(again.output, read_file(b4_55_reference / "Korvanti.console"));
}

struct HelpCase {
    std::string program;
    std::vector<std::string> must_name;
};

// --help and --version: standard output only, status 0, no file written,
// whatever else the command line holds after them.
TEST(CommandLine, HelpAndVersionGoToStandardOutput) {
    std::vector<HelpCase> cases = {
        {KORVANTI_EXE,
         {"Usage: Korvanti [OPTION]...", "--directory=DIR", "--series=S", "--blades=Z",
          "--area-ratio=EAR", "--hand=left|right", "--pitch-ratio=PD", "--diameter=D",
          "--nose-tail", "--report-radii=N", "--no-pause", "--help", "--version", "Korvanti.TSK",
          "WAGBPROP.DAT", "PERVDAT", "Exit status:", "  2  a bad option"}}};
#ifdef TELVARO_EXE
    cases.push_back({TELVARO_EXE,
                     {"Usage: TELVARO_3B_CIZIMLER [OPTION]...", "--directory=DIR", "--form-plans",
                      "--scale=S", "--panel-view=WHAT", "--one-blade", "--help", "--version",
                      "PERVDAT", "TELVARO_3B_CIZIMLER.SCR", "Exit status:"}});
#endif
    for (const HelpCase& c : cases) {
        const std::string name = fs::path(c.program).filename().string();
        SCOPED_TRACE(name);
        ScratchDir dir;
        ChildOptions options;
        options.separate_error = true;
        options.arguments = {"--help", "--bogus"};
        const ChildResult help = run_child(c.program, dir.path(), options);
        EXPECT_EQ(help.exit_status, 0);
        EXPECT_EQ(help.error, "");
        for (const std::string& text : c.must_name)
            EXPECT_NE(help.output.find(text), std::string::npos) << text << " in\n" << help.output;

        options.arguments = {"--version"};
        const ChildResult version = run_child(c.program, dir.path(), options);
        EXPECT_EQ(version.exit_status, 0);
        EXPECT_EQ(version.error, "");
        EXPECT_EQ(version.output.substr(0, version.output.find('\n')), name + " 1.0.0");
        EXPECT_TRUE(fs::is_empty(dir.path()));

        // A bad option goes to standard error alone.
        options.arguments = {"--bogus"};
        const ChildResult bad = run_child(c.program, dir.path(), options);
        EXPECT_EQ(bad.exit_status, 2);
        EXPECT_EQ(bad.output, "");
        EXPECT_EQ(std::count(bad.error.begin(), bad.error.end(), '\n'), 1) << bad.error;
    }
}

// ---------------------------------------------------------------------------
// The B-series tables when the working directory has none.

const std::string fallback_notice = " WAGBPROP.DAT CALISMA DIZININDE YOK; OKUNAN DOSYA: ";

// The console of the B4-55 run with the notice naming `data_file` after the
// series list, before the B-series progress lines; every output file as in
// the reviewed reference.
void expect_b4_55_run_reading(const ChildResult& run, const fs::path& dir,
                              const fs::path& data_file) {
    ASSERT_EQ(run.exit_status, 0) << run.output;
    const std::string notice = fallback_notice + data_file.lexically_normal().string() + "\n";
    const size_t at = run.output.find(notice);
    ASSERT_NE(at, std::string::npos) << run.output;
    std::string without = run.output;
    without.erase(at, notice.size());
    EXPECT_EQ(without, read_file(b4_55_reference / "Korvanti.console"));
    for (const std::string& name : calculator_outputs)
        EXPECT_TRUE(read_file(dir / name) == read_file(b4_55_reference / name)) << name;
    EXPECT_FALSE(fs::exists(dir / "WAGBPROP.DAT"));
}

TEST(BSeriesTables, BuildTreeProgramReadsTheRepositoryCopy) {
    ScratchDir dir;
    write_file(dir.path() / "Korvanti.TSK", read_file(source_dir / "examples/B4-55.TSK"));
    const ChildResult run = run_with(KORVANTI_EXE, dir.path(), {});
    expect_b4_55_run_reading(run, dir.path(),
                             fs::weakly_canonical(source_dir / "data/WAGBPROP.DAT"));

    // A file in the working directory wins, and nothing is said.
    write_file(dir.path() / "WAGBPROP.DAT", read_file(source_dir / "data/WAGBPROP.DAT"));
    const ChildResult local = run_with(KORVANTI_EXE, dir.path(), {});
    EXPECT_EQ(local.output, read_file(b4_55_reference / "Korvanti.console"));
}

// The installed layout made by hand: bin/Korvanti and share/korvanti/.
TEST(BSeriesTables, CopyBesideTheProgramIsReadAndDamageNamesIt) {
    ScratchDir prefix;
    fs::create_directories(prefix.path() / "bin");
    fs::create_directories(prefix.path() / "share/korvanti");
    fs::copy_file(KORVANTI_EXE, prefix.path() / "bin/Korvanti");
    const fs::path installed = prefix.path() / "share/korvanti/WAGBPROP.DAT";
    write_file(installed, read_file(source_dir / "data/WAGBPROP.DAT"));
    fs::create_directory(prefix.path() / "run");
    write_file(prefix.path() / "run/Korvanti.TSK", read_file(source_dir / "examples/B4-55.TSK"));
    const ChildResult run =
        run_with((prefix.path() / "bin/Korvanti").string(), prefix.path() / "run", {});
    expect_b4_55_run_reading(run, prefix.path() / "run", installed);

    // A damaged installed copy: the error names it in full.
    auto lines = read_lines(installed);
    lines.at(0) = "99";
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    write_file(installed, text);
    const ChildResult damaged =
        run_with((prefix.path() / "bin/Korvanti").string(), prefix.path() / "run", {});
    EXPECT_EQ(damaged.exit_status, 1);
    EXPECT_NE(damaged.output.find(" HATA: " + installed.string() + ", satir 1: "),
              std::string::npos)
        << damaged.output;
}

// cmake --install into a scratch prefix: the programs, the window module,
// the data file and the manual pages; the installed Korvanti runs a B-series
// task from options in an empty directory on the installed tables.
TEST(Install, GivesAKorvantiThatRunsOnTheInstalledTables) {
    ScratchDir prefix;
    const int status = std::system(("cmake --install '" + std::string(KORVANTI_BINARY_DIR) +
                                    "' --prefix '" + prefix.path().string() + "' >/dev/null")
                                       .c_str());
    ASSERT_EQ(status, 0);
    const fs::path p = prefix.path();
    for (const char* file :
         {"bin/Korvanti", "share/korvanti/WAGBPROP.DAT", "share/man/man1/Korvanti.1"})
        EXPECT_TRUE(fs::is_regular_file(p / file)) << file;
#ifdef TELVARO_EXE
    for (const char* file : {"bin/TELVARO_3B_CIZIMLER", "share/man/man1/TELVARO_3B_CIZIMLER.1"})
        EXPECT_TRUE(fs::is_regular_file(p / file)) << file;
    // The window module in its private folder, lib/<multiarch triplet>/korvanti.
    int modules = 0;
    for (const auto& entry : fs::recursive_directory_iterator(p / "lib"))
        if (entry.path().filename() == "TELVARO_3B_CIZIMLER_window.so" &&
            entry.path().parent_path().filename() == "korvanti")
            ++modules;
    EXPECT_EQ(modules, 1);
#endif
#ifdef REPORT_EXE
    for (const char* file : {"bin/korvanti-report", "share/man/man1/korvanti-report.1"})
        EXPECT_TRUE(fs::is_regular_file(p / file)) << file;
#endif
    EXPECT_TRUE(read_file(p / "share/korvanti/WAGBPROP.DAT") ==
                read_file(source_dir / "data/WAGBPROP.DAT"));
    const std::string page = read_file(p / "share/man/man1/Korvanti.1");
    EXPECT_NE(page.find(".TH KORVANTI \"1\""), std::string::npos) << page.substr(0, 300);
    EXPECT_NE(page.find("\\-\\-area\\-ratio"), std::string::npos);

    fs::create_directory(p / "run");
    const ChildResult run = run_with((p / "bin/Korvanti").string(), p / "run",
                                     {"--series=B", "--blades=4", "--area-ratio=0.55",
                                      "--pitch-ratio=1.0", "--diameter=2.0", "--no-pause"});
    expect_b4_55_run_reading(run, p / "run", p / "share/korvanti/WAGBPROP.DAT");
}

// ---------------------------------------------------------------------------
// The drawing generator.

#ifdef TELVARO_EXE
struct DrawingCase {
    std::vector<std::string> options;
    std::string answers;
};

// The drawing chosen by options: the script and the console are those of the
// same answers on standard input; no window even with a display named.
TEST(DrawingOptions, GiveTheScriptOfTheSameAnswers) {
    const std::string panel_data = read_file(b4_55_reference / "PERVDAT");
    const std::vector<DrawingCase> cases = {
        {{"--form-plans", "--scale=0.05"}, "1\n0.05\n"},
        {{"--form-plans"}, "1\n1\n"},
        {{"--form-plans", "--scale", "5"}, "1\n5\n"},
        {{"--panel-view", "blade"}, "2\n1\nE\n"},
        {{"--panel-view=hub"}, "2\n2\nE\n"},
        {{"--panel-view=both", "--one-blade"}, "2\n3\nH\n"},
    };
    for (const DrawingCase& c : cases) {
        SCOPED_TRACE(c.answers);
        ScratchDir typed;
        write_file(typed.path() / "PERVDAT", panel_data);
        ChildOptions typed_options;
        typed_options.input = c.answers;
        const ChildResult typed_run = run_child(TELVARO_EXE, typed.path(), typed_options);
        ASSERT_EQ(typed_run.exit_status, 0) << typed_run.output;

        ScratchDir chosen;
        write_file(chosen.path() / "PERVDAT", panel_data);
        write_file(chosen.path() / "TELVARO_3B_CIZIMLER.SCR", "eski cizim\n");
        ChildOptions chosen_options;
        chosen_options.arguments = c.options;
        chosen_options.input = "2\n2\nH\n";  // never read
        chosen_options.environment = {{"DISPLAY", ":12345"}};
        const ChildResult chosen_run = run_child(TELVARO_EXE, chosen.path(), chosen_options);
        ASSERT_EQ(chosen_run.exit_status, 0) << chosen_run.output;

        std::string expected = typed_run.output;
        const std::string typed_dir = typed.path().string();
        for (size_t at = expected.find(typed_dir); at != std::string::npos;
             at = expected.find(typed_dir, at + chosen.path().string().size()))
            expected.replace(at, typed_dir.size(), chosen.path().string());
        EXPECT_EQ(chosen_run.output, expected);
        EXPECT_TRUE(read_file(chosen.path() / "TELVARO_3B_CIZIMLER.SCR") ==
                    read_file(typed.path() / "TELVARO_3B_CIZIMLER.SCR"));
    }
}

TEST(DrawingOptions, DirectoryOptionDrawsThere) {
    ScratchDir dir;
    fs::create_directory(dir.path() / "B4-55");
    write_file(dir.path() / "B4-55/PERVDAT", read_file(b4_55_reference / "PERVDAT"));
    const ChildResult run =
        run_with(TELVARO_EXE, dir.path(), {"-C", "B4-55", "--panel-view=blade"});
    ASSERT_EQ(run.exit_status, 0) << run.output;
    EXPECT_EQ(names_in(dir.path() / "B4-55"),
              (std::set<std::string>{"PERVDAT", "TELVARO_3B_CIZIMLER.SCR",
                                     "TELVARO_3B_CIZIMLER.dxf", "TELVARO_3B_CIZIMLER.pdf",
                                     "TELVARO_3B_CIZIMLER.png", "TELVARO_3B_CIZIMLER.svg"}));
    EXPECT_EQ(names_in(dir.path()), std::set<std::string>{"B4-55"});
}
#endif

// ---------------------------------------------------------------------------
// examples/sweep.sh

struct SweepRow {
    std::string ear, pd, mass, inertia, dir;
};

// The B-series sweep: one directory per propeller and a table of blade mass
// and inertia. A B-series section scales with the chord c = K·D·Ear/Z along
// the chord and with tm = (Ar - Br·Z)·D across it, neither of which depends
// on the pitch: both pitch ratios give the same figures, and mass and
// inertia are proportional to Ear (within the last printed digit). Ear 0.55
// gives the reviewed B4-55 figures (106.6 kg, 29.58 kg*m2).
TEST(SweepScript, RunsTheSweepAndTabulatesMassAndInertia) {
    ScratchDir dir;
    const std::string command = "KORVANTI='" + std::string(KORVANTI_EXE) + "' sh '" +
                                (source_dir / "examples/sweep.sh").string() + "' sweep > table.txt";
    ASSERT_EQ(std::system(("cd '" + dir.path().string() + "' && " + command).c_str()), 0)
        << read_file(dir.path() / "table.txt");
    const auto lines = read_lines(dir.path() / "table.txt");
    ASSERT_EQ(lines.size(), 11u) << read_file(dir.path() / "table.txt");
    EXPECT_EQ(words(lines[0]), (std::vector<std::string>{"Z", "Ear", "P/D", "D(m)", "m(kg)",
                                                         "Iox(kg*m2)", "directory"}));
    std::vector<SweepRow> rows;
    for (size_t k = 1; k < lines.size(); ++k) {
        const auto w = words(lines[k]);
        ASSERT_EQ(w.size(), 7u) << lines[k];
        EXPECT_EQ(w[0], "4");
        EXPECT_EQ(w[3], "2.0");
        rows.push_back({w[1], w[2], w[4], w[5], w[6]});
        EXPECT_TRUE(fs::is_regular_file(dir.path() / w[6] / "Korvanti.SON")) << w[6];
        EXPECT_TRUE(fs::is_regular_file(dir.path() / w[6] / "Korvanti.TSK")) << w[6];
    }
    const std::vector<std::string> ears = {"0.40", "0.55", "0.70", "0.85", "1.00"};
    for (size_t k = 0; k < ears.size(); ++k) {
        const SweepRow& low = rows[2 * k];
        const SweepRow& high = rows[2 * k + 1];
        EXPECT_EQ(low.ear, ears[k]);
        EXPECT_EQ(high.ear, ears[k]);
        EXPECT_EQ(low.pd, "0.8");
        EXPECT_EQ(high.pd, "1.2");
        EXPECT_EQ(low.mass, high.mass) << ears[k];
        EXPECT_EQ(low.inertia, high.inertia) << ears[k];
        const double ear = std::stod(ears[k]);
        EXPECT_NEAR(std::stod(low.mass), ear * std::stod(rows[8].mass), 0.1) << ears[k];
        EXPECT_NEAR(std::stod(low.inertia), ear * std::stod(rows[8].inertia), 0.01) << ears[k];
    }
    EXPECT_EQ(rows[2].mass, "106.6");
    EXPECT_EQ(rows[2].inertia, "29.58");
    EXPECT_NE(read_file(dir.path() / rows[2].dir / "Korvanti.TSK").find("\n4   0.55\n"),
              std::string::npos);
}

}  // namespace
}  // namespace korvanti::testing
