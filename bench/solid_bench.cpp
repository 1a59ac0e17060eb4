// Time of korvanti-solid, in process, on the finished run of an example
// (B5-75: a root wider than its sector, the blades fused with the whole hub):
//   Solid/NAME   STEP + STL + VTK (the whole program: both files read, the
//                solid built and checked, the three files written);
//   SolidStep/NAME, SolidVtk/NAME   one file alone (--only);
//   SolidNoNozzle/Ka4-70   the ducted propeller's files without its nozzle
//                (--no-nozzle), beside Solid/Ka4-70 with it.
// The run of Korvanti that provides PERVDAT and PEROF.SON is done once, as a
// process, before the timing. Run with --benchmark_repetitions=N for medians.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "solid_run.h"

namespace {

namespace fs = std::filesystem;

fs::path finished_run(const std::string& example) {
    std::string pattern = (fs::temp_directory_path() / "korvanti-solid-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    const fs::path dir = pattern;
    fs::copy_file(fs::path(KORVANTI_SOURCE_DIR) / "examples" / (example + ".TSK"),
                  dir / "Korvanti.TSK");
    fs::copy_file(fs::path(KORVANTI_SOURCE_DIR) / "data" / "WAGBPROP.DAT", dir / "WAGBPROP.DAT");
    const std::string command =
        "cd '" + dir.string() + "' && '" KORVANTI_EXE "' </dev/null >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("Korvanti failed");
    return dir;
}

void run(benchmark::State& state, const std::string& example, std::vector<std::string> extra) {
    const fs::path dir = finished_run(example);
    std::vector<std::string> words = {"korvanti-solid", "-C", dir.string()};
    words.insert(words.end(), extra.begin(), extra.end());
    for (auto _ : state) {
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        std::ostringstream out, err;
        if (korvanti_solid::run_solid(static_cast<int>(words.size()), argv.data(), out, err) != 0)
            state.SkipWithError(err.str().c_str());
    }
    fs::remove_all(dir);
}

const bool registered = [] {
    for (const char* example : {"B4-55", "B5-75", "Ka4-70", "KC101-80", "NR3-71"}) {
        const std::string name = example;
        benchmark::RegisterBenchmark(("Solid/" + name).c_str(),
                                     [name](benchmark::State& s) { run(s, name, {}); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("SolidStep/" + name).c_str(),
                                     [name](benchmark::State& s) {
                                         run(s, name, {"--only", "step"});
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("SolidNoNozzle/Ka4-70",
                                 [](benchmark::State& s) { run(s, "Ka4-70", {"--no-nozzle"}); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("SolidVtk/B4-55", [](benchmark::State& s) {
        run(s, "B4-55", {"--only", "vtk"});
    })->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
