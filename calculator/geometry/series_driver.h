// The series driver: checks the choice of series, names the propeller, has
// the series routine build the stations and sections, sets the pitch, reads
// the last value lines of the task file, optionally re-references the
// sections to their nose-tail lines, fills the model and prints the geometry
// table, the offset table and the legend.
#pragma once

#include <iosfwd>

#include "filelayer/console.h"
#include "filelayer/freeformat.h"
#include "model/blade_model.h"

namespace korvanti {

// Runs once, right after task line 50 has been read; leaves the task file
// after line 67 and the model holding a right-hand blade.
void run_series_driver(BladeModel& model, FreeFormatReader& task, std::ostream& result,
                       Console& console);

// The offset table of the model's stations: one column per station, rows of
// more than 20 stations going on in further lines; a left-hand propeller is
// printed with mirrored abscissae.
void write_offset_table(const BladeModel& model, std::ostream& result);

}  // namespace korvanti
