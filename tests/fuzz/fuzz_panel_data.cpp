// Fuzz target: the panel data file PERVDAT, read by the drawing generator and
// drawn both ways: the form plans at the largest scale allowed, and the 3D
// view of blade and hub panels on every blade.
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "drawing_run.h"
#include "fuzz_support.h"
#include "panel_data.h"
#include "scripted_dialogue.h"

using namespace korvanti;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<std::string> answer_sets[] = {{"1", "0"}, {"2", "3", "E"}};
    const auto& dir = fuzz::scratch_dir();
    const std::string_view text = fuzz::as_text(data, size);
    fuzz::write_file(dir / telvaro::kPanelDataFile, text);

    // A file the reader refuses is never drawn.
    auto panel_data = std::make_unique<telvaro::PanelData>();
    std::istringstream stream{std::string(text)};
    const bool readable = !telvaro::read_panel_data(stream, *panel_data).has_value();

    for (const auto& answers : answer_sets) {
        fuzz::ScriptedDialogue dialogue(answers);
        const int status = telvaro::run_drawing(dialogue, dir);
        fuzz::check_drawing_status(status);
        if (!readable && status != telvaro::kExitNoScript) __builtin_trap();
    }
    return 0;
}
