// Propeller selection from the open-water polynomials. For a propeller of
// given Z, Ae/A0 and P/D the need fixes J: with the rate of revolutions n
// given, D = VA/(nJ) and
//   thrust: KT(J) = T·n²·J⁴/(ρ·VA⁴),   power: KQ(J) = P·n²·J⁵/(2π·ρ·VA⁵);
// with the diameter given, n = VA/(JD) and
//   thrust: KT(J) = T·J²/(ρ·VA²·D²),   power: KQ(J) = P·J³/(2π·ρ·VA³·D²).
// The left side falls and the right side rises with J, so the root between
// J = 0 and the J of zero thrust is found by regula falsi; the Reynolds number
// follows the n and D of the J being tried. Keller's area ratio depends on
// the thrust and the diameter found, and is iterated to its fixed point. Over
// P/D the efficiency is scanned in steps of 0.01 and the best step refined
// by golden-section search.
#include "openwater/selection.h"

#include <cmath>
#include <cstdio>

namespace korvanti::openwater {

namespace {

constexpr double b_area_low = 0.30, b_area_high = 1.05;

struct Shape {
    double rps = 0, diameter = 0;
};

Shape shape_at(const Need& need, double j) {
    if (need.rpm_given) return {need.rps, need.speed / (need.rps * j)};
    return {need.speed / (j * need.diameter), need.diameter};
}

double rn_at(const ChordTable& chords, const Propeller& p, const SelectionSettings& s, Shape sh,
             double speed) {
    if (!s.reynolds_correction || p.series != OpenWaterSeries::b) return reference_reynolds;
    return reynolds_number(chord_at_075(chords, p, sh.diameter), speed, sh.rps, sh.diameter,
                           s.water);
}

// The right side of the equation for J, as a multiple of J^m.
double need_constant(const Need& need, const Water& w, int& m) {
    const double va = need.speed, rho = w.density;
    if (need.rpm_given) {
        const double n2 = need.rps * need.rps;
        m = need.thrust_given ? 4 : 5;
        return need.thrust_given ? need.value * n2 / (rho * std::pow(va, 4))
                                 : need.value * n2 / (2 * pi * rho * std::pow(va, 5));
    }
    const double d2 = need.diameter * need.diameter;
    m = need.thrust_given ? 2 : 3;
    return need.thrust_given ? need.value / (rho * va * va * d2)
                             : need.value / (2 * pi * rho * std::pow(va, 3) * d2);
}

// The root of f between a (f > 0) and b (f <= 0) by the Illinois variant of
// regula falsi: the bracket is kept, and it converges in a few steps where
// bisection takes fifty.
template <class F>
double bracketed_root(const F& f, double a, double b) {
    double fa = f(a), fb = f(b);
    int side = 0;
    for (int i = 0; i < 100 && b - a > 1e-13; ++i) {
        const double c = (a * fb - b * fa) / (fb - fa);
        const double fc = f(c);
        if (fc > 0) {
            a = c;
            fa = fc;
            if (side == -1) fb /= 2;
            side = -1;
        } else {
            b = c;
            fb = fc;
            if (side == 1) fa /= 2;
            side = 1;
        }
        if (std::fabs(fc) < 1e-15) return c;
    }
    return 0.5 * (a + b);
}

std::string figure(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The propeller of given Z, Ae/A0 and P/D at the need (D limit not yet checked).
Candidate solve_fixed_area(const OpenWaterData& data, const ChordTable& chords, const Need& need,
                           const SelectionSettings& s, const Propeller& p) {
    Candidate c;
    c.propeller = p;
    const OpenWaterModel model(data, p);
    int m = 0;
    const double k = need_constant(need, s.water, m);
    auto coefficients = [&](double j) {
        return model.at(j, rn_at(chords, p, s, shape_at(need, j), need.speed));
    };
    auto excess = [&](double j) {
        const Coefficients co = coefficients(j);
        return (need.thrust_given ? co.kt : co.kq) - k * std::pow(j, m);
    };
    // The first step of 0.05 where the need exceeds the propeller, then
    // bisection to the root.
    double j_low = 1e-6, j_high = 0;
    if (!(excess(j_low) > 0)) {
        c.why_not = "no positive thrust or torque at this P/D";
        return c;
    }
    for (double j = 0.05; j <= 3.0; j += 0.05) {
        if (excess(j) <= 0) {
            j_high = j;
            break;
        }
        j_low = j;
    }
    if (j_high == 0) {
        c.why_not = "the need is not met below J = 3";
        return c;
    }
    c.j = bracketed_root(excess, j_low, j_high);
    const Shape sh = shape_at(need, c.j);
    c.rps = sh.rps;
    c.diameter = sh.diameter;
    c.rn = rn_at(chords, p, s, sh, need.speed);
    c.c = model.at(c.j, c.rn);
    c.efficiency = c.c.efficiency(c.j);
    const double rho = s.water.density;
    c.thrust = c.c.kt * rho * c.rps * c.rps * std::pow(c.diameter, 4);
    c.torque = c.c.kq * rho * c.rps * c.rps * std::pow(c.diameter, 5);
    c.power = 2 * pi * c.rps * c.torque;
    if (s.immersion_known)
        c.keller = keller_area_ratio(p.blades, c.thrust, c.diameter, s.cavitation.immersion,
                                     s.cavitation.screws, s.water);
    if (!(c.c.kt > 0)) {
        c.why_not = "the power asked for is too small: it turns the propeller at no thrust";
        return c;
    }
    c.found = true;
    return c;
}

// The most thrust (or power) a propeller of the largest diameter gives at
// the rate of revolutions and the speed asked for, over the P/D range.
std::string most_at_largest_diameter(const OpenWaterData& data, const ChordTable& chords,
                                     const Need& need, const SelectionSettings& s,
                                     const Propeller& like) {
    double most = 0, at_pd = 0;
    const double d = need.max_diameter, n = need.rps;
    const double low = s.series == OpenWaterSeries::b ? 0.5 : 0.6;
    for (double pd = low; pd <= 1.4 + 1e-9; pd += 0.01) {
        Propeller p = like;
        p.pitch_ratio = pd;
        const OpenWaterModel model(data, p);
        const double j = need.speed / (n * d);
        const Coefficients co = model.at(j, rn_at(chords, p, s, {n, d}, need.speed));
        const double rho = s.water.density;
        const double value = need.thrust_given ? co.kt * rho * n * n * std::pow(d, 4)
                                               : 2 * pi * co.kq * rho * n * n * n * std::pow(d, 5);
        if (co.kt > 0 && value > most) {
            most = value;
            at_pd = pd;
        }
    }
    if (most <= 0) return "no thrust at D = " + figure("%.3f", d) + " m";
    return std::string("at most ") + figure("%.1f", most / 1000) +
           (need.thrust_given ? " kN" : " kW") + " at D = " + figure("%.3f", d) + " m (P/D " +
           figure("%.2f", at_pd) + ")";
}

// With Keller's criterion, its iteration starts from `start_area` (that of
// the neighbouring P/D, where there is one).
Candidate meet_need_from(const OpenWaterData& data, const ChordTable& chords, const Need& need,
                         const SelectionSettings& s, int blades, double pitch_ratio,
                         double start_area) {
    Propeller p;
    p.series = s.series;
    p.blades = blades;
    p.pitch_ratio = pitch_ratio;
    Candidate c;
    if (s.series == OpenWaterSeries::ka) {
        p.area_ratio = blades == 4 ? 0.70 : 0.75;
        c = solve_fixed_area(data, chords, need, s, p);
    } else if (s.area_ratio) {
        p.area_ratio = *s.area_ratio;
        c = solve_fixed_area(data, chords, need, s, p);
    } else {
        // Keller's area ratio at the thrust and diameter it leads to: the
        // area ratio changes the diameter little, so the iteration settles
        // in a few rounds.
        p.area_ratio = std::max(b_area_low, start_area);
        for (int i = 0; i < 100; ++i) {
            c = solve_fixed_area(data, chords, need, s, p);
            if (!c.found) return c;
            const double next = std::max(b_area_low, c.keller);
            if (next > b_area_high + 0.5) break;  // far beyond the range: no need to settle
            if (std::fabs(next - p.area_ratio) < 1e-9) break;
            p.area_ratio = next;
        }
        if (c.keller > b_area_high) {
            c.found = false;
            c.why_not = "Keller's criterion needs Ae/A0 " + figure("%.3f", c.keller) +
                        ", above the range's 1.05";
            return c;
        }
    }
    if (c.found && need.rpm_given && need.max_diameter > 0 &&
        c.diameter > need.max_diameter * (1 + 1e-12)) {
        c.found = false;
        c.why_not = "needs D = " + figure("%.3f", c.diameter) + " m, above the largest " +
                    figure("%.3f", need.max_diameter) + " m";
    }
    return c;
}

}  // namespace

Candidate meet_need(const OpenWaterData& data, const ChordTable& chords, const Need& need,
                    const SelectionSettings& s, int blades, double pitch_ratio) {
    return meet_need_from(data, chords, need, s, blades, pitch_ratio, b_area_low);
}

Candidate best_for_blades(const OpenWaterData& data, const ChordTable& chords, const Need& need,
                          const SelectionSettings& s, int blades) {
    const double low = s.series == OpenWaterSeries::b ? 0.5 : 0.6, high = 1.4, step = 0.02;
    auto value = [&](const Candidate& c) { return c.found ? c.efficiency : -1.0; };
    double area = b_area_low;  // Keller's of the last P/D tried
    auto at = [&](double pd) {
        Candidate c = meet_need_from(data, chords, need, s, blades, pd, area);
        if (c.found) area = c.propeller.area_ratio;
        return c;
    };
    Candidate best, first;
    double best_pd = low;
    const int steps = static_cast<int>(std::lround((high - low) / step));
    for (int i = 0; i <= steps; ++i) {
        const double pd = i == steps ? high : low + step * i;
        const Candidate c = at(pd);
        if (i == 0) first = c;
        if (value(c) > value(best)) {
            best = c;
            best_pd = pd;
        }
    }
    if (!best.found) {
        Candidate none = first;
        if (need.rpm_given && need.max_diameter > 0 && none.diameter > need.max_diameter)
            none.why_not = "needs a diameter above " + figure("%.3f", need.max_diameter) +
                           " m at every P/D; " +
                           most_at_largest_diameter(data, chords, need, s, none.propeller);
        return none;
    }
    // Golden section on the steps on either side of the best one; a side
    // where the need is not met (beyond the largest diameter) counts as worst.
    double a = std::max(low, best_pd - step), b = std::min(high, best_pd + step);
    const double g = (std::sqrt(5.0) - 1) / 2;
    double x1 = b - g * (b - a), x2 = a + g * (b - a);
    Candidate c1 = at(x1), c2 = at(x2);
    while (b - a > 1e-6) {
        if (value(c1) >= value(c2)) {
            b = x2;
            x2 = x1;
            c2 = c1;
            x1 = b - g * (b - a);
            c1 = at(x1);
        } else {
            a = x1;
            x1 = x2;
            c1 = c2;
            x2 = a + g * (b - a);
            c2 = at(x2);
        }
        if (value(c1) > value(best)) best = c1;
        if (value(c2) > value(best)) best = c2;
    }
    return best;
}

Selection select_propeller(const OpenWaterData& data, const ChordTable& chords, const Need& need,
                           const SelectionSettings& s) {
    Selection selection;
    for (int z : s.blades) {
        selection.rows.push_back(best_for_blades(data, chords, need, s, z));
        const Candidate& c = selection.rows.back();
        if (c.found &&
            (selection.best < 0 ||
             c.efficiency > selection.rows[static_cast<size_t>(selection.best)].efficiency))
            selection.best = static_cast<int>(selection.rows.size()) - 1;
    }
    return selection;
}

}  // namespace korvanti::openwater
