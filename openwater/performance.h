// The open-water characteristics of one propeller: KT, KQ (and the nozzle's
// KTN) against the advance ratio J, the Reynolds number of its blade at
// 0.75R, the operating point at a rate of revolutions and a speed of advance,
// and Keller's cavitation criterion.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "openwater/open_water_data.h"

namespace korvanti::openwater {

inline constexpr double pi = 3.14159265358979323846;
inline constexpr double gravity = 9.81;                 // m/s²
inline constexpr double atmospheric_pressure = 101325;  // Pa
inline constexpr double vapour_pressure = 1700;         // Pa, water at 15 °C
inline constexpr double reference_reynolds = 2e6;       // of the B-series polynomials

// Water at 15 °C.
struct Water {
    double density = 1025.9;      // kg/m³
    double viscosity = 1.188e-6;  // kinematic, m²/s
};
inline constexpr Water sea_water{1025.9, 1.188e-6};
inline constexpr Water fresh_water{999.1, 1.139e-6};

enum class OpenWaterSeries { b, ka };

struct Propeller {
    OpenWaterSeries series = OpenWaterSeries::b;
    int blades = 4;
    double area_ratio = 0.55;
    double pitch_ratio = 1.0;
};

// "B4-55", "Ka4-70" (Ae/A0 rounded to hundredths).
std::string propeller_name(const Propeller& p);

// The regression's range; a value outside it is an extrapolation.
struct RangeProblem {
    std::string what;  // "" when every value is inside
};
RangeProblem range_problem(const Propeller& p);

struct Coefficients {
    double kt = 0, kq = 0, ktn = 0;  // ktn only for a ducted propeller
    double efficiency(double j) const { return kq > 0 ? j * kt / (2 * pi * kq) : 0; }
};

// The polynomials of one propeller gathered by powers of J (and of L for the
// Reynolds correction), so that a point of the curves costs a few products.
class OpenWaterModel {
public:
    OpenWaterModel(const OpenWaterData& data, const Propeller& p);

    // At the advance ratio j and the Reynolds number rn: the B-series
    // correction applies for rn above 2·10⁶ only.
    Coefficients at(double j, double rn = reference_reynolds) const;
    // Where KT falls to zero (at rn), searched up to J = 3; 0 when KT(0) <= 0.
    double zero_thrust_advance(double rn = reference_reynolds) const;
    const Propeller& propeller() const { return propeller_; }

private:
    static constexpr int powers = 7;  // J⁰..J⁶
    Propeller propeller_;
    std::array<double, powers> kt_{}, kq_{}, ktn_{};
    std::array<std::array<double, 3>, 3> dkt_{}, dkq_{};  // [J power][L power]
};

// The chord coefficient K of c(0.75R) = K·D·(Ae/A0)/Z from the B-series
// blade table of WAGBPROP.DAT (the three-bladed table for Z = 3).
struct ChordTable {
    double k_three_blades = 0, k_other = 0;
    double coefficient(int blades) const { return blades == 3 ? k_three_blades : k_other; }
};
ChordTable read_chord_table(const std::string& file);
ChordTable parse_chord_table(const std::string& text, const std::string& name);

double chord_at_075(const ChordTable& chords, const Propeller& p, double diameter);

// Rn = c0.75·√(VA² + (0.75·π·n·D)²)/ν, n in revolutions per second.
double reynolds_number(double chord, double speed, double rps, double diameter, const Water& w);

// Keller: Ae/A0 ≥ (1.3 + 0.3·Z)·T/((p0 − pv)·D²) + K, p0 = pa + ρ·g·h.
enum class Screws { single, twin, fast_twin };
double keller_constant(Screws s);
double keller_area_ratio(int blades, double thrust, double diameter, double immersion,
                         Screws screws, const Water& w);

// One row of the open-water table.
struct CurvePoint {
    double j = 0;
    Coefficients c;
};
// From J = 0 in steps of `step` while KT stays positive, then the point
// where KT is zero.
std::vector<CurvePoint> open_water_curves(const OpenWaterModel& model, double step,
                                          double rn = reference_reynolds);

// The J of the highest efficiency between J = 0 and zero thrust (golden
// section: the efficiency curve of a propeller has one maximum there).
CurvePoint highest_efficiency(const OpenWaterModel& model, double rn = reference_reynolds);

// The propeller at n (rev/s) and VA (m/s).
struct OperatingPoint {
    double rps = 0, speed = 0, diameter = 0;
    double j = 0, rn = 0;
    Coefficients c;
    double efficiency = 0;
    double thrust = 0, torque = 0, power = 0;  // N, N·m, W
};
OperatingPoint operating_point(const OpenWaterModel& model, double diameter, double rps,
                               double speed, double rn, const Water& w);

}  // namespace korvanti::openwater
