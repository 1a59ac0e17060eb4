// Choosing a propeller for a ship's need: for every blade count, the pitch
// ratio (and the area ratio, under Keller's criterion) of highest open-water
// efficiency that gives the thrust asked for, or absorbs the power asked for,
// at the speed of advance and either the rate of revolutions (the diameter
// found) or the diameter (the rate of revolutions found).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "openwater/performance.h"

namespace korvanti::openwater {

struct Need {
    bool thrust_given = true;  // else the delivered power
    double value = 0;          // thrust N, or power W
    double speed = 0;          // VA, m/s
    bool rpm_given = true;     // else the diameter
    double rps = 0;            // rev/s, when rpm_given
    double diameter = 0;       // m, when not rpm_given
    double max_diameter = 0;   // m, 0 for none; with rpm_given
};

struct Cavitation {
    bool keller = false;  // the area ratio the smallest Keller allows
    double immersion = 0;
    Screws screws = Screws::single;
};

struct SelectionSettings {
    OpenWaterSeries series = OpenWaterSeries::b;
    std::vector<int> blades;           // the blade counts to try
    std::optional<double> area_ratio;  // given; otherwise Keller's
    Cavitation cavitation;             // immersion known when keller or given with area
    bool immersion_known = false;
    Water water;
    bool reynolds_correction = true;
};

// The propeller found for one blade count, or why there is none.
struct Candidate {
    bool found = false;
    Propeller propeller;
    double diameter = 0, rps = 0, j = 0, rn = 0;
    Coefficients c;
    double efficiency = 0;
    double thrust = 0, torque = 0, power = 0;  // N, N·m, W
    double keller = 0;                         // Keller's Ae/A0, when the immersion is known
    std::string why_not;                       // when not found: the nearest the range does
};

// The propeller of given P/D (and area ratio, or Keller's) meeting the need;
// not found when it cannot.
Candidate meet_need(const OpenWaterData& data, const ChordTable& chords, const Need& need,
                    const SelectionSettings& s, int blades, double pitch_ratio);

// The best propeller of `blades` blades over the P/D range of the series.
Candidate best_for_blades(const OpenWaterData& data, const ChordTable& chords, const Need& need,
                          const SelectionSettings& s, int blades);

struct Selection {
    std::vector<Candidate> rows;  // one per blade count, in the order given
    int best = -1;                // index of the row of highest efficiency; -1 when none found
};
Selection select_propeller(const OpenWaterData& data, const ChordTable& chords, const Need& need,
                           const SelectionSettings& s);

}  // namespace korvanti::openwater
