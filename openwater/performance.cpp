// Open-water characteristics from the regression polynomials of the
// standard series: the Wageningen B-series KT, KQ at Rn = 2·10⁶ with the
// corrections ΔKT, ΔKQ for higher Reynolds numbers (Oosterveld & van Oossanen
// 1975; Bernitsas, Ray & Kinley 1981), and the Ka-series in nozzle 19A
// (Oosterveld 1970; Kuiper 1992). For one propeller each polynomial is
// gathered into coefficients of the powers of J (and of L = log10(Rn) − 0.301)
// and evaluated by Horner's rule: the sums differ from the term-by-term sums
// in the last bits only. Keller's criterion as given with the B-series charts.
#include "openwater/performance.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "common/list_input.h"

namespace korvanti::openwater {

namespace {

double power_of(double x, int n) {
    double r = 1;
    for (int i = 0; i < n; ++i) r *= x;
    return r;
}

double horner(const double* c, int n, double x) {
    double r = 0;
    for (int i = n - 1; i >= 0; --i) r = r * x + c[i];
    return r;
}

}  // namespace

std::string propeller_name(const Propeller& p) {
    char text[48];
    std::snprintf(text, sizeof text, "%s%d-%02d", p.series == OpenWaterSeries::b ? "B" : "Ka",
                  p.blades, static_cast<int>(std::lround(p.area_ratio * 100)));
    return text;
}

RangeProblem range_problem(const Propeller& p) {
    char text[160];
    if (p.series == OpenWaterSeries::b) {
        if (p.blades < 2 || p.blades > 7) {
            std::snprintf(text, sizeof text,
                          "blade count Z = %d is outside the B-series range 2 to 7", p.blades);
            return {text};
        }
        if (p.area_ratio < 0.30 - 1e-9 || p.area_ratio > 1.05 + 1e-9) {
            std::snprintf(text, sizeof text,
                          "area ratio Ae/A0 = %g is outside the B-series range 0.30 to 1.05",
                          p.area_ratio);
            return {text};
        }
    }
    const double low = p.series == OpenWaterSeries::b ? 0.5 : 0.6;
    if (p.pitch_ratio < low - 1e-9 || p.pitch_ratio > 1.4 + 1e-9) {
        std::snprintf(text, sizeof text, "pitch ratio P/D = %g is outside the %s range %.1f to 1.4",
                      p.pitch_ratio, p.series == OpenWaterSeries::b ? "B-series" : "Ka-series",
                      low);
        return {text};
    }
    return {};
}

OpenWaterModel::OpenWaterModel(const OpenWaterData& data, const Propeller& p) : propeller_(p) {
    const double pd = p.pitch_ratio, ae = p.area_ratio, z = p.blades;
    auto gather = [&](const Polynomial& poly, std::array<double, powers>& into) {
        for (const Term& t : poly)
            into[static_cast<size_t>(t.j)] +=
                t.c * power_of(pd, t.p) * power_of(ae, t.a) * power_of(z, t.z);
    };
    auto gather_correction = [&](const Polynomial& poly,
                                 std::array<std::array<double, 3>, 3>& into) {
        for (const Term& t : poly)
            into[static_cast<size_t>(t.j)][static_cast<size_t>(t.l)] +=
                t.c * power_of(pd, t.p) * power_of(ae, t.a) * power_of(z, t.z);
    };
    if (p.series == OpenWaterSeries::b) {
        gather(data.b.kt, kt_);
        gather(data.b.kq, kq_);
        gather_correction(data.b.dkt, dkt_);
        gather_correction(data.b.dkq, dkq_);
        return;
    }
    const auto found = data.ducted.find(propeller_name(p));
    if (found == data.ducted.end()) return;  // the caller checks the name first
    gather(found->second.kt, kt_);
    gather(found->second.ktn, ktn_);
    gather(found->second.kq, kq_);
}

Coefficients OpenWaterModel::at(double j, double rn) const {
    Coefficients c;
    c.kt = horner(kt_.data(), powers, j);
    c.kq = horner(kq_.data(), powers, j);
    if (propeller_.series == OpenWaterSeries::ka) {
        c.ktn = horner(ktn_.data(), powers, j);
        return c;
    }
    if (rn > reference_reynolds) {
        const double l = std::log10(rn) - 0.301;
        double by_j_t[3], by_j_q[3];
        for (size_t s = 0; s < 3; ++s) {
            by_j_t[s] = horner(dkt_[s].data(), 3, l);
            by_j_q[s] = horner(dkq_[s].data(), 3, l);
        }
        c.kt += horner(by_j_t, 3, j);
        c.kq += horner(by_j_q, 3, j);
    }
    return c;
}

double OpenWaterModel::zero_thrust_advance(double rn) const {
    if (!(at(0, rn).kt > 0)) return 0;
    // The first sign change in steps of 0.05, then bisection.
    double low = 0, high = 0;
    for (double j = 0.05; j <= 3.0 + 1e-12; j += 0.05) {
        if (at(j, rn).kt <= 0) {
            high = j;
            break;
        }
        low = j;
    }
    if (high == 0) return 3.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (low + high);
        (at(mid, rn).kt > 0 ? low : high) = mid;
    }
    return 0.5 * (low + high);
}

ChordTable parse_chord_table(const std::string& text, const std::string& name) {
    // Block 1 (all blade counts but three): N1, then N1 rows r/R K a/c b/c Ar
    // Br; blocks 2 and 3: the ordinate tables; block 4: the rows of Z = 3.
    std::istringstream in(text);
    ListInput list(in);
    auto number = [&](const char* what) {
        const auto item = list.next_item();
        double value = 0;
        if (!item || !read_real_with_d_exponent(*item, value) || !std::isfinite(value))
            throw DataError(name + " line " + std::to_string(list.line_number()) + ": " + what +
                            (item ? " expected, read '" + std::string(*item) + "'"
                                  : " expected, the file ends"));
        return value;
    };
    auto count = [&](const char* what, int low, int high) {
        const double v = number(what);
        if (v != std::floor(v) || v < low || v > high)
            throw DataError(name + " line " + std::to_string(list.line_number()) + ": " + what +
                            " must be a whole number from " + std::to_string(low) + " to " +
                            std::to_string(high));
        return static_cast<int>(v);
    };
    auto blade_rows = [&](int rows) {
        std::vector<double> x(static_cast<size_t>(rows)), k(static_cast<size_t>(rows));
        for (size_t i = 0; i < x.size(); ++i) {
            x[i] = number("r/R");
            k[i] = number("chord coefficient K");
            for (int skip = 0; skip < 4; ++skip) number("a/c, b/c, Ar, Br");
        }
        // The parabola through the station below 0.75R, the one above and the
        // one below that: for the published table (0.6, 0.7, 0.8R) it gives
        // the K = 2.073 of the B-series chord at 0.75R.
        for (size_t i = 1; i + 1 < x.size(); ++i)
            if (x[i] <= 0.75 && x[i + 1] > 0.75) {
                const double x0 = x[i - 1], x1 = x[i], x2 = x[i + 1], t = 0.75;
                return k[i - 1] * (t - x1) * (t - x2) / ((x0 - x1) * (x0 - x2)) +
                       k[i] * (t - x0) * (t - x2) / ((x1 - x0) * (x1 - x2)) +
                       k[i + 1] * (t - x0) * (t - x1) / ((x2 - x0) * (x2 - x1));
            }
        throw DataError(name + ": the blade table has no stations around 0.75R");
    };
    ChordTable table;
    const int n1 = count("station count N1", 3, 40);
    table.k_other = blade_rows(n1);
    const int n2 = count("V1 row count N2", 1, 40);
    count("V1 trailing column count N3", 1, 40);
    for (int i = 0; i < n2 * 10; ++i) number("V1 value");
    count("V1 leading column count N4", 1, 40);
    for (int i = 0; i < n2 * 10; ++i) number("V1 value");
    const int n5 = count("V2 row count N5", 1, 40);
    for (int i = 0; i < n5 * 20; ++i) number("V2 value");
    table.k_three_blades = blade_rows(n1);
    if (!(table.k_other > 0) || !(table.k_three_blades > 0))
        throw DataError(name + ": the chord coefficient at 0.75R is not positive");
    return table;
}

ChordTable read_chord_table(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw DataError(file + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return parse_chord_table(text.str(), file);
}

double chord_at_075(const ChordTable& chords, const Propeller& p, double diameter) {
    return chords.coefficient(p.blades) * diameter * p.area_ratio / p.blades;
}

double reynolds_number(double chord, double speed, double rps, double diameter, const Water& w) {
    const double rotation = 0.75 * pi * rps * diameter;
    return chord * std::sqrt(speed * speed + rotation * rotation) / w.viscosity;
}

double keller_constant(Screws s) {
    switch (s) {
        case Screws::single:
            return 0.2;
        case Screws::twin:
            return 0.1;
        case Screws::fast_twin:
            return 0.0;
    }
    return 0.2;
}

double keller_area_ratio(int blades, double thrust, double diameter, double immersion,
                         Screws screws, const Water& w) {
    const double p0 = atmospheric_pressure + w.density * gravity * immersion;
    return (1.3 + 0.3 * blades) * thrust / ((p0 - vapour_pressure) * diameter * diameter) +
           keller_constant(screws);
}

std::vector<CurvePoint> open_water_curves(const OpenWaterModel& model, double step, double rn) {
    std::vector<CurvePoint> points;
    const double end = model.zero_thrust_advance(rn);
    for (int i = 0;; ++i) {
        const double j = i * step;
        if (j >= end - 1e-9) break;
        points.push_back({j, model.at(j, rn)});
    }
    CurvePoint last{end, model.at(end, rn)};
    last.c.kt = 0;  // where it falls to zero, without the bisection's last bits
    points.push_back(last);
    return points;
}

CurvePoint highest_efficiency(const OpenWaterModel& model, double rn) {
    double a = 0, b = model.zero_thrust_advance(rn);
    const double g = (std::sqrt(5.0) - 1) / 2;
    auto eta = [&](double j) { return model.at(j, rn).efficiency(j); };
    double x1 = b - g * (b - a), x2 = a + g * (b - a), e1 = eta(x1), e2 = eta(x2);
    while (b - a > 1e-9) {
        if (e1 >= e2) {
            b = x2;
            x2 = x1;
            e2 = e1;
            x1 = b - g * (b - a);
            e1 = eta(x1);
        } else {
            a = x1;
            x1 = x2;
            e1 = e2;
            x2 = a + g * (b - a);
            e2 = eta(x2);
        }
    }
    const double j = 0.5 * (a + b);
    return {j, model.at(j, rn)};
}

OperatingPoint operating_point(const OpenWaterModel& model, double diameter, double rps,
                               double speed, double rn, const Water& w) {
    OperatingPoint op;
    op.rps = rps;
    op.speed = speed;
    op.diameter = diameter;
    op.j = speed / (rps * diameter);
    op.rn = rn;
    op.c = model.at(op.j, rn);
    op.efficiency = op.c.efficiency(op.j);
    op.thrust = op.c.kt * w.density * rps * rps * std::pow(diameter, 4);
    op.torque = op.c.kq * w.density * rps * rps * std::pow(diameter, 5);
    op.power = 2 * pi * rps * op.torque;
    return op;
}

}  // namespace korvanti::openwater
