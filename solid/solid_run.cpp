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
    "\n"
    "Options:\n"
    "  -C, --directory=DIR   work in DIR instead of the current directory\n"
    "  -d, --deflection=MM   chord tolerance of the STL triangulation in millimetres\n"
    "                        (default: D/8000, which keeps the STL volume within 0.2 %)\n"
    "  -o, --only=FILE       write only step, stl or vtk; may be given more than once\n"
    "  -h, --help            show this help and end\n"
    "  -V, --version         show the version and end\n"
    "\n"
    "Exit status: 0 done, 1 an input file or a step of the building failed (no file is\n"
    "written), 2 a bad command line.\n";

struct Options {
    std::filesystem::path directory;
    double deflection = 0;  // 0: the default
    std::set<std::string> only;
    bool help = false, version = false;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

double parse_deflection(const char* text) {
    double value = 0;
    const char* end = text + std::char_traits<char>::length(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || !(value > 0) || !std::isfinite(value))
        throw UsageError(std::string("option --deflection: expected a positive number of "
                                     "millimetres, got '") +
                         text + "'");
    return value;
}

Options parse_options(int argc, char** argv) {
    static const option long_options[] = {{"directory", required_argument, nullptr, 'C'},
                                          {"deflection", required_argument, nullptr, 'd'},
                                          {"only", required_argument, nullptr, 'o'},
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
                options.deflection = parse_deflection(optarg);
                break;
            case 'o':
                if (std::string(optarg) != "step" && std::string(optarg) != "stl" &&
                    std::string(optarg) != "vtk")
                    throw UsageError(
                        std::string("option --only: expected step, stl or vtk, got '") + optarg +
                        "'");
                options.only.insert(optarg);
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

int run(const Options& options, std::ostream& out) {
    const auto wants = [&](const char* kind) {
        return options.only.empty() || options.only.count(kind) != 0;
    };
    const std::filesystem::path dir = options.directory;
    const PanelDataFile panels = read_panel_data_file(dir / "PERVDAT");
    StagedFiles files;
    std::string written;
    if (wants("step") || wants("stl")) {
        const OffsetsFile offsets = read_offsets_file(dir / "PEROF.SON");
        const PropellerSolid solid = build_propeller_solid(panels, offsets);
        out << "Propeller solid, Z = " << panels.Z << ", D = " << figure(panels.D * 1000)
            << " mm\n";
        out << "  volume of the solid:                " << figure(solid.volume) << " mm3\n";
        out << "  volume of one blade outside the hub: " << figure(solid.blade_volume) << " mm3\n";
        out << "  volume of the hub:                  " << figure(solid.hub_volume) << " mm3\n";
        out << "  surface area:                       " << figure(solid.area) << " mm2\n";
        if (wants("step")) {
            write_step(solid.shape, files.stage(dir / "Korvanti.step"));
            written += " Korvanti.step";
        }
        if (wants("stl")) {
            const double deflection =
                options.deflection > 0 ? options.deflection : panels.D * 1000 / 8000;
            const StlFigures stl = write_stl(solid, deflection, files.stage(dir / "Korvanti.stl"));
            char tolerance[32];
            std::snprintf(tolerance, sizeof tolerance, "%.3g", deflection);
            out << "  STL: " << stl.triangles << " triangles at a chord tolerance of " << tolerance
                << " mm, enclosed volume " << figure(stl.volume) << " mm3\n";
            written += " Korvanti.stl";
        }
    }
    if (wants("vtk")) {
        write_bytes(files.stage(dir / "Korvanti_panels.vtk"), panel_mesh_vtk(panels),
                    "Korvanti_panels.vtk");
        written += " Korvanti_panels.vtk";
    }
    files.commit();
    out << "Files written:" << written << "\n";
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
    } catch (const InputError& e) {
        out.flush();
        err << program << ": " << e.what() << "\n";
        return 1;
    }
}

}  // namespace korvanti_solid
