#include "openwater/openwater_run.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <sstream>

#include "common/staged_files.h"
#include "openwater/diagram.h"
#include "openwater/options.h"
#include "openwater/selection.h"
#include "openwater/task_file.h"

namespace korvanti::openwater {

namespace {

namespace fs = std::filesystem;

constexpr const char* program = "korvanti-openwater";
constexpr const char* csv_file = "Korvanti_openwater.csv";
constexpr const char* pdf_file = "Korvanti_openwater.pdf";
constexpr const char* png_file = "Korvanti_openwater.png";
constexpr const char* single_transcription =
    "The Ka-series figures come from a single published transcription of the polynomials.";

// An input that cannot be used, a series without a model, a need not met:
// exit status 1.
class RunError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string format(const char* f, double v) {
    char text[64];
    std::snprintf(text, sizeof text, f, v);
    return text;
}

// The B-series or the Ka-series; the other series have no model here.
OpenWaterSeries model_series(int series) {
    if (series == 1) return OpenWaterSeries::b;
    if (series == 2) return OpenWaterSeries::ka;
    throw RunError("no open-water model for the " + series_title(series) +
                   " series: only Wageningen B and Ka (Ka4-70, Ka5-75 in nozzle 19A) have one");
}

void check_ducted(const Propeller& p) {
    if (p.series != OpenWaterSeries::ka) return;
    const bool ka470 = p.blades == 4 && std::fabs(p.area_ratio - 0.70) < 1e-6;
    const bool ka575 = p.blades == 5 && std::fabs(p.area_ratio - 0.75) < 1e-6;
    if (!ka470 && !ka575)
        throw RunError("the Ka-series open-water data are for Ka4-70 and Ka5-75 only, not Z = " +
                       std::to_string(p.blades) + ", Ae/A0 = " + format("%g", p.area_ratio));
}

struct Loaded {
    OpenWaterData data;
    std::optional<ChordTable> chords;
};

OpenWaterData load_data() {
    try {
        return read_open_water_data(open_water_data_folder());
    } catch (const DataError& e) {
        throw RunError(e.what());
    }
}

ChordTable load_chords() {
    try {
        return read_chord_table(b_series_tables_file().string());
    } catch (const DataError& e) {
        throw RunError(e.what());
    }
}

std::string rn_text(double rn) {
    const int exponent = static_cast<int>(std::floor(std::log10(rn)));
    return format("%.3f", rn / std::pow(10.0, exponent)) + "e" + std::to_string(exponent);
}

// ---- the characteristics of one propeller -------------------------------

struct Particulars {
    Propeller propeller;
    std::optional<double> diameter;
    std::string source;  // "options" or the task file
};

Particulars particulars(const Options& o) {
    Particulars p;
    int series = 1;
    if (o.blades_low) {
        series = o.series.value_or(1);
        p.propeller.blades = *o.blades_low;
        p.propeller.area_ratio = *o.area_ratio;
        p.propeller.pitch_ratio = *o.pitch_ratio;
        p.diameter = o.diameter;
        p.source = "options";
    } else {
        std::ifstream in(task_file_name, std::ios::binary);
        if (!in)
            throw RunError(std::string(task_file_name) +
                           ": cannot be read (no particulars "
                           "given as options either)");
        std::ostringstream text;
        text << in.rdbuf();
        TaskValues t;
        try {
            t = parse_task_file(text.str());
        } catch (const TaskFileError& e) {
            throw RunError(e.what());
        }
        series = t.series;
        p.propeller.blades = t.blades;
        p.propeller.area_ratio = t.area_ratio;
        p.propeller.pitch_ratio = t.pitch_ratio;
        p.diameter = t.diameter;
        p.source = task_file_name;
    }
    p.propeller.series = model_series(series);
    check_ducted(p.propeller);
    return p;
}

std::string table_row(const CurvePoint& pt, bool ducted, const char* separator) {
    std::string row = format("%.4f", pt.j) + separator + format("%.5f", pt.c.kt) + separator +
                      format("%.5f", 10 * pt.c.kq) + separator +
                      format("%.4f", pt.c.efficiency(pt.j));
    if (ducted) row += separator + format("%.5f", pt.c.ktn);
    return row;
}

std::string csv_header(bool ducted, bool extrapolated) {
    const std::string mark = extrapolated ? " (extrapolated)" : "";
    std::string h = "J [-],KT [-]" + mark + ",10KQ [-]" + mark + ",eta0 [-]" + mark;
    if (ducted) h += ",KTN [-]" + mark;
    return h + "\n";
}

std::string title_of(const Propeller& p, double rn, bool extrapolated) {
    std::string t = p.series == OpenWaterSeries::b ? "Wageningen " : "Wageningen ";
    t += propeller_name(p);
    if (p.series == OpenWaterSeries::ka) t += " in nozzle 19A";
    t += ", Z = " + std::to_string(p.blades) + ", Ae/A0 = " + format("%.3f", p.area_ratio) +
         ", P/D = " + format("%.3f", p.pitch_ratio);
    if (p.series == OpenWaterSeries::b) t += ", Rn = " + rn_text(rn);
    if (extrapolated) t += " (extrapolated)";
    return t;
}

void stage_and_write(StagedFiles& files, const std::string& name, const std::string& bytes) {
    std::error_code error;
    const auto temporary = files.stage(name, error);
    if (!temporary || !write_whole_file(*temporary, bytes))
        throw RunError(name + ": cannot be written");
}

void commit(StagedFiles& files) {
    if (const auto failure = files.commit())
        throw RunError(failure->name.string() + ": cannot be written (" + failure->error.message() +
                       ")");
}

// The Reynolds number the curves are at, and the line that says which.
struct ReynoldsChoice {
    double curves = reference_reynolds;  // of the table and the diagram
    double operating = 0;                // of the operating point (B-series), when there is one
    std::string note;
};

ReynoldsChoice choose_reynolds(const Options& o, const Particulars& part, bool running) {
    ReynoldsChoice r;
    if (part.propeller.series == OpenWaterSeries::ka) {
        r.note = "Rn: the Ka-series polynomials have no Reynolds correction";
        return r;
    }
    if (!running) {
        r.note = "Rn = 2.000e6, the polynomials' own (no rate of revolutions given)";
        return r;
    }
    const ChordTable chords = load_chords();
    r.operating = reynolds_number(chord_at_075(chords, part.propeller, *part.diameter), *o.speed,
                                  *o.rpm / 60, *part.diameter, o.water);
    if (o.no_reynolds_correction) {
        r.note = "Rn = 2.000e6 (--no-reynolds-correction); at the operating point Rn = " +
                 rn_text(r.operating);
    } else if (r.operating > reference_reynolds) {
        r.curves = r.operating;
        r.note = "Rn = " + rn_text(r.curves) +
                 " at the operating point: the Reynolds correction "
                 "applies";
    } else {
        r.note = "Rn = " + rn_text(r.operating) +
                 " at the operating point, not above 2e6: the figures are at Rn = 2e6";
    }
    return r;
}

void print_operating_point(const OperatingPoint& op, bool ducted, double rpm, std::ostream& out) {
    out << "Operating point at n = " << format("%.2f", rpm)
        << " rpm, VA = " << format("%.3f", op.speed) << " m/s, D = " << format("%.4f", op.diameter)
        << " m:\n";
    out << "  J = " << format("%.4f", op.j) << ", KT = " << format("%.5f", op.c.kt)
        << ", KQ = " << format("%.6f", op.c.kq) << ", eta0 = " << format("%.4f", op.efficiency)
        << "\n";
    out << "  T = " << format("%.2f", op.thrust / 1000)
        << " kN, Q = " << format("%.3f", op.torque / 1000)
        << " kN.m, P = " << format("%.2f", op.power / 1000) << " kW";
    if (!ducted) out << ", Rn = " << rn_text(op.rn);
    out << "\n";
    if (op.c.kt <= 0) out << "  (the propeller gives no thrust at this J)\n";
}

Diagram diagram_of(const std::vector<CurvePoint>& points, const std::optional<OperatingPoint>& op,
                   bool ducted) {
    Diagram d;
    DiagramCurve kt{"KT", {}, false}, kq{"10·KQ", {}, false}, eta{"η0", {}, false},
        ktn{"KTN", {}, true};
    for (const CurvePoint& pt : points) {
        d.j.push_back(pt.j);
        kt.y.push_back(pt.c.kt);
        kq.y.push_back(10 * pt.c.kq);
        eta.y.push_back(pt.c.efficiency(pt.j));
        ktn.y.push_back(pt.c.ktn);
    }
    d.curves = {kt, kq, eta};
    if (ducted) d.curves.push_back(ktn);
    if (op && op->j < points.back().j) {
        d.operating_j = op->j;
        d.operating_values = {op->c.kt, 10 * op->c.kq, op->efficiency};
        if (ducted) d.operating_values.push_back(op->c.ktn);
    }
    return d;
}

// The CSV, the PDF and the PNG, all or none.
void write_curve_files(const std::string& csv, const Diagram& d) {
    StagedFiles files;
    stage_and_write(files, csv_file, csv);
    std::error_code error;
    const auto pdf = files.stage(pdf_file, error);
    if (!pdf) throw RunError(std::string(pdf_file) + ": cannot be written");
    if (auto failure = write_diagram_pdf(d, pdf->string()))
        throw RunError(std::string(pdf_file) + ": " + *failure);
    const auto png = files.stage(png_file, error);
    if (!png) throw RunError(std::string(png_file) + ": cannot be written");
    if (auto failure = write_diagram_png(d, png->string()))
        throw RunError(std::string(png_file) + ": " + *failure);
    commit(files);
}

int characteristics(const Options& o, std::ostream& out, std::ostream& err) {
    const Particulars part = particulars(o);
    const Propeller& p = part.propeller;
    const RangeProblem range = range_problem(p);
    if (!range.what.empty() && !o.extrapolate) {
        if (part.source == "options") throw UsageError(range.what + " (--extrapolate to accept)");
        throw RunError(std::string(task_file_name) + ": " + range.what +
                       " (--extrapolate to accept)");
    }
    const bool extrapolated = !range.what.empty();
    const bool ducted = p.series == OpenWaterSeries::ka;
    if (p.blades == 2 && !ducted)
        err << program << ": warning: the B-series fit is poor for Z = 2 "
            << "(B2-30 at P/D 1.0 reaches eta0 0.87)\n";
    const OpenWaterData data = load_data();
    const OpenWaterModel model(data, p);

    const bool running = o.rpm && o.speed && part.diameter;
    const ReynoldsChoice rn = choose_reynolds(o, part, running);
    std::optional<OperatingPoint> op;
    if (running) {
        op = operating_point(model, *part.diameter, *o.rpm / 60, *o.speed, rn.curves, o.water);
        op->rn = rn.operating;
    }
    const std::vector<CurvePoint> points = open_water_curves(model, o.step, rn.curves);

    // The console table and the CSV share their figures.
    std::string csv = csv_header(ducted, extrapolated);
    out << "Open-water characteristics of " << title_of(p, rn.curves, extrapolated) << "\n";
    out << "Particulars from " << part.source << "\n" << rn.note << "\n";
    if (ducted) out << single_transcription << "\n";
    if (extrapolated) out << "extrapolated: " << range.what << "\n";
    out << "     J       KT     10KQ     eta0" << (ducted ? "      KTN" : "") << "\n";
    for (const CurvePoint& pt : points) {
        out << table_row(pt, ducted, "  ") << "\n";
        csv += table_row(pt, ducted, ",") + "\n";
    }
    const CurvePoint top = highest_efficiency(model, rn.curves);
    out << "KT reaches 0 at J = " << format("%.4f", points.back().j) << "; the highest eta0 is "
        << format("%.4f", top.c.efficiency(top.j)) << " at J = " << format("%.3f", top.j) << "\n";
    if (op) print_operating_point(*op, ducted, *o.rpm, out);

    Diagram d = diagram_of(points, op, ducted);
    d.title = title_of(p, rn.curves, extrapolated);
    d.notes.push_back(rn.note);
    if (ducted) d.notes.push_back(single_transcription);
    if (extrapolated) d.notes.push_back("extrapolated: " + range.what);
    write_curve_files(csv, d);
    out << "Files written: " << csv_file << " " << pdf_file << " " << png_file << "\n";
    return 0;
}

// ---- selection ------------------------------------------------------------

std::string asked(const Options& o) {
    std::string a =
        o.thrust ? "T=" + format("%g", *o.thrust) + " kN" : "P=" + format("%g", *o.power) + " kW";
    a += ", VA=" + format("%g", *o.speed) + " m/s";
    if (o.rpm) a += ", n=" + format("%g", *o.rpm) + " rpm";
    if (o.max_diameter) a += ", D<=" + format("%g", *o.max_diameter) + " m";
    if (o.diameter) a += ", D=" + format("%g", *o.diameter) + " m";
    return a;
}

const char* screws_word(Screws s) {
    return s == Screws::single ? "single screw"
           : s == Screws::twin ? "twin screw"
                               : "fast twin screw";
}

std::string row_text(const Candidate& c, bool best, bool keller_known) {
    const int z = c.propeller.blades;
    if (!c.found) return std::string("   ") + format("%2.0f", z) + "  no propeller: " + c.why_not;
    std::string r = best ? " * " : "   ";
    r += format("%2.0f", z) + "  " + format("%.4f", c.propeller.area_ratio) + "  " +
         format("%.4f", c.propeller.pitch_ratio) + "  " + format("%7.4f", c.diameter) + "  " +
         format("%8.2f", c.rps * 60) + "  " + format("%.4f", c.j) + "  " + format("%.5f", c.c.kt) +
         "  " + format("%.5f", 10 * c.c.kq) + "  " + format("%.4f", c.efficiency) + "  " +
         format("%9.2f", c.thrust / 1000) + "  " + format("%9.3f", c.torque / 1000) + "  " +
         format("%9.2f", c.power / 1000) + "  " +
         (c.propeller.series == OpenWaterSeries::b ? rn_text(c.rn) : std::string("      -"));
    // A margin that rounds to nothing is shown as +0.0000, not -0.0000.
    const double margin = std::fabs(c.propeller.area_ratio - c.keller) < 5e-5
                              ? 0.0
                              : c.propeller.area_ratio - c.keller;
    if (keller_known) r += "  " + format("%.4f", c.keller) + "  " + format("%+.4f", margin);
    return r;
}

// What the options ask of a selection, checked.
struct SelectionRequest {
    int series = 1;
    int low = 3, high = 6;  // the blade counts tried
    bool extrapolated = false;
    SelectionSettings settings;
    Need need;
};

void blade_range(const Options& o, bool ducted, SelectionRequest& r) {
    r.low = o.blades_low.value_or(ducted ? 4 : 3);
    r.high = o.blades_high.value_or(ducted ? 5 : 6);
    if (ducted) {
        if (o.area_ratio)
            throw UsageError(
                "option --area-ratio: the Ka-series propellers have their own "
                "(Ka4-70, Ka5-75)");
        if (r.low > 5 || r.high < 4)
            throw UsageError("option --blades: the Ka-series data are for Z = 4 and 5 only");
        r.low = std::max(r.low, 4);
        r.high = std::min(r.high, 5);
        return;
    }
    if (!o.area_ratio && !o.immersion)
        throw UsageError(
            "option --area-ratio: give the area ratio, or --immersion for the "
            "smallest Keller's criterion allows");
    for (int z : {r.low, r.high}) {
        const RangeProblem problem =
            range_problem({OpenWaterSeries::b, z, o.area_ratio.value_or(0.55), 1.0});
        if (!problem.what.empty() && !o.extrapolate)
            throw UsageError(problem.what + " (--extrapolate to accept)");
        if (!problem.what.empty()) r.extrapolated = true;
    }
}

SelectionRequest selection_request(const Options& o) {
    SelectionRequest r;
    r.series = o.series.value_or(1);
    SelectionSettings& s = r.settings;
    s.series = model_series(r.series);
    const bool ducted = s.series == OpenWaterSeries::ka;
    blade_range(o, ducted, r);
    for (int z = r.low; z <= r.high; ++z) s.blades.push_back(z);
    if (o.choose && (*o.choose < r.low || *o.choose > r.high))
        throw UsageError("option --choose: Z = " + std::to_string(*o.choose) +
                         " is not among the blade counts tried");
    s.area_ratio = o.area_ratio;
    s.immersion_known = o.immersion.has_value();
    s.cavitation.keller = !ducted && !o.area_ratio && o.immersion;
    s.cavitation.immersion = o.immersion.value_or(0);
    s.cavitation.screws = o.screws.value_or(Screws::single);
    s.water = o.water;
    s.reynolds_correction = !o.no_reynolds_correction && !ducted;

    Need& need = r.need;
    need.thrust_given = o.thrust.has_value();
    need.value = (o.thrust ? *o.thrust : *o.power) * 1000;
    need.speed = *o.speed;
    need.rpm_given = o.rpm.has_value();
    need.rps = o.rpm.value_or(0) / 60;
    need.diameter = o.diameter.value_or(0);
    need.max_diameter = o.max_diameter.value_or(0);
    return r;
}

void print_selection_head(const Options& o, const SelectionRequest& r, std::ostream& out) {
    const SelectionSettings& s = r.settings;
    out << "Selection, " << series_title(r.series) << ": " << asked(o) << "\n";
    if (s.cavitation.keller)
        out << "Ae/A0: the smallest Keller's criterion allows (" << screws_word(s.cavitation.screws)
            << ", K = " << format("%.1f", keller_constant(s.cavitation.screws)) << ", immersion "
            << format("%.3f", s.cavitation.immersion) << " m), at least 0.30\n";
    else if (s.area_ratio)
        out << "Ae/A0 = " << format("%.4f", *s.area_ratio) << " as given\n";
    if (s.series == OpenWaterSeries::ka)
        out << "Rn: the Ka-series polynomials have no Reynolds correction\n"
            << single_transcription << "\n";
    else if (s.reynolds_correction)
        out << "Rn: of the blade at 0.75R at the rate of revolutions and diameter found; the "
               "correction applies above 2e6\n";
    else
        out << "Rn = 2.000e6 for every figure (--no-reynolds-correction); the column gives 2e6\n";
    if (r.extrapolated) out << "extrapolated: values outside the regression's range\n";
    // The titles right-aligned over the columns of row_text.
    out << "    Z   Ae/A0     P/D      D m     n rpm       J       KT     10KQ    eta0       T kN"
           "     Q kN.m       P kW       Rn";
    if (s.immersion_known) out << "  Keller   margin";
    out << "\n";
}

// Korvanti.TSK of the chosen propeller; line 34 says what was asked.
TaskText selected_task(const Options& o, const SelectionRequest& r, const Candidate& chosen) {
    TaskText t;
    t.series = r.series;
    t.blades = chosen.propeller.blades;
    t.area_ratio = format("%.4f", chosen.propeller.area_ratio);
    t.pitch_ratio = format("%.4f", chosen.propeller.pitch_ratio);
    t.diameter = format("%.4f", chosen.diameter);
    t.description = " ACIK SU SECIMI (korvanti-openwater): " + asked(o) + ", Z=" +
                    (r.low == r.high ? std::to_string(r.low)
                                     : std::to_string(r.low) + "-" + std::to_string(r.high));
    if (r.settings.cavitation.keller)
        t.description += ", Ear Keller h=" + format("%g", r.settings.cavitation.immersion) + " m";
    if (o.choose) t.description += ", secilen Z=" + std::to_string(*o.choose);
    if (r.extrapolated) t.description += ", extrapolated";
    return t;
}

int selection(const Options& o, std::ostream& out, std::ostream& err) {
    const SelectionRequest r = selection_request(o);
    if (r.low <= 2 && r.high >= 2 && r.settings.series == OpenWaterSeries::b)
        err << program << ": warning: the B-series fit is poor for Z = 2 "
            << "(B2-30 at P/D 1.0 reaches eta0 0.87)\n";
    const OpenWaterData data = load_data();
    // Without the correction the chord is not used.
    const ChordTable chords =
        r.settings.reynolds_correction ? load_chords() : ChordTable{2.073, 2.073};
    const Selection sel = select_propeller(data, chords, r.need, r.settings);

    print_selection_head(o, r, out);
    const bool keller_known = r.settings.immersion_known;
    for (size_t i = 0; i < sel.rows.size(); ++i)
        out << row_text(sel.rows[i], static_cast<int>(i) == sel.best, keller_known) << "\n";
    if (sel.best < 0)
        throw RunError("no propeller of the range meets the need (" + asked(o) +
                       "); the table says the nearest each blade count does");
    const Candidate& best = sel.rows[static_cast<size_t>(sel.best)];
    const Candidate& chosen = o.choose ? sel.rows[static_cast<size_t>(*o.choose - r.low)] : best;
    if (!chosen.found)
        throw RunError("no propeller of Z = " + std::to_string(*o.choose) +
                       " meets the need: " + chosen.why_not);
    for (const Candidate& c : sel.rows)
        if (c.found && keller_known && c.propeller.area_ratio < c.keller - 1e-6)
            err << program << ": warning: Z = " << c.propeller.blades
                << ": Ae/A0 is below Keller's limit " << format("%.4f", c.keller) << "\n";

    const TaskText t = selected_task(o, r, chosen);
    StagedFiles files;
    stage_and_write(files, task_file_name, task_file_text(t));
    commit(files);
    out << "Best: " << propeller_name(best.propeller) << " (highest eta0, marked *)\n";
    out << "Korvanti.TSK written: " << propeller_name(chosen.propeller)
        << ", P/D = " << t.pitch_ratio << ", D = " << t.diameter
        << " m; next: Korvanti --no-pause\n";
    return 0;
}

void enter_directory(const std::string& directory) {
    std::error_code ec;
    if (!fs::is_directory(directory, ec))
        throw UsageError("option -C (--directory): '" + directory + "' is not a directory");
    if (access(directory.c_str(), W_OK | X_OK) != 0 || chdir(directory.c_str()) != 0)
        throw UsageError("option -C (--directory): '" + directory + "' cannot be written");
}

}  // namespace

int run_openwater(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    Options o;
    try {
        o = parse_options(arguments);
        if (o.help) {
            out << help_text();
            return 0;
        }
        if (o.version) {
            out << program << " " KORVANTI_VERSION "\n";
            return 0;
        }
        if (!o.directory.empty()) enter_directory(o.directory);
        return o.selection() ? selection(o, out, err) : characteristics(o, out, err);
    } catch (const UsageError& e) {
        out.flush();
        err << program << ": " << e.what() << "\n";
        return 2;
    } catch (const RunError& e) {
        out.flush();
        err << program << ": " << e.what() << "\n";
        return 1;
    }
}

}  // namespace korvanti::openwater
