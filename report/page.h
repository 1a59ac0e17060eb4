// Korvanti.html: one self-contained page of a finished run. Everything it
// shows is in the page: the run's numbers, the form plans as inline SVG, the
// meshes of the 3D view, three.js and the page's own script and style.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "open_water.h"
#include "stl_mesh.h"

namespace korvanti::report {

inline constexpr const char* run_json_file = "Korvanti.json";
inline constexpr const char* form_plans_file = "TELVARO_3B_CIZIMLER.svg";
inline constexpr const char* propeller_stl_file = "Korvanti.stl";
inline constexpr const char* nozzle_stl_file = "Korvanti_nozzle.stl";
inline constexpr const char* open_water_file = "Korvanti_openwater.csv";
inline constexpr const char* page_file = "Korvanti.html";

// An optional input the page does without: what is missing (or why it
// could not be used) and the command that makes it.
struct MissingInput {
    std::string file;
    std::string problem;
    std::string command;
};

// What the page is made of, as read from the run's directory.
struct PageInputs {
    nlohmann::json run;     // Korvanti.json
    std::string directory;  // as the user named it, for the commands shown
    std::optional<std::string> form_plans_svg;
    std::optional<StlMesh> propeller, nozzle;
    std::optional<OpenWaterTable> open_water;
    std::vector<MissingInput> missing;
    std::vector<std::string> files;  // names of the files in the directory
    std::string three_js, orbit_controls_js;
    std::string version;  // of korvanti-report
};

// Whether the series is one of the ducted ones (Ka, Kc), whose nozzle the
// solid program writes.
bool is_ducted(const nlohmann::json& run);

// The whole page.
std::string page_html(const PageInputs& inputs);

// The command line of `program` for the run's directory (none: the working
// directory), shell-quoted, as the page and the messages show it.
std::string shell_command(const std::string& program, const std::string& directory,
                          const std::string& options = "");

}  // namespace korvanti::report
