#include "report_run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "common/staged_files.h"
#include "page.h"

namespace korvanti::report {

namespace fs = std::filesystem;

namespace {

// A stop of the program: one line on standard error, exit status 1.
class ReportFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    bool help = false, version = false;
    std::string directory;  // empty: the working directory
};

Options parse(const std::vector<std::string>& arguments) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "-h" || a == "--help") {
            options.help = true;
        } else if (a == "--version") {
            options.version = true;
        } else if (a == "-C" || a == "--directory") {
            if (i + 1 == arguments.size())
                throw UsageError("option " + a + ": expected a directory");
            options.directory = arguments[++i];
        } else if (a.rfind("--directory=", 0) == 0) {
            options.directory = a.substr(12);
        } else if (a.rfind("-C", 0) == 0 && a.size() > 2) {
            options.directory = a.substr(2);
        } else {
            throw UsageError("unknown argument '" + a +
                             "' (korvanti-report --help lists the options)");
        }
        if ((a == "-C" || a == "--directory" || a.rfind("--directory=", 0) == 0) &&
            options.directory.empty())
            throw UsageError("option -C (--directory): expected a directory");
    }
    return options;
}

std::string read_text(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw ReportFailure(file.string() + ": cannot be read");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Korvanti.json, required; checked for the members the page reads.
nlohmann::json read_run(const fs::path& dir, const std::string& shown) {
    const fs::path file = dir / run_json_file;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        throw ReportFailure(file.string() + " not found: make it with " +
                            shell_command("Korvanti", shown, "--json"));
    nlohmann::json run;
    try {
        run = nlohmann::json::parse(read_text(file));
        for (const char* key : {"particulars", "stations", "root_station", "blade", "version"})
            if (!run.contains(key)) throw std::runtime_error(std::string("no member ") + key);
        (void)run["particulars"]["series_label"].get<std::string>();
        (void)run["particulars"]["series_number"].get<int>();
        if (run["format"] != "korvanti-run")
            throw std::runtime_error("not the result of a Korvanti run");
    } catch (const ReportFailure&) {
        throw;
    } catch (const std::exception& error) {
        throw ReportFailure(file.string() + ": " + error.what());
    }
    return run;
}

void read_meshes(const fs::path& dir, PageInputs& in) {
    const std::string solid = shell_command("korvanti-solid", in.directory);
    std::error_code ec;
    if (!fs::is_regular_file(dir / propeller_stl_file, ec)) {
        in.missing.push_back({propeller_stl_file,
                              "Korvanti.stl, the propeller's triangulation, is not in the "
                              "directory: the page has no 3D view.",
                              solid});
    } else {
        try {
            in.propeller = read_binary_stl(dir / propeller_stl_file);
        } catch (const std::exception& error) {
            in.missing.push_back({propeller_stl_file, std::string(error.what()) + ".", solid});
        }
    }
    if (!is_ducted(in.run)) return;
    if (!fs::is_regular_file(dir / nozzle_stl_file, ec)) {
        in.missing.push_back({nozzle_stl_file,
                              "Korvanti_nozzle.stl, the nozzle of this ducted propeller, is not "
                              "in the directory: the 3D view shows the propeller alone.",
                              solid});
        return;
    }
    try {
        in.nozzle = read_binary_stl(dir / nozzle_stl_file);
    } catch (const std::exception& error) {
        in.missing.push_back({nozzle_stl_file, std::string(error.what()) + ".", solid});
    }
}

// The drawing as inline SVG: from its root element on.
void read_form_plans(const fs::path& dir, PageInputs& in) {
    const std::string command = shell_command("TELVARO_3B_CIZIMLER", in.directory, "--form-plans");
    std::error_code ec;
    if (!fs::is_regular_file(dir / form_plans_file, ec)) {
        in.missing.push_back({form_plans_file,
                              "TELVARO_3B_CIZIMLER.svg, the drawing of the form plans, is not in "
                              "the directory.",
                              command});
        return;
    }
    const std::string text = read_text(dir / form_plans_file);
    const std::size_t start = text.find("<svg");
    if (start == std::string::npos || text.find("<script") != std::string::npos ||
        text.find("</svg>") == std::string::npos) {
        in.missing.push_back({form_plans_file,
                              "TELVARO_3B_CIZIMLER.svg is not a drawing of TELVARO_3B_CIZIMLER.",
                              command});
        return;
    }
    in.form_plans_svg = text.substr(start);
}

void read_open_water_table(const fs::path& dir, PageInputs& in) {
    const std::string command = shell_command("korvanti-openwater", in.directory);
    std::error_code ec;
    if (!fs::is_regular_file(dir / open_water_file, ec)) {
        in.missing.push_back({open_water_file,
                              "Korvanti_openwater.csv, the open-water table of the series, is not "
                              "in the directory.",
                              command});
        return;
    }
    try {
        in.open_water = read_open_water(dir / open_water_file);
    } catch (const std::exception& error) {
        in.missing.push_back({open_water_file, std::string(error.what()) + ".", command});
    }
}

std::vector<std::string> file_names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::error_code ec;
        if (!entry.is_regular_file(ec)) continue;
        const std::string name = entry.path().filename().string();
        // Temporary files of programs still writing are no files of the run.
        if (name.find(".tmp") != std::string::npos || name.find(".yaziliyor") != std::string::npos)
            continue;
        names.push_back(name);
    }
    if (std::find(names.begin(), names.end(), page_file) == names.end()) names.push_back(page_file);
    std::sort(names.begin(), names.end());
    return names;
}

void read_three(PageInputs& in) {
    const fs::path three = KORVANTI_THREE_DIR;
    in.three_js = read_text(three / "three.min.js");
    in.orbit_controls_js = read_text(three / "examples/js/controls/OrbitControls.js");
}

void write_page(const fs::path& dir, const std::string& html) {
    StagedFiles files;
    std::error_code ec;
    const auto temporary = files.stage(dir / page_file, ec);
    if (!temporary)
        throw ReportFailure((dir / page_file).string() + " cannot be written: " + ec.message());
    if (!write_whole_file(*temporary, html))
        throw ReportFailure((dir / page_file).string() + " cannot be written");
    if (const auto failure = files.commit())
        throw ReportFailure(failure->name.string() +
                            " cannot be written: " + failure->error.message());
}

}  // namespace

std::string help_text() {
    return R"(Usage: korvanti-report [OPTION]...
Write Korvanti.html, one self-contained page of a finished Korvanti run: the
particulars and figures, a 3D view of the propeller, the form plans, the
radial distributions and section offsets, the open-water diagram and links
to every file of the run. The page opens from the file system in any current
browser, needs no network and prints as an A4 report.

Options:
  -C, --directory=DIR   read the run in DIR and write the page there
  -h, --help            display this help and exit
      --version         output version information and exit

Files (in the run's directory):
  Korvanti.json             the run's numbers (Korvanti --json), required
  TELVARO_3B_CIZIMLER.svg   the form plans (TELVARO_3B_CIZIMLER --form-plans)
  Korvanti.stl              the propeller's triangulation (korvanti-solid)
  Korvanti_nozzle.stl       the nozzle of a ducted propeller (korvanti-solid)
  Korvanti_openwater.csv    the open-water table (korvanti-openwater)
  Korvanti.html             the page, written (renamed into place when whole)
For an optional file that is missing, the page says so and names the command
that makes it.

Exit status:
  0  the page was written
  1  Korvanti.json is missing or unreadable, or the page cannot be written;
     one line names the file, and no page is written
  2  a bad option

Example:
  Korvanti -C B4-55 --series=B --blades=4 --area-ratio=0.55 \
      --pitch-ratio=1.0 --diameter=2.0 --json --no-pause
  korvanti-report -C B4-55
)";
}

std::string version_text() {
    return "korvanti-report " KORVANTI_VERSION
           "\n"
           "The page of a finished Korvanti run; 3D view built on three.js.\n";
}

int run_report(const std::vector<std::string>& arguments) {
    Options options;
    try {
        options = parse(arguments);
    } catch (const UsageError& error) {
        std::cerr << "korvanti-report: " << error.what() << '\n';
        return exit_usage;
    }
    if (options.help) {
        std::cout << help_text();
        return exit_written;
    }
    if (options.version) {
        std::cout << version_text();
        return exit_written;
    }
    const fs::path dir = options.directory.empty() ? fs::path(".") : fs::path(options.directory);
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        std::cerr << "korvanti-report: option -C (--directory): '" << options.directory
                  << "' is not a directory\n";
        return exit_usage;
    }
    try {
        PageInputs in;
        in.directory = options.directory;
        in.version = KORVANTI_VERSION;
        in.run = read_run(dir, options.directory);
        read_meshes(dir, in);
        read_form_plans(dir, in);
        read_open_water_table(dir, in);
        if (in.propeller) read_three(in);
        in.files = file_names(dir);
        write_page(dir, page_html(in));
        std::cout << "korvanti-report: wrote " << (dir / page_file).string() << '\n';
        for (const MissingInput& m : in.missing)
            std::cout << "korvanti-report: without " << m.file << " (make it with: " << m.command
                      << ")\n";
    } catch (const ReportFailure& failure) {
        std::cerr << "korvanti-report: " << failure.what() << '\n';
        return exit_failed;
    }
    return exit_written;
}

}  // namespace korvanti::report
