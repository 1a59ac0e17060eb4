// The page is written as static HTML (the tables, the figures, the notes and
// the links read without any script and print as they are); the script of
// the page adds the 3D view, the small plots and the zoom of the drawing from
// the data embedded beside them.
#include "page.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "common/markup_text.h"
#include "page_assets.h"

namespace korvanti::report {

namespace {

using nlohmann::json;

constexpr double pi = 3.14159265358979323846;

// Fixed decimals for a table cell.
std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string s = text;
    if (s.rfind("-0", 0) == 0 && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

// A number of Korvanti.json in a cell: shown with `decimals`, the exact value
// of the file in data-value.
std::string number_cell(const json& value, int decimals) {
    if (!value.is_number()) return "<td>&ndash;</td>";
    return "<td data-value=\"" + value.dump() + "\">" + fixed(value.get<double>(), decimals) +
           "</td>";
}

// JSON inside a script element: "</" would end the element. A '<' can only
// stand inside a JSON string, where \u003c means the same.
std::string script_json(const json& value) {
    std::string out;
    for (const char ch : value.dump()) {
        if (ch == '<')
            out += "\\u003c";
        else
            out += ch;
    }
    return out;
}

// A script's own text inside the page: a "</script" in it would end it.
std::string script_text(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("</script", start)) != std::string::npos;) {
        out.append(text, start, at - start);
        out += "<\\/script";
        start = at + 8;
    }
    out.append(text, start, std::string::npos);
    return out;
}

std::string shell_quoted(const std::string& text) {
    if (text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                               "_-./=+:,@") == std::string::npos &&
        !text.empty())
        return text;
    std::string out = "'";
    for (const char ch : text) out += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return out + "'";
}

std::string row(const std::string& name, const std::string& cells) {
    return "<tr><th scope=\"row\">" + name + "</th>" + cells + "</tr>\n";
}

std::string header(const PageInputs& in) {
    const json& p = in.run["particulars"];
    const std::string label = markup_escaped(p["series_label"].get<std::string>());
    return "<header><h1>" + label + "</h1><p class=\"subtitle\">" +
           markup_escaped(p["series"].get<std::string>()) +
           " series, Z = " + std::to_string(p["blade_count"].get<int>()) +
           ", Ear = " + p["area_ratio"].dump() + ", P/D = " + p["pitch_ratio"].dump() +
           ", D = " + p["diameter_m"].dump() + " m, " + p["hand"].get<std::string>() +
           " hand &middot; Korvanti " + markup_escaped(in.run["version"].get<std::string>()) +
           ", page by korvanti-report " + markup_escaped(in.version) + "</p></header>\n";
}

// The particulars and the blade's figures; the areas follow from Ear and D.
std::string figures(const json& run) {
    const json& p = run["particulars"];
    const json& b = run["blade"];
    const double D = p["diameter_m"].get<double>();
    const double disc = pi * D * D / 4;
    const double expanded = p["area_ratio"].get<double>() * disc;
    std::string out = "<section id=\"figures\"><h2>Particulars and figures</h2>\n";
    out += "<div class=\"columns\"><table id=\"particulars\">\n<caption>Particulars</caption>\n";
    out += row("series", "<td>" + markup_escaped(p["series"].get<std::string>()) + " (" +
                             std::to_string(p["series_number"].get<int>()) + ")</td>");
    out += row("blade count Z", "<td data-value=\"" + p["blade_count"].dump() + "\">" +
                                    p["blade_count"].dump() + "</td>");
    out += row("expanded area ratio Ear", number_cell(p["area_ratio"], 3));
    out += row("pitch ratio P/D", number_cell(p["pitch_ratio"], 3));
    out += row("diameter D (m)", number_cell(p["diameter_m"], 3));
    out += row("hand", "<td>" + markup_escaped(p["hand"].get<std::string>()) + "</td>");
    out += row("rake angle (deg)", number_cell(p["rake_angle_deg"], 2));
    out += "</table>\n<table id=\"blade-figures\">\n<caption>One blade</caption>\n";
    out += row("mass (kg)", number_cell(b["mass_kg"], 1));
    out += row("moment of inertia about the shaft (kg&middot;m&sup2;)",
               number_cell(b["inertia_shaft_axis_kg_m2"], 2));
    out += row("volume (m&sup3;)", number_cell(b["volume_m3"], 6));
    out += row("centroid radius (m)", number_cell(b["centroid_radius_m"], 3));
    out += row("material density (kg/m&sup3;)", number_cell(b["density_kg_m3"], 0));
    out += "</table>\n<table id=\"areas\">\n<caption>Areas</caption>\n";
    out += row("disc area A0 = &pi;D&sup2;/4 (m&sup2;)", number_cell(json(disc), 4));
    out += row("expanded area Ae = Ear&middot;A0 (m&sup2;)", number_cell(json(expanded), 4));
    out += row("propeller mass, Z blades (kg)",
               number_cell(json(b["mass_kg"].get<double>() * p["blade_count"].get<int>()), 1));
    out += row(
        "propeller inertia, Z blades (kg&middot;m&sup2;)",
        number_cell(json(b["inertia_shaft_axis_kg_m2"].get<double>() * p["blade_count"].get<int>()),
                    2));
    out += "</table></div>\n</section>\n";
    return out;
}

std::string missing_note(const MissingInput& m) {
    return "<div class=\"missing\" data-missing=\"" + markup_escaped(m.file) + "\"><p>" +
           markup_escaped(m.problem) + " Make it with:</p><pre><code>" + markup_escaped(m.command) +
           "</code></pre><p>then run korvanti-report again.</p></div>\n";
}

std::string notes_for(const PageInputs& in, const std::string& file) {
    std::string out;
    for (const MissingInput& m : in.missing)
        if (m.file == file) out += missing_note(m);
    return out;
}

std::string view_3d(const PageInputs& in) {
    std::string out = "<section id=\"view-3d\"><h2>The propeller in 3D</h2>\n";
    out += notes_for(in, propeller_stl_file) + notes_for(in, nozzle_stl_file);
    if (!in.propeller) return out + "</section>\n";
    std::size_t triangles = in.propeller->triangles();
    if (in.nozzle) triangles += in.nozzle->triangles();
    out +=
        "<div class=\"viewer\"><canvas id=\"viewer-canvas\" width=\"900\" height=\"560\"></canvas>"
        "<img id=\"viewer-still\" alt=\"The propeller as drawn in the 3D view\"></div>\n"
        "<p class=\"controls\"><button type=\"button\" id=\"viewer-reset\">Reset view</button> "
        "Drag to rotate, wheel to zoom, right button or Shift+drag to pan. "
        "<span id=\"viewer-status\" data-triangles=\"" +
        std::to_string(triangles) + "\">" + std::to_string(triangles) +
        " triangles to draw</span></p>\n";
    // Positions as float32 and indices as uint32, both little-endian (the
    // byte order of the typed arrays that read them on every current
    // machine), in base64.
    auto mesh_script = [](const std::string& id, const StlMesh& mesh) {
        const IndexedMesh m = indexed(mesh);
        return "<script type=\"application/octet-stream\" id=\"" + id + "-positions\">" +
               base64(m.positions.data(), m.positions.size() * sizeof(float)) +
               "</script>\n<script type=\"application/octet-stream\" id=\"" + id + "-indices\">" +
               base64(m.indices.data(), m.indices.size() * sizeof(std::uint32_t)) + "</script>\n";
    };
    out += mesh_script("mesh-propeller", *in.propeller);
    if (in.nozzle) out += mesh_script("mesh-nozzle", *in.nozzle);
    return out + "</section>\n";
}

std::string form_plans(const PageInputs& in) {
    std::string out = "<section id=\"form-plans\"><h2>Form plans</h2>\n";
    out += notes_for(in, form_plans_file);
    if (in.form_plans_svg)
        out +=
            "<p class=\"controls\"><button type=\"button\" id=\"plans-in\">Zoom in</button> "
            "<button type=\"button\" id=\"plans-out\">Zoom out</button> "
            "<button type=\"button\" id=\"plans-reset\">Whole sheet</button> "
            "Wheel to zoom, drag to move.</p>\n<div class=\"plans\" id=\"plans-view\">" +
            *in.form_plans_svg + "</div>\n";
    return out + "</section>\n";
}

// The stations root to tip, the root station first where the run has one.
std::vector<std::pair<std::string, const json*>> all_stations(const json& run) {
    std::vector<std::pair<std::string, const json*>> list;
    if (!run["root_station"].is_null()) list.emplace_back("root", &run["root_station"]);
    int k = 0;
    for (const json& s : run["stations"]) list.emplace_back(std::to_string(++k), &s);
    return list;
}

struct Column {
    const char* key;
    const char* title;
    int decimals;
};

constexpr Column radial_columns[] = {
    {"r_R", "r/R", 3},
    {"r_m", "r (m)", 4},
    {"chord_m", "chord c (m)", 4},
    {"pitch_m", "pitch P (m)", 4},
    {"pitch_ratio", "P/D", 4},
    {"skew_angle_deg", "skew (deg)", 3},
    {"skew_shift_m", "skew shift (m)", 4},
    {"rake_m", "rake (m)", 4},
    {"max_thickness_m", "t max (m)", 5},
    {"max_thickness_position", "t max from LE / c", 3},
    {"section_area_m2", "section area (m&sup2;)", 6},
};

std::string radial(const json& run) {
    std::string out =
        "<section id=\"radial\"><h2>Radial distributions</h2>\n<div class=\"plots\" "
        "id=\"radial-plots\"></div>\n<table id=\"radial-table\" class=\"numbers\">\n<thead><tr>"
        "<th>station</th>";
    for (const Column& c : radial_columns)
        out += std::string("<th data-key=\"") + c.key + "\">" + c.title + "</th>";
    out += "</tr></thead>\n<tbody>\n";
    for (const auto& [name, station] : all_stations(run)) {
        out += "<tr data-station=\"" + name + "\"><th scope=\"row\">" + name + "</th>";
        for (const Column& c : radial_columns)
            out += number_cell(station->contains(c.key) ? (*station)[c.key] : json(), c.decimals);
        out += "</tr>\n";
    }
    return out + "</tbody></table>\n</section>\n";
}

std::string offsets(const json& run) {
    std::string out =
        "<section id=\"offsets\"><h2>Section offsets</h2>\n<p>Points from the trailing edge "
        "(1) to the leading edge; x from the generator line, positive towards the leading "
        "edge; back and face ordinates from the station's cylinder (add r for the ordinates "
        "from the shaft axis that PEROF.SON prints).</p>\n";
    for (const auto& [name, station] : all_stations(run)) {
        const json& o = (*station)["offsets"];
        const std::size_t n = o["x_m"].size();
        out += "<details class=\"station-offsets\" data-station=\"" + name +
               "\"><summary>Station " + name +
               ", r/R = " + fixed((*station)["r_R"].get<double>(), 3) + " (" + std::to_string(n) +
               " points)</summary>\n<table class=\"numbers\"><thead><tr>"
               "<th>point</th><th>x (m)</th><th>back (m)</th><th>face (m)</th>"
               "<th>thickness (m)</th></tr></thead><tbody>\n";
        for (std::size_t j = 0; j < n && j < o["back_m"].size() && j < o["face_m"].size(); ++j) {
            const double t = o["back_m"][j].get<double>() - o["face_m"][j].get<double>();
            out += "<tr><th scope=\"row\">" + std::to_string(j + 1) + "</th>" +
                   number_cell(o["x_m"][j], 5) + number_cell(o["back_m"][j], 5) +
                   number_cell(o["face_m"][j], 5) + "<td>" + fixed(t, 5) + "</td></tr>\n";
        }
        out += "</tbody></table></details>\n";
    }
    return out + "</section>\n";
}

std::string open_water(const PageInputs& in) {
    std::string out = "<section id=\"open-water\"><h2>Open-water diagram</h2>\n";
    out += notes_for(in, open_water_file);
    if (!in.open_water) return out + "</section>\n";
    const OpenWaterTable& t = *in.open_water;
    out +=
        "<div class=\"plots\" id=\"open-water-plot\"></div>\n<table id=\"open-water-table\" "
        "class=\"numbers\"><thead><tr>";
    for (const std::string& c : t.columns) out += "<th>" + markup_escaped(c) + "</th>";
    out += "</tr></thead><tbody>\n";
    for (const auto& values : t.rows) {
        out += "<tr>";
        for (const double v : values) out += number_cell(json(v), 4);
        out += "</tr>\n";
    }
    out += "</tbody></table>\n";
    json data = {{"columns", t.columns}, {"rows", t.rows}};
    out += "<script type=\"application/json\" id=\"open-water-data\">" + script_json(data) +
           "</script>\n";
    return out + "</section>\n";
}

// What each file of a run is and which program opens it.
const std::map<std::string, std::pair<const char*, const char*>>& known_files() {
    static const std::map<std::string, std::pair<const char*, const char*>> files = {
        {"Korvanti.TSK", {"the task of the run", "Korvanti reads it; any text editor"}},
        {"WAGBPROP.DAT", {"the B-series tables", "Korvanti reads it; any text editor"}},
        {"Korvanti.SON", {"the result report", "any text editor"}},
        {"PEROF.SON", {"the offsets file", "korvanti-solid reads it; any text editor"}},
        {"PEROF2.SON", {"the section report at the report radii", "any text editor"}},
        {"SEHAM.DAT", {"the radial summary", "any text editor"}},
        {"PERVDAT", {"the panel data", "TELVARO_3B_CIZIMLER and korvanti-solid read it"}},
        {"Korvanti2D_Tecplot.PLT", {"the sections in 2D", "Tecplot"}},
        {"Korvanti3D_Tecplot.PLT", {"the blade and hub surfaces", "Tecplot"}},
        {"Korvanti3D_Rhino3_4_Macro.TXT",
         {"the surfaces as a Rhino macro", "Rhino (ReadCommandFile)"}},
        {"Korvanti.json", {"the whole result as JSON", "any JSON reader (Python, jq, a browser)"}},
        {"TELVARO_3B_CIZIMLER.SCR", {"the drawing as a script", "AutoCAD (SCRIPT command)"}},
        {"TELVARO_3B_CIZIMLER.dxf", {"the drawing as DXF", "LibreCAD, AutoCAD, any CAD program"}},
        {"TELVARO_3B_CIZIMLER.pdf", {"the drawing on an A3 page", "any PDF viewer"}},
        {"TELVARO_3B_CIZIMLER.png", {"the drawing as a picture", "any image viewer"}},
        {"TELVARO_3B_CIZIMLER.svg", {"the drawing as SVG", "a web browser, Inkscape"}},
        {"Korvanti.step", {"the propeller as one solid", "FreeCAD, gmsh, any STEP reader"}},
        {"Korvanti.stl", {"the propeller's triangulation", "MeshLab, ParaView, slicers"}},
        {"Korvanti_nozzle.stl", {"the nozzle's triangulation", "MeshLab, ParaView, slicers"}},
        {"Korvanti_panels.vtk", {"the panel mesh", "ParaView"}},
        {"Korvanti_openwater.csv", {"the open-water table", "LibreOffice Calc, any spreadsheet"}},
        {"Korvanti.html", {"this page", "any web browser"}},
    };
    return files;
}

std::string file_links(const PageInputs& in) {
    std::string out =
        "<section id=\"files\"><h2>Files of the run</h2>\n<table id=\"file-table\">"
        "<thead><tr><th>file</th><th>what it is</th><th>opened with</th></tr></thead><tbody>\n";
    for (const std::string& name : in.files) {
        const auto known = known_files().find(name);
        const bool is_known = known != known_files().end();
        out += "<tr><td><a href=\"" + markup_escaped(name) + "\">" + markup_escaped(name) +
               "</a></td><td>" + (is_known ? known->second.first : "") + "</td><td>" +
               (is_known ? known->second.second : "") + "</td></tr>\n";
    }
    return out + "</tbody></table>\n</section>\n";
}

}  // namespace

bool is_ducted(const json& run) {
    const int series = run["particulars"]["series_number"].get<int>();
    return series == 2 || series == 3;
}

std::string page_html(const PageInputs& in) {
    const std::string title =
        markup_escaped(in.run["particulars"]["series_label"].get<std::string>());
    std::string out =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>Korvanti: " +
        title + "</title>\n<style>\n" + page_css + "</style>\n</head>\n<body>\n";
    out += header(in);
    out += figures(in.run);
    out += view_3d(in);
    out += form_plans(in);
    out += radial(in.run);
    out += offsets(in.run);
    out += open_water(in);
    out += file_links(in);
    out +=
        "<script type=\"application/json\" id=\"run-data\">" + script_json(in.run) + "</script>\n";
    if (in.propeller)
        out += "<script>\n" + script_text(in.three_js) + "\n</script>\n<script>\n" +
               script_text(in.orbit_controls_js) + "\n</script>\n";
    out += "<script>\n" + script_text(page_js) + "</script>\n</body>\n</html>\n";
    return out;
}

std::string shell_command(const std::string& program, const std::string& directory,
                          const std::string& options) {
    std::string command = program;
    if (!directory.empty()) command += " -C " + shell_quoted(directory);
    if (!options.empty()) command += " " + options;
    return command;
}

}  // namespace korvanti::report
