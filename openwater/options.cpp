#include "openwater/options.h"

#include <getopt.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "common/list_input.h"

namespace korvanti::openwater {

namespace {

enum Code {
    opt_series = 1000,
    opt_blades,
    opt_area_ratio,
    opt_pitch_ratio,
    opt_diameter,
    opt_rpm,
    opt_speed,
    opt_thrust,
    opt_power,
    opt_max_diameter,
    opt_immersion,
    opt_screws,
    opt_choose,
    opt_water,
    opt_density,
    opt_viscosity,
    opt_no_reynolds,
    opt_extrapolate,
    opt_step,
    opt_version,
};

const option long_options[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, opt_version},
    {"directory", required_argument, nullptr, 'C'},
    {"series", required_argument, nullptr, opt_series},
    {"blades", required_argument, nullptr, opt_blades},
    {"area-ratio", required_argument, nullptr, opt_area_ratio},
    {"pitch-ratio", required_argument, nullptr, opt_pitch_ratio},
    {"diameter", required_argument, nullptr, opt_diameter},
    {"rpm", required_argument, nullptr, opt_rpm},
    {"speed", required_argument, nullptr, opt_speed},
    {"thrust", required_argument, nullptr, opt_thrust},
    {"power", required_argument, nullptr, opt_power},
    {"max-diameter", required_argument, nullptr, opt_max_diameter},
    {"immersion", required_argument, nullptr, opt_immersion},
    {"screws", required_argument, nullptr, opt_screws},
    {"choose", required_argument, nullptr, opt_choose},
    {"water", required_argument, nullptr, opt_water},
    {"density", required_argument, nullptr, opt_density},
    {"viscosity", required_argument, nullptr, opt_viscosity},
    {"no-reynolds-correction", no_argument, nullptr, opt_no_reynolds},
    {"extrapolate", no_argument, nullptr, opt_extrapolate},
    {"step", required_argument, nullptr, opt_step},
    {nullptr, 0, nullptr, 0},
};

std::string name_of(int code) {
    if (code == 'C') return "-C (--directory)";
    for (const option& o : long_options)
        if (o.name != nullptr && o.val == code) return std::string("--") + o.name;
    return "?";
}

[[noreturn]] void bad(int code, const std::string& problem) {
    throw UsageError("option " + name_of(code) + ": " + problem);
}

// A number as the task file's reader takes it (a D exponent read as E), one
// item, finite.
bool number_text(const std::string& text, double& value) {
    if (text.empty() || text.find_first_of(" \t\r\n,/*") != std::string::npos) return false;
    return read_real_with_d_exponent(text, value) && std::isfinite(value);
}

bool integer_text(const std::string& text, int& value) {
    if (text.empty()) return false;
    const char* first = text.data() + (text.size() > 1 && text[0] == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(first, text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

double positive(int code, const std::string& text, const std::string& what) {
    double value = 0;
    if (!number_text(text, value)) bad(code, what + " expected; '" + text + "' is not a number");
    if (!(value > 0)) bad(code, what + " must be above zero, got '" + text + "'");
    return value;
}

int blade_count(int code, const std::string& text) {
    int value = 0;
    if (!integer_text(text, value))
        bad(code, "a blade count Z (a whole number) expected; '" + text + "' is not one");
    if (value < 1 || value > 20) bad(code, "the blade count Z must be from 1 to 20, got " + text);
    return value;
}

std::string lower(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

const char* const series_options[] = {"B", "Ka", "Kc", "KC101", "Gawn", "NR", "AU"};
const char* const series_titles[] = {"Wageningen B",  "Wageningen Ka in nozzle 19A",
                                     "Wageningen Kc", "KC101-Gawn",
                                     "Gawn",          "Newton-Rader",
                                     "AU (MAU)"};

void take(int code, const std::string& text, Options& o) {
    switch (code) {
        case opt_series:
            o.series = series_from_text(text);
            if (!o.series)
                bad(code, "a series 1 to 7 or B, Ka, Kc, KC101, Gawn, NR, AU expected; '" + text +
                              "' is not known");
            break;
        case opt_blades: {
            const size_t dash = text.find('-', 1);
            if (dash == std::string::npos) {
                o.blades_low = o.blades_high = blade_count(code, text);
            } else {
                o.blades_low = blade_count(code, text.substr(0, dash));
                o.blades_high = blade_count(code, text.substr(dash + 1));
                if (*o.blades_high < *o.blades_low)
                    bad(code, "a range Z1-Z2 needs Z1 <= Z2, got " + text);
            }
            o.blades_text = text;
            break;
        }
        case opt_area_ratio:
            o.area_ratio = positive(code, text, "the expanded area ratio Ae/A0");
            break;
        case opt_pitch_ratio:
            o.pitch_ratio = positive(code, text, "the pitch ratio P/D");
            break;
        case opt_diameter:
            o.diameter = positive(code, text, "the diameter D in metres");
            break;
        case opt_rpm:
            o.rpm = positive(code, text, "the rate of revolutions in rpm");
            break;
        case opt_speed:
            o.speed = positive(code, text, "the speed of advance VA in m/s");
            break;
        case opt_thrust:
            o.thrust = positive(code, text, "the thrust in kN");
            break;
        case opt_power:
            o.power = positive(code, text, "the delivered power in kW");
            break;
        case opt_max_diameter:
            o.max_diameter = positive(code, text, "the largest diameter in metres");
            break;
        case opt_immersion:
            o.immersion = positive(code, text, "the immersion of the shaft centre line in metres");
            break;
        case opt_screws:
            if (text == "single")
                o.screws = Screws::single;
            else if (text == "twin")
                o.screws = Screws::twin;
            else if (text == "fast-twin")
                o.screws = Screws::fast_twin;
            else
                bad(code, "single, twin or fast-twin expected; '" + text + "' is not known");
            break;
        case opt_choose:
            o.choose = blade_count(code, text);
            break;
        case opt_water:
            if (text == "sea")
                o.water = sea_water;
            else if (text == "fresh")
                o.water = fresh_water;
            else
                bad(code, "sea or fresh expected; '" + text + "' is not known");
            o.water_name = text;
            break;
        case opt_density:
            o.density = positive(code, text, "the density of the water in kg/m3");
            break;
        case opt_viscosity:
            o.viscosity = positive(code, text, "the kinematic viscosity in m2/s");
            break;
        case opt_no_reynolds:
            o.no_reynolds_correction = true;
            break;
        case opt_extrapolate:
            o.extrapolate = true;
            break;
        case opt_step:
            o.step = positive(code, text, "the step of J");
            if (o.step < 0.001 || o.step > 0.5)
                bad(code, "the step of J must be from 0.001 to 0.5, got " + text);
            break;
        default:
            break;
    }
}

void forbid(bool given, int code, const std::string& why) {
    if (given) throw UsageError("option " + name_of(code) + ": " + why);
}

// The options that go together, and those that belong to the other job.
void check_combination(const Options& o) {
    if (o.selection()) {
        forbid(o.thrust && o.power, opt_power, "give the thrust or the power, not both");
        if (!o.speed) throw UsageError("option --speed: a selection needs the speed of advance");
        if (o.rpm.has_value() == o.diameter.has_value())
            throw UsageError(
                "option --rpm: a selection needs either --rpm (the diameter is found) or "
                "--diameter (the rate of revolutions is found)");
        forbid(o.max_diameter && !o.rpm, opt_max_diameter, "goes with --rpm only");
        forbid(o.pitch_ratio.has_value(), opt_pitch_ratio, "the selection finds P/D itself");
        forbid(o.screws && !o.immersion, opt_screws, "goes with --immersion");
        if (o.choose && o.blades_low && (*o.choose < *o.blades_low || *o.choose > *o.blades_high))
            bad(opt_choose,
                "Z = " + std::to_string(*o.choose) + " is not in --blades " + o.blades_text);
        return;
    }
    forbid(o.max_diameter.has_value(), opt_max_diameter, "goes with --thrust or --power only");
    forbid(o.immersion.has_value(), opt_immersion, "goes with --thrust or --power only");
    forbid(o.screws.has_value(), opt_screws, "goes with --thrust or --power only");
    forbid(o.choose.has_value(), opt_choose, "goes with --thrust or --power only");
    forbid(o.blades_low && o.blades_low != o.blades_high, opt_blades,
           "a range of blade counts goes with --thrust or --power only");
    forbid(o.rpm.has_value() != o.speed.has_value(), o.rpm ? opt_speed : opt_rpm,
           "the operating point needs both --rpm and --speed");
    const bool particulars =
        o.series || o.blades_low || o.area_ratio || o.pitch_ratio || o.diameter;
    if (particulars) {
        forbid(!o.blades_low, opt_blades, "given the particulars, the blade count is needed too");
        forbid(!o.area_ratio, opt_area_ratio,
               "given the particulars, the area ratio is needed too");
        forbid(!o.pitch_ratio, opt_pitch_ratio,
               "given the particulars, the pitch ratio is needed too");
        forbid(o.rpm && !o.diameter, opt_diameter, "the operating point needs the diameter");
    }
}

}  // namespace

std::optional<int> series_from_text(const std::string& text) {
    for (int n = 1; n <= 7; ++n)
        if (lower(text) == lower(series_options[n - 1])) return n;
    int number = 0;
    if (integer_text(text, number) && number >= 1 && number <= 7) return number;
    return std::nullopt;
}

std::string series_title(int series) {
    return series >= 1 && series <= 7 ? series_titles[series - 1] : "?";
}

Options parse_options(const std::vector<std::string>& arguments) {
    std::vector<std::string> storage = arguments;
    storage.insert(storage.begin(), "korvanti-openwater");
    std::vector<char*> argv;
    for (std::string& text : storage) argv.push_back(text.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(argv.size()) - 1;

    Options o;
    optind = 0;  // getopt starts afresh
    opterr = 0;  // its messages are ours
    for (;;) {
        const int code = getopt_long(argc, argv.data(), ":hC:", long_options, nullptr);
        if (code == -1) break;
        std::string given =
            optind > 0 && optind <= argc ? argv[static_cast<size_t>(optind - 1)] : "";
        given.resize(std::min(given.size(), given.find('=')));
        switch (code) {
            case 'h':
                o.help = true;
                return o;
            case opt_version:
                o.version = true;
                return o;
            case 'C':
                if (*optarg == '\0') bad('C', "a directory expected");
                o.directory = optarg;
                break;
            case ':':
                throw UsageError("option " + given + ": expected a value after it");
            case '?':
                throw UsageError("unknown option " + given + " (see korvanti-openwater --help)");
            default:
                take(code, optarg != nullptr ? optarg : "", o);
                break;
        }
    }
    if (optind < argc)
        throw UsageError(std::string("unexpected argument '") + argv[static_cast<size_t>(optind)] +
                         "': the program takes options only (see korvanti-openwater --help)");
    // --density and --viscosity hold whatever the order beside --water.
    if (o.density) o.water.density = *o.density;
    if (o.viscosity) o.water.viscosity = *o.viscosity;
    check_combination(o);
    return o;
}

std::string help_text() {
    return R"help(Usage: korvanti-openwater [OPTION]...
Open-water performance of a standard-series propeller, and the choice of one
for a ship's need.

The open-water characteristics of one propeller: from the particulars given
as options, or without them from Korvanti.TSK of the working directory. It
prints KT, 10KQ and eta0 (and the nozzle's KTN) against J from J = 0 to
where KT reaches zero, and writes Korvanti_openwater.csv, .pdf and .png.
With --rpm and --speed it also gives the operating point.

Selection: given --thrust or --power, --speed, and --rpm or --diameter, it
finds for every blade count the propeller of highest eta0 that meets the
need, prints them with the best row marked, and writes Korvanti.TSK of the
best one (or of --choose Z) for Korvanti to run on.

Options:
  -C, --directory=DIR      work in DIR instead of the working directory
      --series=S           B (Wageningen B, the default) or Ka (Ka4-70 and
                             Ka5-75 in nozzle 19A); as Korvanti's --series
      --blades=Z           blade count; in a selection also a range Z1-Z2
                             (default 3-6 for B, 4-5 for Ka)
      --area-ratio=EAR     expanded area ratio Ae/A0
      --pitch-ratio=PD     pitch ratio P/D
      --diameter=D         diameter in metres (a selection then finds n)
      --rpm=N              rate of revolutions, rpm (a selection then finds D)
      --speed=VA           speed of advance, m/s
      --thrust=T           selection: the thrust needed, kN
      --power=P            selection: the delivered power to absorb, kW
      --max-diameter=D     selection with --rpm: the largest diameter, m
      --immersion=H        shaft centre line below the surface, m: Keller's
                             criterion (without --area-ratio the selection
                             takes the smallest area ratio it allows)
      --screws=KIND        single (K = 0.2, the default), twin (0.1) or
                             fast-twin (0) for Keller's criterion
      --choose=Z           selection: write the task file of this Z
      --water=sea|fresh    water at 15 C (default sea: 1025.9 kg/m3,
                             1.188e-6 m2/s; fresh: 999.1 kg/m3, 1.139e-6 m2/s)
      --density=RHO        density of the water, kg/m3
      --viscosity=NU       kinematic viscosity of the water, m2/s
      --no-reynolds-correction
                           the figures at Rn = 2e6, as the published charts
      --extrapolate        accept values outside the regression's range
      --step=DJ            step of J in the table (default 0.01)
  -h, --help               display this help and exit
      --version            output version information and exit

Range of the polynomials: B-series Z 2 to 7, Ae/A0 0.30 to 1.05, P/D 0.5 to
1.4; Ka-series P/D 0.6 to 1.4. The B-series Reynolds correction applies above
Rn = 2e6, with Rn from the chord at 0.75R (WAGBPROP.DAT), the rate of
revolutions, the speed and the water.

Files:
  Korvanti.TSK             read for the particulars; written by a selection
  WAGBPROP.DAT             B-series chord at 0.75R for Rn (working directory,
                           else the installed copy)
  Korvanti_openwater.csv   the table: one header row, then J and the curves
  Korvanti_openwater.pdf   the open-water diagram, one page
  Korvanti_openwater.png   the same diagram as an image

Exit status:
  0  done
  1  an input file cannot be used, no open-water model for the series, or no
     propeller of the range meets the need
  2  a bad option; nothing written

Examples:
  korvanti-openwater -C B4-55 --rpm 120 --speed 6
  korvanti-openwater --thrust 250 --speed 6 --rpm 150 --max-diameter 3.5 \
      --blades 3-6 --immersion 3 --screws single
)help";
}

}  // namespace korvanti::openwater
