// korvanti-report's readers and page on small hand-made inputs, and the
// program on directories without a finished run.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "open_water.h"
#include "page.h"
#include "stl_mesh.h"
#include "support/test_support.h"

namespace korvanti::report {
namespace {

namespace fs = std::filesystem;
using korvanti::testing::names_in;
using korvanti::testing::ScratchDir;
using korvanti::testing::write_file;

std::string stl_bytes(const std::vector<float>& corners, std::uint32_t count) {
    std::string bytes(80, ' ');
    bytes.append(reinterpret_cast<const char*>(&count), 4);
    for (std::size_t t = 0; t < corners.size() / 9; ++t) {
        bytes.append(12, '\0');  // normal
        bytes.append(reinterpret_cast<const char*>(&corners[t * 9]), 36);
        bytes.append(2, '\0');
    }
    return bytes;
}

TEST(Base64, EncodesTheVectorsOfItsStandard) {
    EXPECT_EQ(base64("", 0), "");
    EXPECT_EQ(base64("f", 1), "Zg==");
    EXPECT_EQ(base64("fo", 2), "Zm8=");
    EXPECT_EQ(base64("foo", 3), "Zm9v");
    EXPECT_EQ(base64("foobar", 6), "Zm9vYmFy");
    const unsigned char high[] = {0xff, 0xfe, 0x00};
    EXPECT_EQ(base64(high, 3), "//4A");
}

TEST(BinaryStl, ReadsTheCornersInTheirOrderAndRejectsAWrongSize) {
    ScratchDir dir;
    const std::vector<float> corners = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 2, 3, 0, 2, 0, 3, 2.5f};
    write_file(dir.path() / "two.stl", stl_bytes(corners, 2));
    const StlMesh mesh = read_binary_stl(dir.path() / "two.stl");
    EXPECT_EQ(mesh.triangles(), 2u);
    EXPECT_EQ(mesh.corners, corners);

    write_file(dir.path() / "short.stl", stl_bytes(corners, 3));  // says 3, holds 2
    try {
        read_binary_stl(dir.path() / "short.stl");
        FAIL() << "a count that does not match the size is accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("short.stl: not a binary STL file"),
                  std::string::npos)
            << error.what();
    }
    write_file(dir.path() / "ascii.stl", "solid x\nendsolid x\n");
    EXPECT_THROW(read_binary_stl(dir.path() / "ascii.stl"), std::runtime_error);
}

TEST(OpenWater, ReadsAnyCurvesOverJAndNamesTheLineOfABadValue) {
    ScratchDir dir;
    write_file(dir.path() / "ow.csv", "J (-), KT (-), 10KQ (-)\n0, 0.5, 0.7\n\n0.5,0.3 ,0.45\n");
    const OpenWaterTable t = read_open_water(dir.path() / "ow.csv");
    EXPECT_EQ(t.columns, (std::vector<std::string>{"J (-)", "KT (-)", "10KQ (-)"}));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[1], (std::vector<double>{0.5, 0.3, 0.45}));

    write_file(dir.path() / "bad.csv", "J,KT\n0,0.5\n0.1,x\n");
    try {
        read_open_water(dir.path() / "bad.csv");
        FAIL() << "a value that is not a number is accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("bad.csv, line 3: 'x' is not a number"),
                  std::string::npos)
            << error.what();
    }
    write_file(dir.path() / "ragged.csv", "J,KT\n0,0.5,1\n");
    EXPECT_THROW(read_open_water(dir.path() / "ragged.csv"), std::runtime_error);
    write_file(dir.path() / "header.csv", "J,KT\n");
    EXPECT_THROW(read_open_water(dir.path() / "header.csv"), std::runtime_error);
}

nlohmann::json small_run() {
    nlohmann::json station = {
        {"r_m", 0.5},
        {"r_R", 0.5},
        {"chord_m", 0.3},
        {"pitch_m", 2.0},
        {"pitch_ratio", 1.0},
        {"skew_shift_m", 0.01},
        {"skew_angle_deg", 1.5},
        {"rake_m", 0.02},
        {"max_thickness_m", 0.04},
        {"max_thickness_position", 0.35},
        {"section_area_m2", 0.008},
        {"offsets", {{"x_m", {-0.1, 0.2}}, {"back_m", {0.0, 0.01}}, {"face_m", {0.0, -0.002}}}}};
    return {{"format", "korvanti-run"},
            {"version", "1.0.0"},
            {"particulars",
             {{"series_number", 2},
              {"series", "Ka"},
              {"series_label", "Ka <4>&70"},
              {"blade_count", 4},
              {"area_ratio", 0.7},
              {"pitch_ratio", 1.0},
              {"diameter_m", 2.0},
              {"hand", "right"},
              {"rake_angle_deg", 0.0}}},
            {"stations", {station}},
            {"root_station", nullptr},
            {"blade",
             {{"mass_kg", 120.25},
              {"inertia_shaft_axis_kg_m2", 30.5},
              {"volume_m3", 0.014},
              {"centroid_radius_m", 0.49},
              {"density_kg_m3", 8600.0}}}};
}

// Without any optional input the page is whole: it names every missing file
// with its command, escapes the run's texts and keeps the exact numbers.
TEST(Page, WithoutOptionalInputsNamesEachMissingFileAndItsCommand) {
    PageInputs in;
    in.run = small_run();
    in.directory = "runs/Ka 4";
    in.missing = {
        {"Korvanti.stl", "Korvanti.stl is missing.", shell_command("korvanti-solid", in.directory)},
        {"Korvanti_openwater.csv", "No open-water table.",
         shell_command("korvanti-openwater", in.directory)}};
    in.files = {"Korvanti.json", "odd <name>.txt"};
    const std::string page = page_html(in);
    EXPECT_NE(page.find("<h1>Ka &lt;4&gt;&amp;70</h1>"), std::string::npos);
    EXPECT_NE(page.find("data-missing=\"Korvanti.stl\""), std::string::npos);
    EXPECT_NE(page.find("<code>korvanti-solid -C 'runs/Ka 4'</code>"), std::string::npos);
    EXPECT_NE(page.find("<code>korvanti-openwater -C 'runs/Ka 4'</code>"), std::string::npos);
    EXPECT_NE(page.find("<td data-value=\"120.25\">120.2</td>"), std::string::npos)
        << "the mass with one decimal, its exact value beside it";
    EXPECT_NE(page.find("<a href=\"odd &lt;name&gt;.txt\">"), std::string::npos);
    EXPECT_NE(page.find("<details class=\"station-offsets\" data-station=\"1\">"),
              std::string::npos);
    EXPECT_EQ(page.find("<details open"), std::string::npos) << "offsets collapsed";
    EXPECT_EQ(page.find("<canvas"), std::string::npos) << "no 3D view without a mesh";
    EXPECT_EQ(page.find("id=\"mesh-propeller-positions\""), std::string::npos);
    // The embedded JSON cannot end its script element early.
    EXPECT_EQ(page.find("<4>"), std::string::npos);
    EXPECT_NE(page.find("Ka \\u003c4>&70"), std::string::npos);
    EXPECT_EQ(page.rfind("</html>\n"), page.size() - 8);
}

// With the meshes the page embeds both, on shared vertices, counts their
// triangles together and embeds three.js, whose "</script" cannot end its
// element.
TEST(Page, EmbedsThePropellerAndTheNozzleOfADuctedRun) {
    PageInputs in;
    in.run = small_run();
    in.propeller = StlMesh{{0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}};
    in.nozzle = StlMesh{{0, 0, 1, 1, 0, 1, 0, 1, 1}};
    in.three_js = "var THREE = {}; // '</script>' in a comment";
    in.orbit_controls_js = "THREE.OrbitControls = function () {};";
    const IndexedMesh shared = indexed(*in.propeller);
    EXPECT_EQ(shared.positions.size(), 12u) << "four distinct corners";
    EXPECT_EQ(shared.indices, (std::vector<std::uint32_t>{0, 1, 2, 1, 3, 2}));
    const std::string page = page_html(in);
    EXPECT_NE(page.find("data-triangles=\"3\""), std::string::npos);
    EXPECT_NE(page.find("<canvas id=\"viewer-canvas\""), std::string::npos);
    EXPECT_NE(page.find("id=\"mesh-nozzle-indices\""), std::string::npos);
    const std::string indices = base64(shared.indices.data(), shared.indices.size() * 4);
    EXPECT_NE(page.find("id=\"mesh-propeller-indices\">" + indices + "</script>"),
              std::string::npos);
    EXPECT_NE(page.find("// '<\\/script>' in a comment"), std::string::npos);
}

struct Outcome {
    int status;
    std::string output;  // standard output and standard error
};

Outcome report_in(const fs::path& dir, const std::string& arguments) {
    const std::string command =
        "cd '" + dir.string() + "' && '" + REPORT_EXE + "' " + arguments + " 2>&1 </dev/null";
    Outcome outcome{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return outcome;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        outcome.output.append(buffer, n);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

TEST(Program, ADirectoryWithoutARunGivesOneLineAndNoPage) {
    ScratchDir dir;
    fs::create_directory(dir.path() / "empty");
    const Outcome missing = report_in(dir.path(), "-C empty");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output,
              "korvanti-report: empty/Korvanti.json not found: make it with Korvanti -C empty "
              "--json\n");
    EXPECT_TRUE(names_in(dir.path() / "empty").empty());

    write_file(dir.path() / "Korvanti.json", "{\"format\": \"korvanti-run\", \"particulars\": ");
    const Outcome broken = report_in(dir.path(), "");
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.output.rfind("korvanti-report: ./Korvanti.json: ", 0), 0u) << broken.output;
    EXPECT_EQ(broken.output.find('\n'), broken.output.size() - 1) << "one line";
    EXPECT_EQ(names_in(dir.path()), (std::set<std::string>{"Korvanti.json", "empty"}));

    EXPECT_EQ(report_in(dir.path(), "--colour").status, 2);
    EXPECT_EQ(report_in(dir.path(), "-C no-such-directory").status, 2);
}

}  // namespace
}  // namespace korvanti::report
