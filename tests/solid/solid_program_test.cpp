// korvanti-solid as a program: its options, its answers to bad input (one
// line, exit status 1 or 2, no file written, an older file left as it was),
// the VTK file read back with VTK, the mirror image of a left hand and one
// solid in both report modes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <numbers>
#include <set>

#include "solid_fixture.h"
#include "support/test_support.h"

namespace korvanti::testing {
namespace {
namespace fs = std::filesystem;

const std::vector<std::string> outputs = {"Korvanti.step", "Korvanti.stl", "Korvanti_panels.vtk"};

int count_lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Only the inputs and the files named are in the directory: no temporary
// file is left.
void expect_files(const fs::path& dir, std::set<std::string> expected) {
    for (const char* input : {"Korvanti.TSK", "WAGBPROP.DAT", "PERVDAT", "PEROF.SON", "PEROF2.SON",
                              "SEHAM.DAT", "Korvanti.SON", "Korvanti2D_Tecplot.PLT",
                              "Korvanti3D_Tecplot.PLT", "Korvanti3D_Rhino3_4_Macro.TXT"})
        expected.insert(input);
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir))
        if (expected.count(entry.path().filename().string()) == 0 ||
            entry.path().filename().string()[0] == '.')
            found.insert(entry.path().filename().string());
    EXPECT_TRUE(found.empty()) << "unexpected files, first: " << *found.begin();
}

class SolidProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        run_dir_ = new ScratchDir;
        run_korvanti(run_dir_->path(), {"B4-55.TSK", "", "", ""});
    }
    static void TearDownTestSuite() { delete run_dir_; }
    // A fresh copy of the finished run.
    void SetUp() override {
        for (const auto& entry : fs::directory_iterator(run_dir_->path()))
            fs::copy_file(entry.path(), dir_.path() / entry.path().filename());
    }
    const fs::path& dir() const { return dir_.path(); }

    static ScratchDir* run_dir_;
    ScratchDir dir_;
};
ScratchDir* SolidProgram::run_dir_ = nullptr;

TEST_F(SolidProgram, HelpAndVersion) {
    const Command help = run_solid(dir(), "--help");
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_EQ(help.out.rfind("Usage: korvanti-solid [OPTION]...\n", 0), 0u) << help.out;
    for (const char* option : {"--directory=DIR", "--deflection=MM", "--only=FILE", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    const Command version = run_solid(dir(), "--version");
    EXPECT_EQ(version.exit_status, 0);
    EXPECT_EQ(version.out.rfind("korvanti-solid 1.0.0 (OpenCASCADE 7.", 0), 0u) << version.out;
    expect_files(dir(), {});
}

TEST_F(SolidProgram, BadOptionsNameTheOptionAndWriteNothing) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"--only obj", "korvanti-solid: option --only: expected step, stl or vtk, got 'obj'\n"},
        {"--deflection -1",
         "korvanti-solid: option --deflection: expected a positive number of millimetres, got "
         "'-1'\n"},
        {"--deflection 0.1mm",
         "korvanti-solid: option --deflection: expected a positive number of millimetres, got "
         "'0.1mm'\n"},
        {"--deflection", "korvanti-solid: option --deflection: expected a value after it\n"},
        {"--colour", "korvanti-solid: unknown option --colour (see --help)\n"},
        {"-x", "korvanti-solid: unknown option -x (see --help)\n"},
        {"extra",
         "korvanti-solid: unexpected argument 'extra': the program takes options only "
         "(see --help)\n"},
        {"-C no-such-dir",
         "korvanti-solid: option --directory: 'no-such-dir' is not a directory\n"}};
    for (const auto& [arguments, message] : cases) {
        const Command run = run_solid(dir(), arguments);
        EXPECT_EQ(run.exit_status, 2) << arguments;
        EXPECT_EQ(run.err, message) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
    }
    expect_files(dir(), {});
}

TEST_F(SolidProgram, OnlyAndDirectoryChooseTheFiles) {
    const Command vtk = run_solid(dir(), "--only vtk");
    EXPECT_EQ(vtk.exit_status, 0) << vtk.err;
    EXPECT_EQ(vtk.out, "Files written: Korvanti_panels.vtk\n");
    expect_files(dir(), {"Korvanti_panels.vtk"});
    fs::remove(dir() / "Korvanti_panels.vtk");

    // From elsewhere, with -C, two kinds and a coarse STL.
    const Command two =
        run_solid(dir().parent_path(), "-C " + dir().string() + " --only stl -o step -d 2");
    EXPECT_EQ(two.exit_status, 0) << two.err;
    EXPECT_NE(two.out.find("at a chord tolerance of 2 mm"), std::string::npos) << two.out;
    EXPECT_NE(two.out.find("Files written: Korvanti.step Korvanti.stl\n"), std::string::npos);
    expect_files(dir(), {"Korvanti.step", "Korvanti.stl"});
    EXPECT_EQ(open_edges(read_binary_stl(dir() / "Korvanti.stl")), 0);
}

// Each damaged input: one line naming the file, exit status 1, the older
// outputs untouched, nothing new.
TEST_F(SolidProgram, BadInputLeavesOlderFilesAsTheyWere) {
    const std::string pervdat = read_file(dir() / "PERVDAT");
    const std::string perof = read_file(dir() / "PEROF.SON");
    std::vector<std::string> pervdat_lines = read_lines(dir() / "PERVDAT");
    const auto joined = [](std::vector<std::string> lines, size_t from, size_t count,
                           const std::string& with) {
        lines.erase(lines.begin() + from, lines.begin() + from + count);
        if (!with.empty()) lines.insert(lines.begin() + from, with);
        std::string text;
        for (const std::string& line : lines) text += line + "\n";
        return text;
    };
    // The grid with its back side pressed onto the face: no solid.
    std::string flat = pervdat;
    {
        PervdatSections p = read_pervdat(dir() / "PERVDAT");
        size_t grid = 1;
        for (int k = 0; k < p.M; ++k) grid += 1 + 2 * p.face[k].size();
        grid += 2 * p.M;
        const size_t side = 3 * static_cast<size_t>(p.M * p.Nc);
        std::vector<std::string> lines = pervdat_lines;
        for (size_t i = 0; i < side; ++i) lines[grid + side + i] = lines[grid + i];
        flat.clear();
        for (const std::string& line : lines) flat += line + "\n";
    }
    // The panel mesh counts with twice the nodes the file holds.
    std::string more_nodes;
    {
        const PervdatSections p = read_pervdat(dir() / "PERVDAT");
        char counts[32], doubled[32];
        std::snprintf(counts, sizeof counts, "%5d%5d%5d%5d%5d", p.nodes, p.panels, 0, 0,
                      p.hub_panels);
        std::snprintf(doubled, sizeof doubled, "%5d%5d%5d%5d%5d", 2 * p.nodes, p.panels, 0, 0,
                      p.hub_panels);
        const size_t at = pervdat.find(std::string("\n") + counts + "\n");
        EXPECT_NE(at, std::string::npos);
        more_nodes = pervdat;
        more_nodes.replace(at + 1, std::strlen(counts), doubled);
    }
    struct Bad {
        const char* what;
        std::string pervdat, perof, message_start;
    };
    const std::vector<Bad> cases = {
        {"no PERVDAT", "", perof, "korvanti-solid: PERVDAT: cannot be opened"},
        {"no PEROF.SON", pervdat, "", "korvanti-solid: PEROF.SON: cannot be opened"},
        {"short PERVDAT", pervdat.substr(0, pervdat.size() / 2), perof,
         "korvanti-solid: PERVDAT, line "},
        {"letters in PERVDAT", joined(pervdat_lines, 3, 1, "  -0.1666x   0.19178"), perof,
         "korvanti-solid: PERVDAT, line 4: \"-0.1666x\" is not a number (a section point)"},
        {"31 radii", joined(pervdat_lines, 0, 1, "   31"), perof,
         "korvanti-solid: PERVDAT, line 1: the number of radii is 31, expected 2 to 30"},
        {"a node count beyond the data", more_nodes, perof,
         "korvanti-solid: PERVDAT, line " + std::to_string(pervdat_lines.size()) +
             ": the file ends before a panel"},
        {"a short PEROF.SON", pervdat, perof.substr(0, perof.size() - 40),
         "korvanti-solid: PEROF.SON, line "},
        {"a flat grid", flat, perof, "korvanti-solid: "},
    };
    for (const Bad& bad : cases) {
        for (const std::string& name : outputs) write_file(dir() / name, "older " + name);
        fs::remove(dir() / "PERVDAT");
        fs::remove(dir() / "PEROF.SON");
        const std::string& pervdat_text = bad.pervdat;
        if (!pervdat_text.empty()) write_file(dir() / "PERVDAT", pervdat_text);
        if (!bad.perof.empty()) write_file(dir() / "PEROF.SON", bad.perof);
        const Command run = run_solid(dir(), "");
        EXPECT_EQ(run.exit_status, 1) << bad.what << run.out << run.err;
        EXPECT_EQ(run.err.rfind(bad.message_start, 0), 0u) << bad.what << ": " << run.err;
        EXPECT_EQ(count_lines(run.err), 1) << bad.what << ": " << run.err;
        for (const std::string& name : outputs)
            EXPECT_EQ(read_file(dir() / name), "older " + name) << bad.what;
        expect_files(dir(), {outputs.begin(), outputs.end()});
    }
}

// VTK's own reader: points and cells of PERVDAT's mesh times Z, and the
// hub/blade array.
TEST_F(SolidProgram, VtkReadsBackWithVtk) {
    if (run_shell(dir(), "/usr/bin/python3 -c 'import vtk'").exit_status != 0)
        GTEST_SKIP() << "python3-vtk9 is not installed: the VTK file cannot be read back";
    ASSERT_EQ(run_solid(dir(), "--only vtk").exit_status, 0);
    write_file(dir() / "read.py",
               "import vtk\n"
               "r = vtk.vtkPolyDataReader()\n"
               "r.SetFileName('Korvanti_panels.vtk')\n"
               "r.Update()\n"
               "d = r.GetOutput()\n"
               "part = d.GetCellData().GetArray('part')\n"
               "blade = d.GetCellData().GetArray('blade')\n"
               "hub = sum(1 for i in range(d.GetNumberOfCells()) if part.GetValue(i) == 0)\n"
               "print(d.GetNumberOfPoints(), d.GetNumberOfCells(), hub,\n"
               "      int(blade.GetRange()[0]), int(blade.GetRange()[1]))\n");
    const Command read = run_shell(dir(), "/usr/bin/python3 read.py");
    ASSERT_EQ(read.exit_status, 0) << read.err;
    const PervdatSections p = read_pervdat(dir() / "PERVDAT");
    EXPECT_EQ(read.out, std::to_string(p.nodes * p.Z) + " " + std::to_string(p.panels * p.Z) + " " +
                            std::to_string(p.hub_panels * p.Z) + " 1 " + std::to_string(p.Z) +
                            "\n");
}

// B5-75's root spans 76.5°, more than its sector of 72°: the solid is still
// built of Z turned copies of one blade with its hub sector. Its STL, the
// mesh of that sector turned into place, goes over into itself when turned
// by 360°/Z (the mesh of the whole solid would not), and the summary's
// volume, the sector's times Z, is the volume of the STEP solid.
TEST_F(SolidProgram, RootWiderThanItsSectorIsBuiltOfTurnedSectors) {
    ScratchDir run;
    run_korvanti(run.path(), {"B5-75.TSK", "", "", ""});
    const Command solid = run_solid(run.path(), "");
    ASSERT_EQ(solid.exit_status, 0) << solid.err;
    const double volume = summary_figure(solid.out, "volume of the solid");
    EXPECT_NEAR(read_step(run.path() / "Korvanti.step").volume, volume, 1e-5 * volume);

    const StlMesh mesh = read_binary_stl(run.path() / "Korvanti.stl");
    const double cell = 0.01;  // mm, a hundred times the float rounding at a metre
    const auto key = [&](double x, double y, double z) {
        return std::array<long, 3>{std::lround(x / cell), std::lround(y / cell),
                                   std::lround(z / cell)};
    };
    std::set<std::array<long, 3>> cells;
    for (const auto& v : mesh.vertices) cells.insert(key(v[0], v[1], v[2]));
    const double turn = 2 * std::numbers::pi / 5;
    long unmatched = 0;
    for (const auto& v : mesh.vertices) {
        const std::array<long, 3> k = key(v[0], v[1] * std::cos(turn) - v[2] * std::sin(turn),
                                          v[1] * std::sin(turn) + v[2] * std::cos(turn));
        bool found = false;
        for (long dx = -1; dx <= 1 && !found; ++dx)
            for (long dy = -1; dy <= 1 && !found; ++dy)
                for (long dz = -1; dz <= 1 && !found; ++dz)
                    found = cells.count({k[0] + dx, k[1] + dy, k[2] + dz}) != 0;
        if (!found) ++unmatched;
    }
    EXPECT_EQ(unmatched, 0) << "of " << mesh.vertices.size() << " vertices";
}

// Korvanti on `task` in `dir`, then korvanti-solid with `arguments`: the
// summary's volume of the solid; a failure, and NaN, where the solid fails.
double solid_volume(const fs::path& dir, const Task& task, const std::string& arguments) {
    run_korvanti(dir, task);
    const Command solid = run_solid(dir, arguments);
    EXPECT_EQ(solid.exit_status, 0) << solid.err;
    return solid.exit_status == 0 ? summary_figure(solid.out, "volume of the solid") : std::nan("");
}

// The KC101 blade tapers fast to its tip, and on equally spaced report radii
// (mode 2) the loft through the rows alone folded face and back over near
// the edges, which added volume. The same propeller in both report modes
// gives one solid: the same volume within 0.01 %.
TEST(SolidReportModes, BothModesGiveTheSameSolid) {
    for (const char* example : {"KC101-80.TSK", "KC101-725-SOL-BK.TSK"}) {
        ScratchDir own, equal;
        const double va = solid_volume(own.path(), {example, "", "", "1   11"}, "--only step");
        const double vb = solid_volume(equal.path(), {example, "", "", "2   11"}, "--only step");
        EXPECT_NEAR(vb, va, 1e-4 * va) << example;
    }
}

// The same propeller right-handed and left-handed: the same volume, and the
// vertices of the left hand's STL, mirrored in the plane Y = 0, lie on the
// right hand's STEP solid (the two triangulations need not be alike).
TEST(SolidMirror, LeftHandIsTheMirrorImageOfTheRightHand) {
    for (const char* example : {"B5-75.TSK", "Ka4-70.TSK"}) {
        ScratchDir right, left;
        const double vr = solid_volume(right.path(), {example, "", "1", ""}, "--only step");
        const double vl = solid_volume(left.path(), {example, "", "0", ""}, "--only stl");
        ASSERT_TRUE(std::isfinite(vr) && std::isfinite(vl)) << example;
        EXPECT_NEAR(vl, vr, 1e-6 * vr) << example;
        const StlMesh mesh = read_binary_stl(left.path() / "Korvanti.stl");
        std::vector<std::array<double, 3>> mirrored;
        for (size_t i = 0; i < mesh.vertices.size(); i += 97) {
            const auto& v = mesh.vertices[i];
            mirrored.push_back({v[0], -double(v[1]), v[2]});
        }
        // Float coordinates of the STL: about 1e-4 mm at a metre.
        EXPECT_LT(largest_distance_from_step(right.path() / "Korvanti.step", mirrored), 2e-3)
            << example;
    }
}

}  // namespace
}  // namespace korvanti::testing
