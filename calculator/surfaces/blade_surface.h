// The surface step: every report section resampled by arc length and laid
// on the pitch helix of its radius, the root row on the hub, the
// max-thickness points, then the hub mesh and the left-hand mirror.
#pragma once

#include <memory>

#include "filelayer/console.h"
#include "model/blade_model.h"
#include "model/report_sections.h"
#include "surfaces/surface_types.h"

namespace korvanti {

// Chordwise points of every surface row: NP of the first file station in
// mode 1, the number of report radii in mode 2.
int surface_point_count(ReportMode mode, const ReportSections& sections);

// Per radius, the not-a-knot splines of yp and ys against xc.
void fit_section_sides(const ReportSections& sections, SectionSideSplines& pressure,
                       SectionSideSplines& suction);

// Nc points of one side (xc, ordinate) of a section of NP points, equally
// spaced in arc length at the fractions u.
void resample_section_side(int Nc, int NP, View1<const float> xc, View1<const float> ordinate,
                           View1<const float> u, View1<float> xout, View1<float> yout);

// Steps of the surface, exposed for the tests; build_surfaces runs them all.
void place_sections_on_helices(const ReportSections& sections, const HubProfileSpline& hub,
                               BladeSurface& surface, Console& console);
void find_max_thickness_points(const ReportSections& sections, BladeSurface& surface,
                               Console& console);
void mirror_to_left_hand(ReportSections& sections, BladeSurface& surface, Mesh& mesh);

// The whole surface step of the post-processing, from the section report's
// sections and fitted hub profile; the model gives the report mode, the
// blade count and the hand. Look-ups outside a table are reported on the
// console.
std::unique_ptr<Surfaces> build_surfaces(const BladeModel& model, const ReportSections& sections,
                                         const HubProfileSpline& hub, Console& console);

}  // namespace korvanti
