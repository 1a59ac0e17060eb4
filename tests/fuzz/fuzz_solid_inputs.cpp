// Fuzz target: the two files korvanti-solid reads, PERVDAT and PEROF.SON, up
// to what it hands to the solid builder. An input is the text of PERVDAT, a
// form feed, and the text of PEROF.SON (without a form feed both readers read
// the whole input). A damaged file may only end in an InputError whose
// message is one line; what the readers accept must hold what the builder
// takes for granted.
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "input_files.h"
#include "list_reader.h"

using namespace korvanti_solid;

namespace {

void require(bool holds) {
    if (!holds) __builtin_trap();
}

void check_message(const InputError& error) {
    const std::string_view message = error.what();
    require(!message.empty() && message.find('\n') == std::string_view::npos);
}

void check_panel_data(const PanelDataFile& d) {
    require(d.M >= 2 && d.Nc >= 4 && d.Z >= 1 && d.D > 0);
    require(d.r.size() == static_cast<size_t>(d.M));
    require(d.face.size() == d.r.size() && d.back.size() == d.r.size());
    for (size_t k = 0; k < d.r.size(); ++k)
        require(d.face[k].size() == static_cast<size_t>(d.Nc) &&
                d.back[k].size() == static_cast<size_t>(d.Nc) && d.r[k] > 0);
    require(!d.panels.empty() && d.hub_panels >= 0 &&
            d.hub_panels <= static_cast<int>(d.panels.size()));
    for (const auto& panel : d.panels)
        for (int node : panel) require(node >= 0 && node < static_cast<int>(d.nodes.size()));
}

void check_offsets(const OffsetsFile& o) {
    require(o.D > 0 && o.Z >= 1 && o.r1 > 0);
    require(o.hub_x.size() >= 3 && o.hub_x.size() == o.hub_rH.size());
    for (size_t k = 0; k < o.hub_x.size(); ++k) {
        require(o.hub_rH[k] >= 0);
        if (k > 0) require(o.hub_x[k] > o.hub_x[k - 1]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = korvanti::fuzz::as_text(data, size);
    const size_t split = text.find('\f');
    const std::string_view pervdat = text.substr(0, split);
    const std::string_view offsets =
        split == std::string_view::npos ? text : text.substr(split + 1);
    try {
        check_panel_data(parse_panel_data("PERVDAT", std::string(pervdat)));
    } catch (const InputError& error) {
        check_message(error);
    }
    try {
        check_offsets(parse_offsets("PEROF.SON", std::string(offsets)));
    } catch (const InputError& error) {
        check_message(error);
    }
    return 0;
}
