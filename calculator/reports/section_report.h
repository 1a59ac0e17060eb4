// The interpolated section report: PEROF.SON read back, the report radii,
// the sections there, their characteristics, the result-file block and
// PEROF2.SON.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "filelayer/console.h"
#include "model/blade_model.h"
#include "model/report_sections.h"

namespace korvanti {

// Fills `file` and `hub` from the text of PEROF.SON, then moves the hub
// profile along the axis onto the first section and fits its spline. Input
// errors name the file and the line.
void read_offsets_file(std::istream& in, OffsetsFileData& file, HubProfileSpline& hub);

// Axial shift that brings the hub profile under the first section.
float hub_profile_shift(const OffsetsFileData& file);

// Report radii of mode 2 (equally spaced) or of any other mode (the file's
// stations), with the sections there: `sections` gets M, r, P, iT, xs, NP,
// xc, ys, yp, yc, and the chord from the section ends.
void choose_report_radii(const OffsetsFileData& file, ReportMode mode, int radii,
                         ReportSections& sections);
void interpolate_sections(const OffsetsFileData& file, ReportMode mode, ReportSections& sections,
                          Console& console);

// TMAX/CHORD, TMX_LE/CHORD, FMAX/CHORD and FMX_LE/CHORD of every report radius.
void section_characteristics(ReportSections& sections);

// Refuses, before anything of the post-processing is written, a blade whose
// surfaces or mesh would not fit their tables.
void check_post_capacities(const ReportSections& sections, ReportMode mode, int blade_count);

// The section-offsets block of the result file and the text of PEROF2.SON.
void write_section_block(const ReportSections& sections, float D, std::ostream& result);
std::string interpolated_offsets_text(const ReportSections& sections, float D, int Z);

// The section report's result, for the surface step and the writers.
struct SectionReport {
    OffsetsFileData file;     // PEROF.SON as read back
    HubProfileSpline hub;     // moved along the axis onto the blade, fitted
    ReportSections sections;  // at the report radii, with their characteristics
};

// Reads PEROF.SON back from the text the run wrote, chooses the radii,
// interpolates, checks the capacities of the later steps and derives the
// characteristics. Writes nothing.
std::unique_ptr<SectionReport> make_section_report(const BladeModel& model,
                                                   const std::string& offsets_text,
                                                   Console& console);

// The result block and PEROF2.SON.
void write_section_report(const SectionReport& report, std::ostream& result);

}  // namespace korvanti
