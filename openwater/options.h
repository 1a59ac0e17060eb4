// The command line of korvanti-openwater.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "openwater/performance.h"

namespace korvanti::openwater {

// A bad command line: one line naming the option; exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    bool help = false, version = false;
    std::string directory;
    std::optional<int> series;  // 1..7
    std::optional<int> blades_low, blades_high;
    std::string blades_text;
    std::optional<double> area_ratio, pitch_ratio, diameter;
    std::optional<double> rpm, speed, thrust, power, max_diameter, immersion;
    std::optional<Screws> screws;
    std::optional<int> choose;
    Water water = sea_water;
    std::string water_name = "sea";
    std::optional<double> density, viscosity;  // over those of the water
    bool no_reynolds_correction = false, extrapolate = false;
    double step = 0.01;
    bool selection() const { return thrust.has_value() || power.has_value(); }
};

// Reads and checks the options (not yet against the regression's range).
Options parse_options(const std::vector<std::string>& arguments);

// "B", "Ka", ... or 1..7, as Korvanti's --series; nothing when unknown.
std::optional<int> series_from_text(const std::string& text);
// The series as the output names it.
std::string series_title(int series);

std::string help_text();

}  // namespace korvanti::openwater
