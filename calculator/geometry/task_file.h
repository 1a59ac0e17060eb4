// The value lines of the task file Korvanti.TSK. Every other line is free
// text for the user and is skipped.
//
//   line 40  series number (1..7)
//   line 43  blade count Z, expanded area ratio Ear
//   line 47  handedness (below 0.5 left hand)
//   line 50  pitch ratio P/D, diameter D in metres
//   line 57  nose-tail option (1 re-references the sections)
//   line 67  section report mode (1 or 2), number of report radii
#pragma once

#include <string>

#include "filelayer/freeformat.h"
#include "model/blade_model.h"

namespace korvanti {

inline constexpr const char* task_file_name = "Korvanti.TSK";

// The drawing generator reads PERVDAT for at most 20 blades; every blade
// also adds its zones to the 3D Tecplot file.
inline constexpr int max_blade_count = 20;

// Report mode 2: the hub grid needs at least 3 and at most 22 chordwise points.
inline constexpr int min_report_radii = 3;
inline constexpr int max_report_radii = 22;

// The checks of the values, shared with the command line: each returns what
// is wrong, in the words of the task file's messages, or an empty string.
// The checks of two values keep the order of the reading of their line.
std::string series_number_problem(int series_number);
std::string blades_and_area_problem(int blade_count, float area_ratio);
std::string handedness_problem(float handedness);
std::string pitch_and_diameter_problem(float pitch_ratio, float diameter);
std::string report_mode_problem(int mode, int radii);

// Lines 1 to 50, from the start of the file. Values no later step can work
// with end the run with an input error naming the line.
void read_run_parameters(FreeFormatReader& task, BladeModel& model);

// Lines 51 to 67, right after read_run_parameters.
void read_report_parameters(FreeFormatReader& task, BladeModel& model);

}  // namespace korvanti
