// The selection against an independent brute-force search: for every P/D on
// a fine grid, the diameter (or rate of revolutions) meeting the need is found
// by scanning a grid of diameters (or rates) for the crossing and bisecting
// it, with the polynomials summed term by term from the data files and the
// Reynolds correction and Keller's criterion computed here again. The
// selection must be as good as the best of the grid to 0.001 in η0, and the
// propeller it selects must give what was asked.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "openwater/selection.h"

namespace korvanti::openwater {
namespace {

struct Row {
    std::string quantity;
    double c;
    int e[5];  // exponents of J, P/D, Ae/A0, Z, L
};

std::vector<Row> read_rows(const std::string& file, int exponents) {
    std::ifstream in(KORVANTI_SOURCE_DIR "/data/open-water/" + file);
    std::vector<Row> rows;
    bool header = true;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        if (header) {
            header = false;
            continue;
        }
        std::istringstream fields(line);
        Row r{};
        fields >> r.quantity >> r.c;
        for (int i = 0; i < exponents; ++i) fields >> r.e[i];
        rows.push_back(r);
    }
    return rows;
}

double power_of(double x, int n) {
    double r = 1;
    for (int i = 0; i < n; ++i) r *= x;
    return r;
}

// A polynomial of the B-series, term by term.
double sum(const std::vector<Row>& rows, double j, double pd, double ae, int z, double l = 0) {
    double total = 0;
    for (const Row& r : rows)
        total += r.c * power_of(j, r.e[0]) * power_of(pd, r.e[1]) * power_of(ae, r.e[2]) *
                 power_of(z, r.e[3]) * power_of(l, r.e[4]);
    return total;
}

std::vector<Row> only(const std::vector<Row>& rows, const std::string& quantity) {
    std::vector<Row> kept;
    for (const Row& r : rows)
        if (r.quantity == quantity) kept.push_back(r);
    return kept;
}

struct Reference {
    std::vector<Row> kt_kq = read_rows("wageningen-b-kt-kq.tsv", 4);
    std::vector<Row> reynolds = read_rows("wageningen-b-reynolds.tsv", 5);
    std::vector<Row> kt = only(kt_kq, "KT"), kq = only(kt_kq, "KQ");
    std::vector<Row> dkt = only(reynolds, "dKT"), dkq = only(reynolds, "dKQ");

    // At J, n (rev/s) and D in sea water, with the Reynolds correction.
    void coefficients(double j, double pd, double ae, int z, double n, double d, double& kt_out,
                      double& kq_out) const {
        kt_out = sum(kt, j, pd, ae, z);
        kq_out = sum(kq, j, pd, ae, z);
        // c(0.75R) with K from the 0.6, 0.7, 0.8R rows of WAGBPROP.DAT.
        const double k = z == 3 ? 2.150375 : 2.073375;
        const double c = k * d * ae / z;
        const double rn = c * std::hypot(j * n * d, 0.75 * M_PI * n * d) / 1.188e-6;
        if (rn > 2e6) {
            const double l = std::log10(rn) - 0.301;
            kt_out += sum(dkt, j, pd, ae, z, l);
            kq_out += sum(dkq, j, pd, ae, z, l);
        }
    }
};

const Reference& reference() {
    static const Reference r;
    return r;
}

struct Case {
    const char* name;
    bool thrust_given, rpm_given;
    double value;  // kN or kW
    double speed;  // m/s
    double fixed;  // rpm or D
    double max_diameter;
};

// What the propeller of given P/D at the free variable x (D, or n in rev/s)
// gives: the thrust or power, its efficiency, and the area ratio used.
struct Point {
    double delivered = 0, efficiency = 0, ae = 0, kt = 0, d = 0, n = 0;
};

constexpr double rho = 1025.9, immersion = 4.0;

double keller(int z, double thrust, double d) {
    const double p0 = 101325 + rho * 9.81 * immersion;
    return (1.3 + 0.3 * z) * thrust / ((p0 - 1700) * d * d) + 0.2;
}

Point evaluate(const Case& k, int z, double pd, bool with_keller, double x) {
    Point p;
    p.d = k.rpm_given ? x : k.fixed;
    p.n = k.rpm_given ? k.fixed / 60 : x;
    const double j = k.speed / (p.n * p.d);
    p.ae = 0.55;
    for (int round = 0; round < (with_keller ? 60 : 1); ++round) {
        double kt = 0, kq = 0;
        reference().coefficients(j, pd, p.ae, z, p.n, p.d, kt, kq);
        const double thrust = kt * rho * p.n * p.n * std::pow(p.d, 4);
        const double power = 2 * M_PI * kq * rho * std::pow(p.n, 3) * std::pow(p.d, 5);
        p.delivered = k.thrust_given ? thrust : power;
        p.efficiency = j * kt / (2 * M_PI * kq);
        p.kt = kt;
        if (!with_keller) break;
        const double t = k.thrust_given ? k.value * 1000 : thrust;
        const double next = std::max(0.30, keller(z, t, p.d));
        if (std::fabs(next - p.ae) < 1e-10) break;
        p.ae = next;
    }
    return p;
}

// The best efficiency over the grid of P/D; what is delivered grows with D
// and with n, so the crossing of the need is bracketed by the grid of x.
double brute_force(const Case& k, int z, bool with_keller) {
    const double need = k.value * 1000;
    const double x_low = k.rpm_given ? 0.5 : 0.2, x_high = k.rpm_given ? k.max_diameter : 20.0;
    double best = -1;
    for (double pd = 0.5; pd <= 1.4 + 1e-9; pd += 0.005) {
        double previous = x_low;
        for (int i = 1; i <= 40; ++i) {
            const double x = x_low + (x_high - x_low) * i / 40;
            if (evaluate(k, z, pd, with_keller, x).delivered < need) {
                previous = x;
                continue;
            }
            double a = previous, b = x;
            for (int r = 0; r < 45; ++r) {
                const double mid = 0.5 * (a + b);
                (evaluate(k, z, pd, with_keller, mid).delivered < need ? a : b) = mid;
            }
            const Point p = evaluate(k, z, pd, with_keller, 0.5 * (a + b));
            if (p.kt > 0 && p.ae <= 1.05) best = std::max(best, p.efficiency);
            break;
        }
    }
    return best;
}

class SelectionAgainstBruteForce : public ::testing::TestWithParam<std::tuple<int, bool>> {};

const Case cases[] = {
    {"rpm and thrust", true, true, 250, 6.0, 150, 3.5},
    {"rpm and power", false, true, 2500, 6.0, 150, 4.0},
    {"diameter and thrust", true, false, 250, 6.0, 3.0, 0},
    {"diameter and power", false, false, 2000, 6.0, 3.0, 0},
};

TEST_P(SelectionAgainstBruteForce, NoBetterPropellerAndTheNeedMet) {
    const auto [z, with_keller] = GetParam();
    static const OpenWaterData data = read_open_water_data(KORVANTI_SOURCE_DIR "/data/open-water");
    static const ChordTable chords = read_chord_table(KORVANTI_SOURCE_DIR "/data/WAGBPROP.DAT");
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Need need;
        need.thrust_given = k.thrust_given;
        need.value = k.value * 1000;
        need.speed = k.speed;
        need.rpm_given = k.rpm_given;
        need.rps = k.rpm_given ? k.fixed / 60 : 0;
        need.diameter = k.rpm_given ? 0 : k.fixed;
        need.max_diameter = k.max_diameter;
        SelectionSettings s;
        s.blades = {z};
        if (!with_keller) s.area_ratio = 0.55;
        s.immersion_known = true;
        s.cavitation = {with_keller, immersion, Screws::single};
        const Selection selection = select_propeller(data, chords, need, s);
        ASSERT_EQ(selection.best, 0) << selection.rows[0].why_not;
        const Candidate& c = selection.rows[0];

        const double best = brute_force(k, z, with_keller);
        ASSERT_GT(best, 0);
        EXPECT_GT(c.efficiency, best - 0.001) << "brute force " << best;
        EXPECT_LT(c.efficiency, best + 0.001) << "brute force " << best;
        EXPECT_GE(c.propeller.pitch_ratio, 0.5);
        EXPECT_LE(c.propeller.pitch_ratio, 1.4);
        if (k.rpm_given) {
            EXPECT_LE(c.diameter, k.max_diameter * (1 + 1e-9));
        }

        // KT, J and n reproduce what was asked; η0 and Keller's area ratio
        // are those of the formulas.
        const double x = k.rpm_given ? c.diameter : c.rps;
        const Point p = evaluate(k, z, c.propeller.pitch_ratio, with_keller, x);
        EXPECT_NEAR(p.delivered / (k.value * 1000), 1, 1e-3);
        EXPECT_NEAR(c.j, k.speed / (c.rps * c.diameter), 1e-12);
        const double delivered =
            k.thrust_given ? c.c.kt * rho * c.rps * c.rps * std::pow(c.diameter, 4)
                           : 2 * M_PI * c.c.kq * rho * std::pow(c.rps, 3) * std::pow(c.diameter, 5);
        EXPECT_NEAR(delivered / (k.value * 1000), 1, 1e-3);
        EXPECT_NEAR(c.efficiency, c.j * c.c.kt / (2 * M_PI * c.c.kq), 1e-12);
        EXPECT_NEAR(c.keller, keller(z, c.thrust, c.diameter), 1e-12);
        if (with_keller) {
            EXPECT_NEAR(c.propeller.area_ratio, std::max(0.30, c.keller), 1e-6);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BladeCounts, SelectionAgainstBruteForce,
                         ::testing::Combine(::testing::Values(3, 4, 5, 6), ::testing::Bool()),
                         [](const auto& info) {
                             return "Z" + std::to_string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "_Keller" : "_GivenArea");
                         });

// Nothing meets a thrust far beyond what the largest diameter gives: the
// selection says so with what that diameter does at most.
TEST(SelectionLimits, ANeedBeyondTheRangeIsSaidWithTheNearest) {
    static const OpenWaterData data = read_open_water_data(KORVANTI_SOURCE_DIR "/data/open-water");
    const ChordTable chords = read_chord_table(KORVANTI_SOURCE_DIR "/data/WAGBPROP.DAT");
    Need need;
    need.value = 2500e3;
    need.speed = 6;
    need.rps = 2.5;
    need.max_diameter = 3.5;
    SelectionSettings s;
    s.blades = {4};
    s.area_ratio = 0.55;
    const Selection selection = select_propeller(data, chords, need, s);
    EXPECT_EQ(selection.best, -1);
    EXPECT_NE(
        selection.rows[0].why_not.find("needs a diameter above 3.500 m at every P/D; at most "),
        std::string::npos)
        << selection.rows[0].why_not;
    EXPECT_NE(selection.rows[0].why_not.find(" kN at D = 3.500 m (P/D 1.40)"), std::string::npos);
}

}  // namespace
}  // namespace korvanti::openwater
