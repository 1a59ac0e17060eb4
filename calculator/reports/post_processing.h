// The post-processing of the calculator: the section report, the blade and
// hub surfaces with their exports, and the panel data file, in that order.
#pragma once

#include <iosfwd>
#include <string>

#include "filelayer/console.h"
#include "model/blade_model.h"

namespace korvanti {

// From the text of PEROF.SON as this run wrote it: the section report block
// to `result`, PEROF2.SON, the surface exports and PERVDAT.
void run_post_processing(const BladeModel& model, const std::string& offsets_text,
                         std::ostream& result, Console& console);

}  // namespace korvanti
