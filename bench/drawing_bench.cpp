// Time of the drawing generator on the panel data of the B4-55 example (the
// reviewed PERVDAT of the regression matrix), in process:
//   AllFiles/FormPlans  a whole run of option 1 at scale 0.1: PERVDAT read,
//                       the drawing built, the script, DXF, PDF and PNG
//                       written and renamed into place;
//   AllFiles/View3D     the same for the 3D view of blade and hub on every
//                       blade (option 2, answers 3 and E);
//   Writer/...          each writer alone on the drawing built once.
// Run with --benchmark_repetitions=N to get medians.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>

#include "console_dialogue.h"
#include "drawing_run.h"
#include "dxf_file.h"
#include "form_plans.h"
#include "panel_data.h"
#include "panel_view.h"
#include "script.h"
#include "sheet_render.h"

namespace {

namespace fs = std::filesystem;

const fs::path& scratch() {
    static const fs::path dir = [] {
        std::string pattern =
            (fs::temp_directory_path() / "korvanti-drawing-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        fs::copy_file(fs::path(KORVANTI_SOURCE_DIR) / "tests/regression/reference/B4-55/PERVDAT",
                      fs::path(pattern) / telvaro::kPanelDataFile);
        return fs::path(pattern);
    }();
    return dir;
}

// The answers go to the console dialogue as the command line's options do
// (--form-plans, --panel-view); what it prints is discarded.
void whole_run(benchmark::State& state, const std::string& answers) {
    std::ostream discard(nullptr);
    for (auto _ : state) {
        std::istringstream in(answers);
        telvaro::ConsoleDialogue dialogue(in, discard, discard, true);
        if (telvaro::run_drawing(dialogue, scratch()) != telvaro::kExitScriptWritten)
            state.SkipWithError("the drawing run failed");
    }
}

const telvaro::PanelData& panel_data() {
    static const auto data = [] {
        auto d = std::make_unique<telvaro::PanelData>();
        if (telvaro::read_panel_data(scratch() / telvaro::kPanelDataFile, *d)) std::abort();
        return d;
    }();
    return *data;
}

telvaro::Drawing drawing(bool sheet) {
    telvaro::Drawing drawing;
    const auto& d = panel_data();
    if (sheet)
        telvaro::draw_form_plans(drawing, d, 0.1);
    else
        telvaro::draw_panel_view(drawing, d, telvaro::panel_range(d, 3), d.Z);
    return drawing;
}

void writer(benchmark::State& state, bool sheet, int which) {
    const telvaro::Drawing d = drawing(sheet);
    const std::string path = (scratch() / "writer.out").string();
    for (auto _ : state) {
        switch (which) {
            case 0:
                benchmark::DoNotOptimize(telvaro::script_text(d));
                break;
            case 1:
                benchmark::DoNotOptimize(telvaro::dxf_text(d));
                break;
            case 2:
                benchmark::DoNotOptimize(telvaro::write_pdf(d, path));
                break;
            default:
                benchmark::DoNotOptimize(telvaro::write_png(d, path));
                break;
        }
    }
}

}  // namespace

BENCHMARK_CAPTURE(whole_run, FormPlans, std::string("1\n0.1\n"))
    ->Name("AllFiles/FormPlans")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(whole_run, View3D, std::string("2\n3\nE\n"))
    ->Name("AllFiles/View3D")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writer, FormPlansScript, true, 0)
    ->Name("Writer/FormPlans/Script")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writer, FormPlansDxf, true, 1)
    ->Name("Writer/FormPlans/DXF")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writer, FormPlansPdf, true, 2)
    ->Name("Writer/FormPlans/PDF")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writer, FormPlansPng, true, 3)
    ->Name("Writer/FormPlans/PNG")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writer, View3DScript, false, 0)
    ->Name("Writer/View3D/Script")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writer, View3DDxf, false, 1)
    ->Name("Writer/View3D/DXF")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writer, View3DPdf, false, 2)
    ->Name("Writer/View3D/PDF")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(writer, View3DPng, false, 3)
    ->Name("Writer/View3D/PNG")
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
