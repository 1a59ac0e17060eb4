// Korvanti.json: the whole result of a run in one JSON document (written
// only when the command line asks for it), for scripts in any language. Its
// layout is described by docs/schema/Korvanti.schema.json.
#pragma once

#include <string>
#include <vector>

#include "geometry/blade_ends.h"
#include "model/blade_model.h"
#include "reports/blade_mass.h"

namespace korvanti {

inline constexpr const char* run_json_file_name = "Korvanti.json";

// What the document is made of: the model as the run left it, its ends, the
// blade's figures, the program's version and the names of the files written.
struct RunResult {
    const BladeModel& model;
    const BladeEnds& ends;
    const BladeMass& mass;
    std::string version;
    std::vector<std::string> files;
};

// The text of Korvanti.json, indented, ending with a newline.
std::string run_json_text(const RunResult& run);

}  // namespace korvanti
