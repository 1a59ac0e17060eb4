// Fuzz target: the answers of the drawing generator's dialogue, one per line,
// for a real PERVDAT. They are given once through the console dialogue (end
// of input takes the defaults) and once as a scripted dialogue whose end
// cancels.
#include <sstream>
#include <string>

#include "console_dialogue.h"
#include "drawing_run.h"
#include "fuzz_support.h"
#include "scripted_dialogue.h"

using namespace korvanti;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        fuzz::write_file(
            fuzz::scratch_dir() / telvaro::kPanelDataFile,
            fuzz::read_file(fuzz::source_path("tests/fuzz/corpus/panel_data/B4-55-M3.PERVDAT")));
        return true;
    }();
    (void)ready;
    const auto& dir = fuzz::scratch_dir();
    const std::string_view text = fuzz::as_text(data, size);

    std::istringstream in{std::string(text)};
    fuzz::NullStream out;
    telvaro::ConsoleDialogue console(in, out, out, true);
    fuzz::check_drawing_status(telvaro::run_drawing(console, dir));

    fuzz::ScriptedDialogue scripted(fuzz::split_lines(text));
    fuzz::check_drawing_status(telvaro::run_drawing(scripted, dir));
    return 0;
}
