// The ends of the blade that the series routines leave open: the finite tip
// section of the B-series, the root station on the hub, and the hub profile.
// Built once, after the series driver and before any file is written.
#pragma once

#include "geometry/hub_profile.h"
#include "model/blade_model.h"

namespace korvanti {

// The station on the hub radius rh = 0.167·R, extrapolated inwards.
struct RootStation {
    float r = 0.0f, P = 0.0f, c = 0.0f, iT = 0.0f, xs = 0.0f, tm = 0.0f;
    Array1<float, max_points> xc, yb, yf;
};

struct BladeEnds {
    RootStation root;  // written to PEROF.SON only for the series with a root station
    HubProfile hub;
};

// The B-series tip: changes the chord and the section of the model's last
// station. Other series are left as they are.
void make_b_series_tip(BladeModel& model);

// Root station and hub profile of the blade as it stands.
BladeEnds blade_ends(const BladeModel& model);

}  // namespace korvanti
