// The hub profile: the meridian outline of the hub, axial position x
// (positive towards the leading edges) against hub radius rH, from the aft
// end to the forward end.
#pragma once

#include "common/one_based.h"
#include "model/blade_model.h"

namespace korvanti {

inline constexpr int max_hub_points = 30;

struct HubProfile {
    int count = 0;                     // NH
    Array1<float, max_hub_points> x;   // axial position
    Array1<float, max_hub_points> rH;  // hub radius there
};

// 23 points built from the first blade station: a cylinder of radius r(1)
// over the axial extent of the first section, closed by two quarter
// ellipses of axial semi-axis 1.2·r(1).
void hub_profile_from_blade(int point_count, View1<const float> r, View1<const float> P,
                            const SectionTable& xc, const SectionTable& yf, HubProfile& hub);

// The 11-point tabulated hub of the Gawn and KC101-Gawn series, scaled by D.
void tabulated_hub_profile(float diameter, HubProfile& hub);

}  // namespace korvanti
