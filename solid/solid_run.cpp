#include "solid_run.h"

#include <getopt.h>
#include <unistd.h>
#include <Standard_Version.hxx>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <system_error>

#include "exports.h"
#include "input_files.h"
#include "list_reader.h"
#include "nozzle.h"
#include "propeller_solid.h"
#include "staged_files.h"

namespace korvanti_solid {
namespace {

constexpr const char* program = "korvanti-solid";

constexpr const char* usage_text =
    "Usage: korvanti-solid [OPTION]...\n"
    "Turns a finished Korvanti run (PERVDAT and PEROF.SON in the working directory)\n"
    "into the propeller as one solid and its panel mesh:\n"
    "  Korvanti.step        the solid, STEP AP214, millimetres (CAD: FreeCAD and others)\n"
    "  Korvanti.stl         its triangulation, binary STL, millimetres (slicers, meshers)\n"
    "  Korvanti_panels.vtk  the panel mesh of all blades and the hub, VTK legacy (ParaView)\n"
    "The ducted series Ka and Kc get their nozzle 19A: a second solid, \"nozzle 19A\",\n"
    "in Korvanti.step beside \"propeller\", and Korvanti_nozzle.stl.\n"
    "\n"
    "Options:\n"
    "  -C, --directory=DIR   work in DIR instead of the current directory\n"
    "  -d, --deflection=MM   chord tolerance of the STL triangulation in millimetres\n"
    "                        (default: D/8000, which keeps the STL volume within 0.2 %)\n"
    "  -o, --only=FILE       write only step, stl or vtk; may be given more than once\n"
    "      --tip-gap=MM      radial gap between the blade tips and the nozzle's inner\n"
    "                        cylinder in millimetres (default: 0.5 % of D; less than 5 %)\n"
    "      --no-nozzle       leave the nozzle of Ka and Kc out\n"
    "                        (both have no effect on the open propellers of other series)\n"
    "  -h, --help            show this help and end\n"
    "  -V, --version         show the version and end\n"
    "\n"
    "Exit status: 0 done, 1 an input file or a step of the building failed (no file is\n"
    "written), 2 a bad command line.\n";

struct Options {
    std::filesystem::path directory;
    double deflection = 0;  // 0: the default
    double tip_gap = 0;     // 0: the default
    bool no_nozzle = false;
    std::set<std::string> only;
    bool help = false, version = false;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

double parse_millimetres(const char* text, const char* option) {
    double value = 0;
    const char* end = text + std::char_traits<char>::length(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || !(value > 0) || !std::isfinite(value))
        throw UsageError(std::string("option ") + option +
                         ": expected a positive number of millimetres, got '" + text + "'");
    return value;
}

Options parse_options(int argc, char** argv) {
    static const option long_options[] = {{"directory", required_argument, nullptr, 'C'},
                                          {"deflection", required_argument, nullptr, 'd'},
                                          {"only", required_argument, nullptr, 'o'},
                                          {"tip-gap", required_argument, nullptr, 'g'},
                                          {"no-nozzle", no_argument, nullptr, 'n'},
                                          {"help", no_argument, nullptr, 'h'},
                                          {"version", no_argument, nullptr, 'V'},
                                          {nullptr, 0, nullptr, 0}};
    Options options;
    optind = 0;  // getopt starts afresh on every run
    opterr = 0;  // its messages are ours
    for (;;) {
        const int c = getopt_long(argc, argv, ":C:d:o:hV", long_options, nullptr);
        if (c == -1) break;
        // The word that held the option, without a value joined by "=".
        std::string given = optind > 0 && optind <= argc ? argv[optind - 1] : "";
        given.resize(std::min(given.size(), given.find('=')));
        switch (c) {
            case 'C':
                options.directory = optarg;
                break;
            case 'd':
                options.deflection = parse_millimetres(optarg, "--deflection");
                break;
            case 'o':
                if (std::string(optarg) != "step" && std::string(optarg) != "stl" &&
                    std::string(optarg) != "vtk")
                    throw UsageError(
                        std::string("option --only: expected step, stl or vtk, got '") + optarg +
                        "'");
                options.only.insert(optarg);
                break;
            case 'g':
                options.tip_gap = parse_millimetres(optarg, "--tip-gap");
                break;
            case 'n':
                options.no_nozzle = true;
                break;
            case 'h':
                options.help = true;
                break;
            case 'V':
                options.version = true;
                break;
            case ':':
                throw UsageError("option " + given + ": expected a value after it");
            default:
                throw UsageError("unknown option " + given + " (see --help)");
        }
    }
    if (optind < argc)
        throw UsageError(std::string("unexpected argument '") + argv[optind] +
                         "': the program takes options only (see --help)");
    return options;
}

std::string figure(double value) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return buffer;
}

std::string decimals(double value, int places) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
    return buffer;
}

// The nozzle of a ducted propeller: what the run needs before the long work
// on the propeller, so that a bad gap or a missing profile ends it at once.
struct NozzlePlan {
    bool wanted = false;
    NozzleProfile profile;
    double tip_gap = 0;  // mm
};

NozzlePlan plan_nozzle(const Options& options, const PanelDataFile& panels,
                       const OffsetsFile& offsets, std::ostream& out) {
    NozzlePlan plan;
    const double D = panels.D * 1000;
    if (!runs_in_nozzle(offsets)) {
        if (options.no_nozzle || options.tip_gap > 0)
            out << "Note: this series is an open propeller without a nozzle: --tip-gap and "
                   "--no-nozzle have no effect\n";
        return plan;
    }
    if (options.no_nozzle) return plan;
    plan.tip_gap = options.tip_gap > 0 ? options.tip_gap : 0.005 * D;
    if (!(plan.tip_gap < 0.05 * D))
        throw UsageError("option --tip-gap: " + decimals(plan.tip_gap, 3) +
                         " mm is not less than 5 % of the diameter (" + decimals(0.05 * D, 3) +
                         " mm)");
    plan.profile = read_nozzle_profile(nozzle_profile_file());
    plan.wanted = true;
    return plan;
}

void report_propeller(const PropellerSolid& solid, const PanelDataFile& panels, std::ostream& out) {
    out << "Propeller solid, Z = " << panels.Z << ", D = " << figure(panels.D * 1000) << " mm\n";
    out << "  volume of the solid:                " << figure(solid.volume) << " mm3\n";
    out << "  volume of one blade outside the hub: " << figure(solid.blade_volume) << " mm3\n";
    out << "  volume of the hub:                  " << figure(solid.hub_volume) << " mm3\n";
    out << "  surface area:                       " << figure(solid.area) << " mm2\n";
}

void report_nozzle(const Nozzle& nozzle, double D, double tip_gap, std::ostream& out) {
    out << "Nozzle 19A, L/D = 0.5, tip gap " << decimals(tip_gap, 2) << " mm\n";
    if (nozzle.tip_radius > D / 2 + 1e-6)
        out << "  the blade tips reach " << decimals(nozzle.tip_radius, 2)
            << " mm from the axis, beyond D/2: the nozzle is as far further out\n";
    out << "  volume of the nozzle:               " << figure(nozzle.volume) << " mm3\n";
    out << "  inner diameter of the nozzle:       " << decimals(nozzle.inner_diameter, 1)
        << " mm\n";
    out << "  outer diameter of the nozzle:       " << decimals(nozzle.outer_diameter, 1)
        << " mm\n";
    out << "  length of the nozzle:               "
        << decimals(nozzle.trailing_edge_x - nozzle.leading_edge_x, 1) << " mm\n";
    out << "  smallest gap, blade tips to nozzle: " << decimals(nozzle.measured_gap, 2) << " mm\n";
}

int run(const Options& options, std::ostream& out) {
    const auto wants = [&](const char* kind) {
        return options.only.empty() || options.only.count(kind) != 0;
    };
    const std::filesystem::path dir = options.directory;
    const PanelDataFile panels = read_panel_data_file(dir / "PERVDAT");
    StagedFiles files;
    std::string written, written_last;
    if (wants("step") || wants("stl")) {
        const OffsetsFile offsets = read_offsets_file(dir / "PEROF.SON");
        const NozzlePlan plan = plan_nozzle(options, panels, offsets, out);
        const PropellerSolid solid = build_propeller_solid(panels, offsets);
        report_propeller(solid, panels, out);
        Nozzle nozzle;
        if (plan.wanted)
            nozzle = fitted_nozzle(plan.profile, solid, panels.D * 1000, plan.tip_gap,
                                   propeller_plane_x(offsets, solid));
        if (wants("step")) {
            NamedSolids solids = {{"propeller", solid.shape}};
            if (plan.wanted) solids.emplace_back("nozzle 19A", nozzle.shape);
            write_step(solids, files.stage(dir / "Korvanti.step"));
            written += " Korvanti.step";
        }
        const double deflection =
            options.deflection > 0 ? options.deflection : panels.D * 1000 / 8000;
        char tolerance[32];
        std::snprintf(tolerance, sizeof tolerance, "%.3g", deflection);
        if (wants("stl")) {
            const StlFigures stl = write_stl(solid, deflection, files.stage(dir / "Korvanti.stl"));
            out << "  STL: " << stl.triangles << " triangles at a chord tolerance of " << tolerance
                << " mm, enclosed volume " << figure(stl.volume) << " mm3\n";
            written += " Korvanti.stl";
        }
        if (plan.wanted) {
            report_nozzle(nozzle, panels.D * 1000, plan.tip_gap, out);
            if (wants("stl")) {
                NozzleMesh mesh = nozzle_triangulation(nozzle, deflection);
                const StlFigures stl =
                    write_stl(std::move(mesh.vertices), std::move(mesh.triangles),
                              files.stage(dir / "Korvanti_nozzle.stl"), "Korvanti_nozzle.stl",
                              "Korvanti nozzle 19A solid, millimetres");
                out << "  nozzle STL: " << stl.triangles << " triangles at a chord tolerance of "
                    << tolerance << " mm, enclosed volume " << figure(stl.volume) << " mm3\n";
                written_last += " Korvanti_nozzle.stl";
            }
        }
    }
    if (wants("vtk")) {
        write_bytes(files.stage(dir / "Korvanti_panels.vtk"), panel_mesh_vtk(panels),
                    "Korvanti_panels.vtk");
        written += " Korvanti_panels.vtk";
    }
    files.commit();
    out << "Files written:" << written << written_last << "\n";
    return 0;
}

}  // namespace

int run_solid(int argc, char** argv, std::ostream& out, std::ostream& err) {
    Options options;
    try {
        options = parse_options(argc, argv);
    } catch (const UsageError& e) {
        err << program << ": " << e.what() << "\n";
        return 2;
    }
    if (options.help) {
        out << usage_text;
        return 0;
    }
    if (options.version) {
        out << program << " " KORVANTI_VERSION " (OpenCASCADE " << OCC_VERSION_COMPLETE << ")\n";
        return 0;
    }
    if (!options.directory.empty() && !std::filesystem::is_directory(options.directory)) {
        err << program << ": option --directory: '" << options.directory.string()
            << "' is not a directory\n";
        return 2;
    }
    if (!options.directory.empty() && access(options.directory.c_str(), W_OK | X_OK) != 0) {
        err << program << ": option --directory: '" << options.directory.string()
            << "' cannot be written\n";
        return 2;
    }
    try {
        return run(options, out);
    } catch (const UsageError& e) {
        out.flush();
        err << program << ": " << e.what() << "\n";
        return 2;
    } catch (const InputError& e) {
        out.flush();
        err << program << ": " << e.what() << "\n";
        return 1;
    }
}

}  // namespace korvanti_solid
