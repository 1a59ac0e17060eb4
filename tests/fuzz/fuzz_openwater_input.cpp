// Fuzz target: what korvanti-openwater reads from outside. The whole input
// is read as its Korvanti.TSK; its first line, split at blanks, as its
// command line (the options and their numbers). A task file that reads is
// taken on to the propeller's open-water table. Errors of the readers are
// expected ends; anything else that escapes is a fault.
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "openwater/options.h"
#include "openwater/performance.h"
#include "openwater/task_file.h"

using namespace korvanti::openwater;

namespace {

void task_file(const std::string& text) {
    static const OpenWaterData data =
        read_open_water_data(korvanti::fuzz::source_path("data/open-water"));
    TaskValues t;
    try {
        t = parse_task_file(text);
    } catch (const TaskFileError&) {
        return;
    }
    if (t.series != 1 && t.series != 2) return;
    Propeller p{t.series == 1 ? OpenWaterSeries::b : OpenWaterSeries::ka, t.blades, t.area_ratio,
                t.pitch_ratio};
    if (p.series == OpenWaterSeries::ka && propeller_name(p) != "Ka4-70" &&
        propeller_name(p) != "Ka5-75")
        return;
    if (!range_problem(p).what.empty()) return;
    const OpenWaterModel model(data, p);
    open_water_curves(model, 0.05);
}

void command_line(const std::string& text) {
    std::istringstream first(text.substr(0, text.find('\n')));
    std::vector<std::string> words;
    for (std::string word; first >> word;) words.push_back(word);
    try {
        parse_options(words);
    } catch (const UsageError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(korvanti::fuzz::as_text(data, size));
    task_file(text);
    command_line(text);
    return 0;
}
