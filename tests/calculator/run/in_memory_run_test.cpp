// A run whose output files go to a memory sink builds exactly the files a
// run in the working directory writes, and writes nothing to the disk.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "filelayer/console.h"
#include "filelayer/errors.h"
#include "filelayer/output_file.h"
#include "run/run_driver.h"
#include "support/test_support.h"

namespace korvanti {
namespace {

namespace fs = std::filesystem;

struct InMemoryRun {
    std::string result;
    std::string console;
    std::map<std::string, std::string> files;
};

// Keeps only the files named.
class SomeFiles : public MemoryOutput {
public:
    explicit SomeFiles(std::set<std::string> wanted) : wanted_(std::move(wanted)) {}
    bool wants(const std::string& name) const override { return wanted_.count(name) != 0; }

private:
    std::set<std::string> wanted_;
};

InMemoryRun run_in_memory(const std::string& task_text, MemoryOutput&& memory = MemoryOutput()) {
    InMemoryRun run;
    std::ostringstream console;
    std::istringstream keyboard;
    Console to_console(console, keyboard);
    OutputRedirect to_memory(memory);
    std::istringstream task(task_text);
    std::ostringstream result;
    calculate_propeller(task, result, to_console);
    run.result = result.str();
    run.console = console.str();
    run.files = memory.files();
    return run;
}

class InMemoryRunOfEveryExample : public ::testing::TestWithParam<std::string> {};

TEST_P(InMemoryRunOfEveryExample, BuildsTheFilesOfARunOnDiskByteForByte) {
    testing::ScratchDir dir;
    testing::prepare_run(dir.path(), GetParam());
    const std::set<std::string> inputs = testing::names_in(dir.path());

    InMemoryRun memory = run_in_memory(testing::read_file(dir.path() / "Korvanti.TSK"));
    EXPECT_EQ(testing::names_in(dir.path()), inputs)
        << "the in-memory run wrote to the working directory";

    std::ostringstream console;
    std::istringstream keyboard;
    {
        Console to_console(console, keyboard);
        ASSERT_EQ(run_calculator(to_console), 0) << console.str();
    }

    std::set<std::string> written;
    for (const auto& name : testing::names_in(dir.path()))
        if (!inputs.count(name)) written.insert(name);
    ASSERT_TRUE(written.count("Korvanti.SON"));
    EXPECT_EQ(memory.result, testing::read_file(dir.path() / "Korvanti.SON"));
    written.erase("Korvanti.SON");

    std::set<std::string> in_memory;
    for (const auto& [name, text] : memory.files) in_memory.insert(name);
    EXPECT_EQ(in_memory, written);
    EXPECT_EQ(in_memory.size(), 7u);
    for (const auto& [name, text] : memory.files)
        EXPECT_EQ(text, testing::read_file(dir.path() / name)) << name;
    // The console of the run on disk only adds the closing pause.
    EXPECT_EQ(console.str().substr(0, memory.console.size()), memory.console);
}

INSTANTIATE_TEST_SUITE_P(Examples, InMemoryRunOfEveryExample,
                         ::testing::Values("B4-55.TSK", "Ka4-70.TSK", "Kc4-70.TSK", "KC101-80.TSK",
                                           "Gawn3-65.TSK", "NR3-71.TSK", "AU4-55.TSK"),
                         [](const auto& info) {
                             std::string name = info.param.substr(0, info.param.find('.'));
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// A sink may decline files: they are then not built, and the rest of the run
// is the same. PEROF.SON is built all the same, since the sections are read
// back from it.
TEST(InMemoryRun, DeclinedFilesAreLeftOutAndChangeNothingElse) {
    testing::ScratchDir dir;
    testing::prepare_run(dir.path(), "B4-55-M2.TSK");
    const std::string task = testing::read_file(dir.path() / "Korvanti.TSK");
    const InMemoryRun all = run_in_memory(task);
    const InMemoryRun some = run_in_memory(task, SomeFiles({"PEROF.SON", "PERVDAT"}));
    EXPECT_EQ(some.result, all.result);
    EXPECT_EQ(some.console, all.console);
    ASSERT_EQ(some.files.size(), 2u);
    EXPECT_EQ(some.files.at("PEROF.SON"), all.files.at("PEROF.SON"));
    EXPECT_EQ(some.files.at("PERVDAT"), all.files.at("PERVDAT"));
    const InMemoryRun without_offsets = run_in_memory(task, SomeFiles({"PERVDAT"}));
    EXPECT_EQ(without_offsets.files, some.files);
    EXPECT_EQ(without_offsets.result, all.result);
}

// A pitch ratio of 1e30 gives NaN in the hub profile: PEROF.SON is refused
// with a message, and the next run starts with a clean slate.
TEST(InMemoryRun, NaNStopsTheRunAtTheFirstFileThatWouldHoldIt) {
    testing::ScratchDir dir;
    testing::prepare_run(dir.path(), "B4-55.TSK");
    const std::string task = testing::read_file(dir.path() / "Korvanti.TSK");
    std::istringstream lines(task);
    std::string line, changed;
    for (int number = 1; std::getline(lines, line); ++number)
        changed += (number == 50 ? std::string("1e30 2.0") : line) + "\n";
    std::string message;
    try {
        run_in_memory(changed);
    } catch (const InputError& error) {
        message = error.what();
    }
    EXPECT_EQ(message,
              " HATA: hesaplanan degerlerde sayi olmayan (NaN) ya da sonsuz deger cikti; "
              "PEROF.SON yazilmadi. Ear, P/D ve D degerlerini denetleyin");
    EXPECT_EQ(run_in_memory(task).files.size(), 7u);
}

TEST(InMemoryRun, InputErrorsAndStopsUnwindOutOfThePipeline) {
    testing::ScratchDir dir;
    testing::prepare_run(dir.path(), "B4-55.TSK");
    std::string task = testing::read_file(dir.path() / "Korvanti.TSK");
    EXPECT_THROW(run_in_memory(task.substr(0, task.size() / 4)), InputError);

    // Series 5 (Gawn) with an area ratio outside its range stops the run.
    testing::prepare_run(dir.path(), "Gawn3-65.TSK");
    std::istringstream lines(testing::read_file(dir.path() / "Korvanti.TSK"));
    std::string line, changed;
    for (int number = 1; std::getline(lines, line); ++number)
        changed += (number == 43 ? std::string(" 3 5.0") : line) + "\n";
    EXPECT_THROW(run_in_memory(changed), RunStop);
}

}  // namespace
}  // namespace korvanti
