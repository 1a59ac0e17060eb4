// Time of one propeller through the calculator, in process, for every task
// file of examples/:
//   WholeRun/NAME      the whole run (task file read, every output file
//                      written, closing pause answered by end of input) in a
//                      scratch directory that still holds the files of the
//                      previous run, as when a user runs a task again;
//   WholeRunFresh/NAME the same in a directory without earlier outputs (they
//                      are removed with the timer stopped);
//   Pipeline/NAME      the same steps with the output files kept in memory:
//                      every file is still built in full, nothing is written;
//   Compute/NAME       the same steps without the output files: only
//                      PEROF.SON is built (in memory), since the sections
//                      are read back from it; the report (Korvanti.SON)
//                      is still written to a string.
// The console output is built and thrown away. Run with
// --benchmark_repetitions=N to get medians.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "filelayer/console.h"
#include "filelayer/output_file.h"
#include "reports/offsets_file.h"
#include "run/run_driver.h"

namespace {

namespace fs = std::filesystem;

// Takes every character and keeps none.
class DiscardBuffer : public std::streambuf {
protected:
    int_type overflow(int_type ch) override { return traits_type::not_eof(ch); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

std::string read_whole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The series number on line 40 of a task file, for the label.
std::string series_of(const std::string& task) {
    std::istringstream lines(task);
    std::string line;
    for (int number = 1; number <= 40 && std::getline(lines, line); ++number) {
    }
    const auto first = line.find_first_not_of(" \t");
    return first == std::string::npos ? "?" : line.substr(first, 1);
}

struct Example {
    std::string name;  // task file name without .TSK
    std::string task;  // its text
    fs::path dir;      // scratch working directory holding Korvanti.TSK and WAGBPROP.DAT
};

// The files of the input, kept when the outputs of a run are removed.
bool is_input(const fs::path& file) {
    const std::string name = file.filename().string();
    return name == "Korvanti.TSK" || name == "WAGBPROP.DAT";
}

void remove_outputs(const fs::path& dir) {
    std::vector<fs::path> outputs;
    for (const auto& entry : fs::directory_iterator(dir))
        if (!is_input(entry.path())) outputs.push_back(entry.path());
    for (const auto& file : outputs) fs::remove(file);
}

std::uintmax_t output_bytes(const fs::path& dir) {
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        if (!is_input(entry.path())) bytes += entry.file_size();
    return bytes;
}

// One whole run in the working directory; false unless it ended with status 0.
bool run_once(std::ostream& console) {
    std::istringstream keyboard;
    korvanti::Console to_console(console, keyboard);
    return korvanti::run_calculator(to_console) == 0;
}

void whole_run(benchmark::State& state, const Example& example, bool fresh) {
    fs::current_path(example.dir);
    DiscardBuffer discard;
    std::ostream console(&discard);
    remove_outputs(example.dir);
    if (!run_once(console)) {
        state.SkipWithError("the run did not end with status 0");
        return;
    }
    const auto bytes = output_bytes(example.dir);
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            remove_outputs(example.dir);
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(run_once(console));
    }
    state.SetLabel("series " + series_of(example.task));
    state.counters["output_bytes"] = static_cast<double>(bytes);
}

// Keeps only the offsets file, which the run reads back, and declines the
// other files, which are then not built at all.
class OffsetsFileOnly : public korvanti::MemoryOutput {
public:
    bool wants(const std::string& name) const override {
        return name == korvanti::offsets_file_name;
    }
};

// The steps of one run with the output files kept in memory (all of them, or
// only those `memory` wants); the number of bytes of the result and of every
// file.
std::size_t calculate_in_memory(const std::string& task_text, korvanti::MemoryOutput&& memory,
                                korvanti::Console& console) {
    korvanti::OutputRedirect to_memory(memory);
    std::istringstream task(task_text);
    std::ostringstream result;
    korvanti::calculate_propeller(task, result, console);
    std::size_t bytes = result.str().size();
    for (const auto& [name, text] : memory.files()) bytes += text.size();
    return bytes;
}

void pipeline(benchmark::State& state, const Example& example, bool files) {
    // Series 1 reads WAGBPROP.DAT from the working directory.
    fs::current_path(example.dir);
    DiscardBuffer discard;
    std::ostream console(&discard);
    std::istringstream keyboard;
    korvanti::Console to_console(console, keyboard);
    std::size_t bytes = 0;
    try {
        bytes = files ? calculate_in_memory(example.task, korvanti::MemoryOutput(), to_console)
                      : calculate_in_memory(example.task, OffsetsFileOnly(), to_console);
    } catch (const std::exception& stop) {
        state.SkipWithError(("the run ended early: " + std::string(stop.what())).c_str());
        return;
    }
    for (auto _ : state) {
        if (files)
            benchmark::DoNotOptimize(
                calculate_in_memory(example.task, korvanti::MemoryOutput(), to_console));
        else
            benchmark::DoNotOptimize(
                calculate_in_memory(example.task, OffsetsFileOnly(), to_console));
    }
    state.SetLabel("series " + series_of(example.task));
    state.counters["output_bytes"] = static_cast<double>(bytes);
}

// A scratch directory under the temporary directory, removed at the end.
class ScratchRoot {
public:
    ScratchRoot() {
        std::string pattern = (fs::temp_directory_path() / "korvanti-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchRoot() {
        std::error_code ignored;
        fs::current_path(fs::temp_directory_path(), ignored);
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    const fs::path source = KORVANTI_SOURCE_DIR;
    ScratchRoot scratch;
    if (scratch.path().empty()) {
        std::cerr << "cannot create a scratch directory\n";
        return 1;
    }
    std::vector<fs::path> tasks;
    for (const auto& entry : fs::directory_iterator(source / "examples"))
        if (entry.path().extension() == ".TSK") tasks.push_back(entry.path());
    std::sort(tasks.begin(), tasks.end());
    if (tasks.empty()) {
        std::cerr << "no task files in " << (source / "examples") << "\n";
        return 1;
    }

    std::vector<Example> examples;
    examples.reserve(tasks.size());
    for (const auto& task : tasks) {
        Example example{task.stem().string(), read_whole(task), scratch.path() / task.stem()};
        fs::create_directory(example.dir);
        fs::copy_file(task, example.dir / "Korvanti.TSK");
        fs::copy_file(source / "data" / "WAGBPROP.DAT", example.dir / "WAGBPROP.DAT");
        examples.push_back(std::move(example));
    }
    for (const auto& example : examples)
        benchmark::RegisterBenchmark(
            ("WholeRun/" + example.name).c_str(),
            [&example](benchmark::State& state) { whole_run(state, example, false); })
            ->Unit(benchmark::kMicrosecond);
    for (const auto& example : examples)
        benchmark::RegisterBenchmark(
            ("WholeRunFresh/" + example.name).c_str(),
            [&example](benchmark::State& state) { whole_run(state, example, true); })
            ->Unit(benchmark::kMicrosecond);
    for (const auto& example : examples)
        benchmark::RegisterBenchmark(
            ("Pipeline/" + example.name).c_str(),
            [&example](benchmark::State& state) { pipeline(state, example, true); })
            ->Unit(benchmark::kMicrosecond);
    for (const auto& example : examples)
        benchmark::RegisterBenchmark(
            ("Compute/" + example.name).c_str(),
            [&example](benchmark::State& state) { pipeline(state, example, false); })
            ->Unit(benchmark::kMicrosecond);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
